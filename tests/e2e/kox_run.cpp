// kox_run PROGRAM [ARGUMENTS...]: starts a program, waits for it and prints
// its whole exit code. A shell sees only the low 8 bits of a Windows exit
// code (1603 arrives as 67), so scripts ask this program instead.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: kox_run PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  std::string commandLine = std::string("\"") + argv[1] + "\"";
  for (int i = 2; i < argc; ++i) commandLine += std::string(" ") + argv[i];
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "kox_run: cannot start %s (error %lu)\n", argv[1], GetLastError());
    return 2;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::printf("exit code: %lu\n", code);
  return 0;
}
