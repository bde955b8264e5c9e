// WOW64 around a command: the file-system redirection switch and the
// registry view of the platform mode. Both only act when the engine runs
// under WOW64 (a 32-bit engine on 64-bit Windows); the kernel functions are
// bound at run time because older systems lack them.
#pragma once

#include <windows.h>

namespace kox::win {

// IsWow64Process for this process; false when the function is missing.
bool RunningUnderWow64();

// Switches the 64-bit file-system redirection off for the calling thread
// for the guard's lifetime, when under WOW64 in a platform mode other than
// "Win32". Redirection is per thread: create the guard on the thread that
// touches the file system.
class FileSystemRedirectionOff {
 public:
  FileSystemRedirectionOff();
  ~FileSystemRedirectionOff();
  FileSystemRedirectionOff(const FileSystemRedirectionOff&) = delete;
  FileSystemRedirectionOff& operator=(const FileSystemRedirectionOff&) = delete;

  bool active() const { return active_; }

 private:
  bool active_ = false;
  PVOID previous_ = nullptr;
};

// The access-rights addition for a command's registry opens: KEY_WOW64_64KEY
// under WOW64 outside "Win32" mode, KEY_WOW64_32KEY under WOW64 in "Win32"
// mode, 0 otherwise.
REGSAM RegistryViewForCommand();

}  // namespace kox::win
