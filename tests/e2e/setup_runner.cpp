#include "tests/e2e/setup_runner.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>

namespace kox::e2e {
namespace {

struct EnumContext {
  DWORD processId;
  std::string className;
  std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM param) {
  auto* context = reinterpret_cast<EnumContext*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == context->processId && windowClass(window) == context->className) context->found.push_back(window);
  return TRUE;
}

// Sets TMP and TEMP for the child and puts the old values back afterwards.
class TempOverride {
 public:
  explicit TempOverride(const std::string& folder) : active_(!folder.empty()) {
    if (!active_) return;
    save("TMP", oldTmp_);
    save("TEMP", oldTemp_);
    SetEnvironmentVariableA("TMP", folder.c_str());
    SetEnvironmentVariableA("TEMP", folder.c_str());
  }
  ~TempOverride() {
    if (!active_) return;
    SetEnvironmentVariableA("TMP", oldTmp_.c_str());
    SetEnvironmentVariableA("TEMP", oldTemp_.c_str());
  }

 private:
  static void save(const char* name, std::string& out) {
    char buffer[MAX_PATH * 2] = {};
    GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    out = buffer;
  }
  bool active_;
  std::string oldTmp_, oldTemp_;
};

}  // namespace

SetupFolder::SetupFolder(const std::string& folder, const std::string& stub, const std::string& library)
    : stub_(stub), folder_(freshFolder(folder)), temp_(freshFolder(folder + "-temp")) {
  copyFileOrThrow(library, folder_ + "kox.lib");
}

void SetupFolder::writeExecutable(const std::string& packageText) {
  std::vector<uint8_t> bytes = readBytes(stub_);
  bytes.insert(bytes.end(), packageText.begin(), packageText.end());
  writeBytes(exe(), bytes);
}

void SetupFolder::copyIn(const std::string& from, const std::string& name) { copyFileOrThrow(from, folder_ + name); }

void SetupFolder::writeFile(const std::string& name, const std::string& text) { writeText(folder_ + name, text); }

RunResult SetupFolder::run(const std::string& arguments, std::function<void(HWND, DWORD)> onBox) const {
  RunOptions options;
  options.arguments = arguments;
  options.tempFolder = temp_;
  options.onMessageBox = std::move(onBox);
  return runProgram(exe(), options);
}

std::string windowClass(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

std::string windowText(HWND window) {
  char text[4096] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

std::vector<HWND> processWindows(DWORD processId, const std::string& className) {
  EnumContext context{processId, className, {}};
  EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&context));
  return context.found;
}

RunResult runProgram(const std::string& program, const RunOptions& options) {
  std::string commandLine = "\"" + program + "\"";
  if (!options.arguments.empty()) commandLine += " " + options.arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  {
    TempOverride temp(options.tempFolder);
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
      throw std::runtime_error("cannot start " + program + " (error " + std::to_string(GetLastError()) + ")");
  }
  CloseHandle(process.hThread);
  RunResult result;
  std::set<HWND> answered;
  const DWORD started = GetTickCount();
  for (;;) {
    if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) break;
    for (HWND box : processWindows(process.dwProcessId, "#32770")) {
      if (answered.count(box) || !IsWindowVisible(box)) continue;
      answered.insert(box);
      MessageBoxSeen seen;
      seen.title = windowText(box);
      seen.text = windowText(GetDlgItem(box, 0xFFFF));
      HWND owner = GetWindow(box, GW_OWNER);
      seen.ownerClass = owner ? windowClass(owner) : "";
      result.boxes.push_back(seen);
      if (options.onMessageBox) options.onMessageBox(box, process.dwProcessId);
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    if (GetTickCount() - started > options.timeoutMs) {
      result.timedOut = true;
      TerminateProcess(process.hProcess, 9999);
      WaitForSingleObject(process.hProcess, 5000);
      break;
    }
  }
  GetExitCodeProcess(process.hProcess, &result.exitCode);
  CloseHandle(process.hProcess);
  return result;
}

std::vector<std::string> readTrace(const std::string& path) {
  std::vector<uint8_t> bytes = fileExists(path) ? readBytes(path) : std::vector<uint8_t>();
  std::vector<std::string> lines;
  std::wstring wide(bytes.size() / 2, L'\0');
  for (size_t i = 0; i < wide.size(); ++i) wide[i] = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  std::wstring current;
  for (size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == L'\r' && i + 1 < wide.size() && wide[i + 1] == L'\n') {
      int length = WideCharToMultiByte(CP_ACP, 0, current.data(), static_cast<int>(current.size()), nullptr, 0, nullptr, nullptr);
      std::string line(length, '\0');
      WideCharToMultiByte(CP_ACP, 0, current.data(), static_cast<int>(current.size()), line.data(), length, nullptr, nullptr);
      lines.push_back(line);
      current.clear();
      ++i;
    } else {
      current += wide[i];
    }
  }
  if (!current.empty()) lines.push_back("<unterminated> " + std::string(current.begin(), current.end()));
  return lines;
}

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

void writeText(const std::string& path, const std::string& text) {
  writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

bool fileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void copyFileOrThrow(const std::string& from, const std::string& to) {
  if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
    throw std::runtime_error("cannot copy " + from + " to " + to + " (error " + std::to_string(GetLastError()) + ")");
}

void removeTree(const std::string& folder) {
  std::string base = folder;
  if (!base.empty() && base.back() == '\\') base.pop_back();
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((base + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = base + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        removeTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(base.c_str());
}

std::string freshFolder(const std::string& path) {
  std::string base = path;
  if (!base.empty() && base.back() == '\\') base.pop_back();
  removeTree(base);
  // Create every missing parent.
  for (size_t pos = base.find('\\', 3); pos != std::string::npos; pos = base.find('\\', pos + 1))
    CreateDirectoryA(base.substr(0, pos).c_str(), nullptr);
  if (!CreateDirectoryA(base.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    throw std::runtime_error("cannot create " + base);
  return base + "\\";
}

std::vector<std::string> listFolder(const std::string& folder) {
  std::string base = folder;
  if (!base.empty() && base.back() == '\\') base.pop_back();
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((base + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace kox::e2e
