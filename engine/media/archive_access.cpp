#include "engine/media/archive_access.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <mutex>

#include "archive/kox_archive_api.h"

namespace kox::media {
namespace {

// The operation whose callbacks the library is calling. Process-wide because
// the library's callbacks carry no context; operations never overlap.
struct Operation {
  const PasswordCallback* password = nullptr;  // nullptr: hand-out-once password
  std::string handOutPassword;
  const ExtractRequest* request = nullptr;     // nullptr while listing
  std::optional<std::string> exceptionText;    // first exception of a callback
};
Operation* current = nullptr;

// Runs a callback body; an exception is remembered and stops the library.
template <typename Body>
int32_t guarded(Body body) {
  if (!current || current->exceptionText) return 0;
  try {
    return body(*current);
  } catch (const std::exception& error) {
    current->exceptionText = error.what();
  } catch (...) {
    current->exceptionText = "Unknown exception in an archive callback";
  }
  return 0;
}

void copyPassword(const std::string& password, char* buffer) {
  size_t length = std::min<size_t>(password.size(), KOX_ARCHIVE_PASSWORD_CAPACITY - 1);
  std::memcpy(buffer, password.data(), length);
  buffer[length] = '\0';
}

int32_t KOX_ARCHIVE_CALL onPassword(char* buffer) {
  return guarded([buffer](Operation& operation) -> int32_t {
    if (operation.password && *operation.password) {
      auto password = (*operation.password)();
      if (!password) return 0;
      copyPassword(*password, buffer);
      return 1;
    }
    // The hand-out-once password: offered once, never when empty.
    if (operation.handOutPassword.empty()) return 0;
    copyPassword(operation.handOutPassword, buffer);
    operation.handOutPassword.clear();
    return 1;
  });
}

int32_t KOX_ARCHIVE_CALL onProgress(const char* entryPath, uint64_t done, uint64_t total) {
  return guarded([&](Operation& operation) -> int32_t {
    const auto& progress = operation.request->progressCallback;
    return !progress || progress(entryPath ? entryPath : "", done, total) ? 1 : 0;
  });
}

int32_t KOX_ARCHIVE_CALL onNotification(uint32_t event, uint32_t value) {
  return guarded([&](Operation& operation) -> int32_t {
    const auto& notify = operation.request->notificationCallback;
    return notify ? notify(event, value) : 1;
  });
}

int32_t KOX_ARCHIVE_CALL onReplace(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                   uint32_t, uint32_t) {
  return guarded([](Operation& operation) -> int32_t {
    const auto& replace = operation.request->replaceCallback;
    if (replace) return replace();
    return operation.request->replaceExisting ? KOX_REPLACE_YES : KOX_REPLACE_NO;
  });
}

// Makes `operation` the current one for the duration of a library call.
class CurrentOperation {
 public:
  explicit CurrentOperation(Operation& operation) : previous_(current) { current = &operation; }
  ~CurrentOperation() { current = previous_; }
  CurrentOperation(const CurrentOperation&) = delete;
  CurrentOperation& operator=(const CurrentOperation&) = delete;

 private:
  Operation* previous_;
};

// Closes a listing handle on every path.
class ListingHandle {
 public:
  explicit ListingHandle(KoxListHandle handle) : handle_(handle) {}
  ~ListingHandle() {
    if (handle_ != 0) CloseListArchive(handle_);
  }
  ListingHandle(const ListingHandle&) = delete;
  ListingHandle& operator=(const ListingHandle&) = delete;
  explicit operator bool() const { return handle_ != 0; }

 private:
  KoxListHandle handle_;
};

}  // namespace

std::string listingErrorText(uint32_t code) {
  switch (code) {
    case KOX_ARCHIVE_NOT_FOUND: return "The archive file was not found";
    case KOX_ARCHIVE_ILLEGAL_WILDCARD: return "Illegal path used in a wildcard expression";
    case KOX_ARCHIVE_CANNOT_OPEN: return "The archive cannot be opened: unsupported archive or incorrect password";
    default: return "General failure opening archive";
  }
}

int progressPosition(uint64_t done, uint64_t total) {
  if (total == 0) return 100;
  if (done >= total) return 100;
  // done * 100 must not overflow: drop low bits of both for huge sizes.
  while (done > UINT64_MAX / 100) {
    done >>= 1;
    total >>= 1;
  }
  uint64_t position = done * 100 / total + 1;
  return position > 100 ? 100 : static_cast<int>(position);
}

bool List(const std::string& archivePath, const std::string& password, std::string& errorText,
          std::vector<std::string>& names, const PasswordCallback& passwordCallback) {
  errorText.clear();
  names.clear();
  try {
    Operation operation;
    operation.password = &passwordCallback;
    operation.handOutPassword = password;
    CurrentOperation scope(operation);
    const KoxListEntry* first = nullptr;
    uint32_t count = 0;
    ListingHandle handle(OpenListArchive(archivePath.c_str(), 0, onPassword, 0, 0, 0, password.c_str(), &first, &count));
    if (operation.exceptionText) {
      errorText = *operation.exceptionText;
      return false;
    }
    if (!handle) {
      errorText = listingErrorText(GetLastArchiveError(0));
      return false;
    }
    names.reserve(count);
    for (uint32_t i = 0; i < count; ++i) names.emplace_back(first[i].path ? first[i].path : "");
    return true;
  } catch (const std::exception& error) {
    names.clear();
    errorText = error.what();
    return false;
  }
}

bool Extract(const ExtractRequest& request, std::string& errorText) {
  errorText.clear();
  try {
    std::vector<std::string> listed;
    const std::vector<std::string>* names = request.names ? &*request.names : nullptr;
    if (!names) {
      if (!List(request.archivePath, request.password, errorText, listed, request.passwordCallback)) return false;
      names = &listed;
    }
    std::vector<const char*> pointers;
    pointers.reserve(names->size());
    for (const auto& name : *names) pointers.push_back(name.c_str());
    TSZW_TARGETFILES files{pointers.data(), static_cast<uint32_t>(pointers.size())};

    Operation operation;
    operation.password = &request.passwordCallback;
    operation.handOutPassword = request.password;
    operation.request = &request;
    CurrentOperation scope(operation);
    int32_t ok = ExtractArchive(request.archivePath.c_str(), 1, request.targetFolder.c_str(), &files,
                                request.keepFolders ? 0 : 1, request.password.c_str(), onPassword, onProgress,
                                onNotification, onReplace);
    if (operation.exceptionText) {
      errorText = *operation.exceptionText;
      return false;
    }
    if (ok != 0) return true;
    errorText = "#" + std::to_string(GetLastArchiveError(0));
    return false;
  } catch (const std::exception& error) {
    errorText = error.what();
    return false;
  }
}

}  // namespace kox::media
