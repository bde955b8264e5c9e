// Helpers for end-to-end tests that run built setups under Wine: make a setup
// folder, start the engine, answer its message boxes, read its trace log.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kox::e2e {

struct MessageBoxSeen {
  std::string title;
  std::string text;
  std::string ownerClass;  // class of the owner window, "" when unowned
};

struct RunOptions {
  std::string arguments;   // appended after the quoted program path
  std::string tempFolder;  // TMP and TEMP for the program; "" keeps ours
  // Called once for each message box while it is open, before it is answered with OK.
  std::function<void(HWND box, DWORD processId)> onMessageBox;
  DWORD timeoutMs = 60000;
};

struct RunResult {
  DWORD exitCode = 0;
  bool timedOut = false;
  std::vector<MessageBoxSeen> boxes;
};

RunResult runProgram(const std::string& program, const RunOptions& options);

// Lines of a UTF-16LE trace log; empty when the file does not exist.
std::vector<std::string> readTrace(const std::string& path);

std::vector<uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void writeText(const std::string& path, const std::string& text);
bool fileExists(const std::string& path);
bool folderExists(const std::string& path);
void copyFileOrThrow(const std::string& from, const std::string& to);
// Removes a folder and everything below it (test clean-up).
void removeTree(const std::string& folder);
// A fresh, empty folder (removed first when it exists). Returns it with "\".
std::string freshFolder(const std::string& path);
// Names of the entries of a folder, sorted.
std::vector<std::string> listFolder(const std::string& folder);

// One setup under test: a fresh folder with setup.exe (the engine stub with a
// package appended) and kox.lib, and a fresh temporary folder that the
// engine gets as TMP/TEMP.
class SetupFolder {
 public:
  SetupFolder(const std::string& folder, const std::string& stub, const std::string& library);
  void writeExecutable(const std::string& packageText);
  void copyIn(const std::string& from, const std::string& name);  // name inside the folder
  void writeFile(const std::string& name, const std::string& text);
  RunResult run(const std::string& arguments, std::function<void(HWND, DWORD)> onBox = nullptr) const;
  std::string exe() const { return folder_ + "setup.exe"; }
  const std::string& folder() const { return folder_; }
  const std::string& temp() const { return temp_; }
  std::string log() const { return folder_ + "trace.log"; }

 private:
  std::string stub_;
  std::string folder_, temp_;
};

std::string windowClass(HWND window);
std::string windowText(HWND window);
// Top-level windows of a process with the given class.
std::vector<HWND> processWindows(DWORD processId, const std::string& className);

}  // namespace kox::e2e
