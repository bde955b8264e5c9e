#include "engine/script/files/file_commands.h"

#include <windows.h>

#include <string>
#include <vector>

#include "engine/base/text.h"
#include "engine/base/win/handle.h"
#include "engine/script/files/file_search.h"
#include "engine/script/files/find_all_files_thread.h"
#include "engine/script/files/long_operation_wait.h"
#include "engine/script/files/text_file_reader.h"
#include "engine/script/files/text_lines.h"
#include "engine/script/files/tree_removal.h"
#include "engine/script/files/win32_directory_source.h"
#include "engine/script/values/win/redirection.h"
#include "engine/vars/script_variables.h"

namespace kox {

namespace {

using win::FileSystemRedirectionOff;

constexpr std::string_view kReadAllPrefix = "#READALL\\";

// Creates a result variable that does not exist yet, leaving an existing one alone.
void createWhenMissing(CommandContext& context, const std::string& name) {
  if (!name.empty() && !context.variables().Exists(name)) context.writeResult(name, "");
}

// "Does File/Folder Exist": P1 result, P2 path, P3 test for a file (else a folder).
void doesFileExistCommand(CommandContext& context) {
  FileSystemRedirectionOff redirection;
  DWORD attributes = GetFileAttributesA(context.pathValue(2).c_str());
  bool exists = false;
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    exists = context.flag(3) ? !folder : folder;
  }
  context.writeResult(plainName(context.parameter(1)), BoolToText(exists));
}

// "Get File Version": P1 file, P2 result.
void getFileVersionCommand(CommandContext& context) {
  FileSystemRedirectionOff redirection;
  std::string version = versionText(readFileVersion(context.pathValue(1)));
  context.writeResult(plainOrReferenceName(context.parameter(2)), version);
}

// "Check File Version": P1 result, P2 file, P3 compare with a file, P4 that
// file, P5 version text. "TRUE" when the file is strictly newer.
void checkFileVersionCommand(CommandContext& context) {
  FileSystemRedirectionOff redirection;
  std::string result = plainName(context.parameter(1));
  createWhenMissing(context, result);
  FileVersion version = readFileVersion(context.pathValue(2));
  FileVersion reference =
      context.flag(3) ? readFileVersion(context.pathValue(4)) : parseVersionText(context.expanded(5));
  context.writeResult(result, BoolToText(version > reference));
}

// "Read from Text File": P1 file (optionally "#READALL\" + file), P2 line
// variable, P3 end-of-file variable (if set).
void readFromTextFileCommand(CommandContext& context) {
  FileSystemRedirectionOff redirection;
  std::string path = context.pathValue(1);
  const bool readAll = path.starts_with(kReadAllPrefix);
  if (readAll) path.erase(0, kReadAllPrefix.size());
  const std::string lineVariable = plainName(context.parameter(2));
  const std::string endVariable = plainName(context.parameter(3));
  createWhenMissing(context, lineVariable);
  createWhenMissing(context, endVariable);

  TextFileReader& reader = scriptReadFile();
  auto giveUp = [&] {
    reader.close();
    context.writeResult(endVariable, "TRUE");
  };
  if (!reader.isOpen() || !equalsIgnoreCase(reader.path(), path)) {
    if (!reader.open(path)) return giveUp();
  }
  if (!reader.atEnd()) {
    std::string text;
    if (!(readAll ? reader.readRest(text) : reader.readLine(text))) return giveUp();
    context.writeResult(lineVariable, text);
  }
  const bool atEnd = reader.atEnd();
  if (atEnd) reader.close();
  context.writeResult(endVariable, BoolToText(atEnd));
}

// "Write to Text File": P1 file, P2 text, P3 insert at the top. The whole file
// is rewritten with CR LF line ends.
void writeToTextFileCommand(CommandContext& context) {
  FileSystemRedirectionOff redirection;
  const std::string path = context.pathValue(1);
  TextFileReader& reader = scriptReadFile();
  if (reader.isOpen() && equalsIgnoreCase(reader.path(), path)) reader.close();

  std::vector<std::string> lines = loadLines(path);
  std::vector<std::string> added = linesOfAddedText(context.expanded(2));
  lines.insert(context.flag(3) ? lines.begin() : lines.end(), added.begin(), added.end());
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!saveLines(path, lines)) {
    context.fail("Write to Text File: cannot write \"" + path + "\": " + win::systemErrorText());
  }
}

// "Get INI File Settings": P1 result, P2 INI file, P3 section, P4 key.
void getIniFileSettingsCommand(CommandContext& context) {
  FileSystemRedirectionOff redirection;
  std::string result = plainName(context.parameter(1));
  createWhenMissing(context, result);
  std::string section = context.expanded(3);
  std::string key = context.expanded(4);
  std::string value;
  if (!section.empty() && !key.empty()) {
    std::vector<char> buffer(26000);
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                            static_cast<DWORD>(buffer.size()), context.pathValue(2).c_str());
    value.assign(buffer.data(), length);
  }
  context.writeResult(result, value);
}

class Win32EntryRemover : public EntryRemover {
 public:
  void removeFile(const std::string& path) override {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
  }
  void removeFolder(const std::string& path) override { RemoveDirectoryA(path.c_str()); }
};

// "Delete Files Recursive": P1 folder + "\" + mask.
void deleteFilesRecursiveCommand(CommandContext& context) {
  FileSystemRedirectionOff redirection;
  const std::string pattern = context.pathValue(1);
  // An unset folder variable turns "$APPDIR$\*.*" into "\*.*": never empty a whole volume.
  if (isVolumeRoot(patternFolder(pattern, '\\'))) {
    context.fail("Delete Files Recursive: refusing to delete the contents of a whole drive (\"" + pattern + "\")");
    return;
  }
  win::Win32DirectorySource source;
  Win32EntryRemover remover;
  removeMatching(pattern, source, remover);
}

// "Find All Files": P1 folder + "\" + mask, P2 search subfolders, P3 list
// folders, P4 result. The search runs on its worker thread.
void findAllFilesCommand(CommandContext& context) {
  FileSystemRedirectionOff redirection;
  const std::string result = plainOrReferenceName(context.parameter(4));
  win::Win32DirectorySource source;
  TFindAllFilesThread worker(
      FileSearch{context.pathValue(1), context.flag(2), context.flag(3)}, source,
      [&context](const std::string& text, int64_t minimum, int64_t maximum, int64_t position) {
        context.reportProgress(text, minimum, maximum, position);
      },
      [](const std::function<void()>& work) {
        FileSystemRedirectionOff workerRedirection;  // the switch is per thread
        work();
      });
  // Ends the interpreter's wait for a window message once the search is done.
  worker.setWake([thread = GetCurrentThreadId()] { PostThreadMessageA(thread, WM_NULL, 0, 0); });
  worker.start();
  if (!waitForWorker(context, worker, "Cancel at Find-Files Time")) return;
  if (!worker.error().empty()) {
    context.fail("Find All Files: " + worker.error());
    return;
  }
  createWhenMissing(context, result);
  context.writeResult(result, joinFileList(worker.result()));
}

constexpr CommandEntry kFileCommands[] = {
    {"Does File/Folder Exist", doesFileExistCommand},
    {"Get File Version", getFileVersionCommand},
    {"Check File Version", checkFileVersionCommand},
    {"Read from Text File", readFromTextFileCommand},
    {"Write to Text File", writeToTextFileCommand},
    {"Get INI File Settings", getIniFileSettingsCommand},
    {"Delete Files Recursive", deleteFilesRecursiveCommand},
    {"Find All Files", findAllFilesCommand},
};

}  // namespace

std::span<const CommandEntry> fileCommands() { return kFileCommands; }

FileVersion readFileVersion(const std::string& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<char> info(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, info.data())) return {};
  void* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), "\\", &fixed, &length) || fixed == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return {};
  }
  const auto* fileInfo = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  return versionFromFixedInfo(fileInfo->dwFileVersionMS, fileInfo->dwFileVersionLS);
}

}  // namespace kox
