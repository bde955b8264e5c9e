#include "engine/script/interpreter/component_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/vars/script_variables.h"
#include "engine/vars/variable_manager.h"

namespace kox {
namespace {

class ComponentStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("kox_state_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    path = (folder / "setup.dat").string();
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::string read() const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void write(const std::string& text) const { std::ofstream(path, std::ios::binary) << text; }
  StateVariableWrite writer(TVariableManager& store) {
    return [&store](const std::string& name, const std::string& value) {
      WriteVariable(store, name, value, kLoadComponentsContext, WriteProtection{});
    };
  }

  std::filesystem::path folder;
  std::string path;
};

ComponentModel sampleModel() {
  ComponentModel model;
  model.components = {"KELD-PREDEF-COMPONENT", "Docs", "Docs\\Samples"};
  model.selections = {"TRUE", "FALSE", "TRUE"};
  model.deleted = {"Docs"};
  model.hidden = {"KELD-PREDEF-COMPONENT"};
  model.sizes = {"Docs", "100", "Docs\\Samples", "250"};
  model.persistentVariables = {"SERIAL", "NOTES", "serial"};
  model.platformMode = "x64";
  return model;
}

TEST_F(ComponentStateTest, WritesTheThirteenPartsInOrder) {
  TVariableManager store;
  store.Put("TARGETDIR", "C:\\App\\");
  store.Put("ALLUSERS", "TRUE");
  store.Put("STARTMENU", "Demo");
  store.Put("SERIAL", "123");
  store.Put("NOTES", "line1\r\nline2");
  store.Put("OVERRIDECACHE", "D:\\cache\\");
  writeComponentStateFile(path, sampleModel(), store, StateFileFolders{"C:\\SETUP~1\\data\\"});
  EXPECT_EQ(read(),
            "KELD-PREDEF-COMPONENT\r\nDocs\r\nDocs\\Samples\r\n$\r\n"
            "TRUE\r\nFALSE\r\nTRUE\r\n$\r\nDocs\r\n$\r\nKELD-PREDEF-COMPONENT\r\n$\r\n$\r\n"
            "Docs\r\n100\r\nDocs\\Samples\r\n250\r\n$\r\n"
            "C:\\App\\\r\nTRUE\r\nDemo\r\nC:\\SETUP~1\\data\\\r\n"
            "SERIAL\r\n123\r\nNOTES\r\nline1$NEWLINE$line2\r\n"  // the repeated "serial" is written once
            "KELD64WOW\r\nx64\r\nOVERRIDECACHE\r\nD:\\cache\\\r\n");
}

TEST_F(ComponentStateTest, LoadWithoutMergeRestoresModelAndVariables) {
  TVariableManager store;
  store.Put("TARGETDIR", "C:\\App\\");
  store.Put("SERIAL", "123");
  store.Put("NOTES", "a");
  writeComponentStateFile(path, sampleModel(), store, StateFileFolders{});

  TVariableManager fresh;
  ComponentModel model;
  ASSERT_TRUE(loadComponentStateFile(path, model, writer(fresh), LoadOptions{}));
  const ComponentModel expected = sampleModel();
  EXPECT_EQ(model.components, expected.components);
  EXPECT_EQ(model.selections, expected.selections);
  EXPECT_EQ(model.deleted, expected.deleted);
  EXPECT_EQ(model.hidden, expected.hidden);
  EXPECT_EQ(model.sizes, expected.sizes);
  EXPECT_EQ(model.platformMode, "x64");
  EXPECT_EQ(model.persistentVariables, (std::vector<std::string>{"SERIAL", "NOTES"}));
  EXPECT_EQ(fresh.Get("TARGETDIR"), "C:\\App\\");
  EXPECT_EQ(fresh.Get("SERIAL"), "123");
  // The cache override comes back, but not as a persistent variable.
  EXPECT_TRUE(fresh.Exists("OVERRIDECACHE"));
}

TEST_F(ComponentStateTest, MergeAppliesSelectionsAndReplacesTheLists) {
  write("Docs\r\nGone\r\n$\r\nTRUE\r\nTRUE\r\n$\r\nGone\r\n$\r\n$\r\nDocs\r\n$\r\nDocs\r\n999\r\n$\r\n"
        "C:\\T\\\r\nFALSE\r\nMenu\r\n\r\nKEY\r\nvalue\r\n");
  ComponentModel model;
  model.components = {"docs", "Other"};
  model.selections = {"FALSE", "FALSE"};
  model.deleted = {"Other"};
  model.sizes = {"docs", "5"};
  TVariableManager store;
  ASSERT_TRUE(loadComponentStateFile(path, model, writer(store), LoadOptions{true, false}));
  EXPECT_EQ(model.components, (std::vector<std::string>{"docs", "Other"}));
  EXPECT_EQ(model.selections, (std::vector<std::string>{"TRUE", "FALSE"}));
  EXPECT_EQ(model.deleted, (std::vector<std::string>{"Gone"}));
  EXPECT_TRUE(model.hidden.empty());
  EXPECT_EQ(model.fixed, (std::vector<std::string>{"Docs"}));
  EXPECT_EQ(model.sizes, (std::vector<std::string>{"docs", "5"}));
  EXPECT_EQ(store.Get("STARTMENU"), "Menu");
  EXPECT_EQ(store.Get("KEY"), "value");
  EXPECT_EQ(model.persistentVariables, (std::vector<std::string>{"KEY"}));
}

TEST_F(ComponentStateTest, SkipSizesDropsTheSizeSection) {
  write("A\r\n$\r\nTRUE\r\n$\r\n$\r\n$\r\n$\r\nA\r\n10\r\n$\r\n");
  ComponentModel model;
  TVariableManager store;
  ASSERT_TRUE(loadComponentStateFile(path, model, writer(store), LoadOptions{false, true}));
  EXPECT_EQ(model.components, (std::vector<std::string>{"A"}));
  EXPECT_TRUE(model.sizes.empty());
}

TEST_F(ComponentStateTest, RefreshKeepsTheFirstTenLinesAndRewritesTheVariables) {
  write("A\r\n$\r\nTRUE\r\n$\r\n$\r\n$\r\n$\r\nA\r\n10\r\n$\r\nC:\\Old\\\r\nTRUE\r\nMenu\r\nC:\\DATA\\\r\n"
        "OLDVAR\r\nold\r\nKELD64WOW\r\nWin32\r\nOVERRIDECACHE\r\n\r\n");
  ComponentModel model;
  model.persistentVariables = {"NEWVAR"};
  model.platformMode = "x64";
  TVariableManager store;
  store.Put("NEWVAR", "new");
  store.Put("TARGETDIR", "C:\\Changed\\");  // lines 9 and 10 are kept as they were
  refreshComponentStateFile(path, model, store);
  EXPECT_EQ(read(),
            "A\r\n$\r\nTRUE\r\n$\r\n$\r\n$\r\n$\r\nA\r\n10\r\n$\r\nC:\\Old\\\r\nTRUE\r\nMenu\r\nC:\\DATA\\\r\n"
            "NEWVAR\r\nnew\r\nKELD64WOW\r\nx64\r\nOVERRIDECACHE\r\n\r\n");
  EXPECT_FALSE(std::filesystem::exists(path + ".dat"));
}

TEST_F(ComponentStateTest, MissingFileIsNotAnError) {
  ComponentModel model;
  TVariableManager store;
  EXPECT_FALSE(loadComponentStateFile(path, model, writer(store), LoadOptions{}));
  refreshComponentStateFile(path, model, store);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ComponentStateTest, RepeatedSaveAndLoadDoesNotGrowTheFile) {
  TVariableManager store;
  store.Put("SERIAL", "1");
  ComponentModel model = sampleModel();
  writeComponentStateFile(path, model, store, StateFileFolders{});
  const std::string first = read();
  for (int run = 0; run < 3; ++run) {
    ASSERT_TRUE(loadComponentStateFile(path, model, writer(store), LoadOptions{true, false}));
    writeComponentStateFile(path, model, store, StateFileFolders{});
  }
  EXPECT_EQ(read(), first);
}

TEST(ComponentModelTest, SelectedSizeCountsSelectedAndNotDeleted) {
  ComponentModel model = sampleModel();
  EXPECT_EQ(model.selectedSize(), 250);  // Docs is not selected (and deleted)
  model.selectPredefinedComponent();
  EXPECT_EQ(model.components.size(), 3u);
  ComponentModel empty;
  empty.selectPredefinedComponent();
  EXPECT_EQ(empty.components, (std::vector<std::string>{"KELD-PREDEF-COMPONENT"}));
  EXPECT_EQ(empty.selections, (std::vector<std::string>{"TRUE"}));
}

}  // namespace
}  // namespace kox
