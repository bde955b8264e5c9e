#include "tools/koxbuild/setup_executable.h"

#include <fstream>
#include <iterator>

#include "engine/base/error.h"
#include "tools/koxbuild/package_writer.h"

namespace kox {

namespace fs = std::filesystem;

std::vector<uint8_t> readFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EngineError("cannot open \"" + path.string() + "\"");
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EngineError("cannot read \"" + path.string() + "\"");
  return bytes;
}

std::vector<uint8_t> setupExecutableBytes(std::span<const uint8_t> stub, const SetupPackage& package) {
  uint64_t imageEnd = 0;
  try {
    imageEnd = peImageEnd(stub);
  } catch (const EngineError& e) {
    throw withContext("the engine stub cannot carry a package", e);
  }
  const std::string text = writePackage(package);
  std::vector<uint8_t> bytes(stub.begin(), stub.begin() + static_cast<ptrdiff_t>(imageEnd));
  bytes.insert(bytes.end(), text.begin(), text.end());
  return bytes;
}

void writeSetupExecutable(std::span<const uint8_t> stub, const SetupPackage& package, const fs::path& out) {
  StagedFiles files;
  files.stageBytes(out, setupExecutableBytes(stub, package));
  files.commit();
}

StagedFiles::~StagedFiles() {
  for (const Entry& entry : entries_) {
    std::error_code ignored;
    fs::remove(entry.temporary, ignored);
  }
}

fs::path StagedFiles::stage(const fs::path& finalPath) {
  fs::path temporary = finalPath;
  temporary += ".koxbuild-tmp";
  std::error_code ignored;
  fs::remove(temporary, ignored);
  entries_.push_back({temporary, finalPath});
  return temporary;
}

void StagedFiles::stageBytes(const fs::path& finalPath, std::span<const uint8_t> bytes) {
  fs::path temporary = stage(finalPath);
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw EngineError("cannot write \"" + temporary.string() + "\"");
}

void StagedFiles::stageCopy(const fs::path& finalPath, const fs::path& source) {
  fs::path temporary = stage(finalPath);
  std::error_code error;
  fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, error);
  if (error) throw EngineError("cannot copy \"" + source.string() + "\": " + error.message());
}

void StagedFiles::commit() {
  for (const Entry& entry : entries_) {
    std::error_code error;
    fs::rename(entry.temporary, entry.final, error);
    if (error) {
      // Renaming onto an existing file is refused on some systems.
      fs::remove(entry.final, error);
      fs::rename(entry.temporary, entry.final, error);
    }
    if (error)
      throw EngineError("cannot put \"" + entry.final.string() + "\" in place: " + error.message());
  }
  entries_.clear();
}

}  // namespace kox
