#include "engine/dialogs/form_writer.h"

#include <gtest/gtest.h>

#include "engine/base/error.h"
#include "engine/dialogs/form_reader.h"

namespace kox {
namespace {

FormObject formWith(FormValue value) {
  FormObject form;
  form.className = "TForm";
  form.properties.push_back({"P", std::move(value)});
  return form;
}

TEST(FormWriter, RefusesTreesThatWouldReadBackDifferently) {
  struct Case {
    const char* name;
    FormObject form;
  };
  FormObject longClass;
  longClass.className = std::string(240, 'T');
  FormObject unnamedProperty = formWith(FormValue::boolean(true));
  unnamedProperty.properties[0].name.clear();
  const Case cases[] = {
      {"empty set item", formWith(FormValue::set({"a", ""}))},
      {"Null inside a list", formWith(FormValue::list({FormValue::null()}))},
      {"identifier over 255", formWith(FormValue::identifier(std::string(256, 'x')))},
      {"short string over 255", formWith(FormValue::stringOfType(FormValueType::String, std::string(256, 'x')))},
      {"Int8 out of range", formWith(FormValue::integerOfType(FormValueType::Int8, 200))},
      {"class name read as a prefix", longClass},
      {"property without name", unnamedProperty},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THROW(writeFormStream(c.form), EngineError);
  }
}

TEST(FormWriter, ALongClassNameIsFineBehindAPrefix) {
  FormObject form;
  form.className = std::string(250, 'T');
  form.inherited = true;
  EXPECT_EQ(readFormFile(writeFormFile(form)), form);
}

TEST(FormWriter, CollectionOrderAndChildPositionUseTheSmallestInteger) {
  FormObject form = formWith(FormValue::collection({{70000, {}}, {std::nullopt, {{"W", FormValue::integer(1)}}}}));
  FormObject child;
  child.className = "TLabel";
  child.childPos = -1;
  form.children.push_back(child);
  const std::vector<uint8_t> bytes = writeFormStream(form);
  EXPECT_EQ(readFormFile(bytes), form);
  FormObject tooFar = form;
  tooFar.children[0].childPos = int64_t{1} << 40;
  EXPECT_THROW(writeFormStream(tooFar), EngineError);
}

}  // namespace
}  // namespace kox
