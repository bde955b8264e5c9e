// Feeds arbitrary bytes to the image-end finder and the package reader. For
// every package the reader accepts, writing it again must read back the same,
// and its source dump must build the same bytes.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <span>
#include <string_view>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/startup/package.h"
#include "tools/koxbuild/package_writer.h"
#include "tools/koxbuild/setup_source.h"
#include "tools/koxbuild/source_dump.h"

namespace {

bool hasDuplicateIds(const kox::SetupPackage& p) {
  std::set<std::string> seen;
  for (const std::string& id : p.commandIds)
    if (!seen.insert(kox::toUpperAscii(id)).second) return true;
  return false;
}

void checkImageEnd(std::span<const uint8_t> bytes) {
  try {
    if (kox::peImageEnd(bytes) > bytes.size()) std::abort();
  } catch (const kox::EngineError&) {
  }
}

void checkPackage(std::string_view text) {
  kox::SetupPackage asWritten;
  try {
    asWritten = kox::parsePackageAsWritten(text);
  } catch (const kox::EngineError&) {
    return;
  }
  kox::SetupPackage restored = kox::parsePackage(text);  // accepted once, accepted always
  if (restored.commandNames != asWritten.commandNames) std::abort();

  std::string written;
  try {
    written = kox::writePackage(asWritten);
  } catch (const kox::EngineError&) {
    return;  // a value with a bare CR, which no package line can carry
  }
  if (!(kox::parsePackageAsWritten(written) == asWritten)) std::abort();

  const std::string source = kox::dumpSetupSource(asWritten);
  try {
    if (kox::writePackage(kox::parseSetupSource(source, "fuzz.src")) != written) std::abort();
  } catch (const kox::EngineError&) {
    if (!hasDuplicateIds(asWritten)) std::abort();  // the one thing a source cannot say
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  checkImageEnd(bytes);
  checkPackage(std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    uint64_t end = kox::peImageEnd(bytes);
    checkPackage(std::string_view(reinterpret_cast<const char*>(data) + end, size - end));
  } catch (const kox::EngineError&) {
  }
  return 0;
}
