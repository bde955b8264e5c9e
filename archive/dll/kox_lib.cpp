// The four exports of "kox.lib" (contract in archive/kox_archive_api.h) over
// the 7z reader. Nothing escapes an export: every failure becomes 0 and a
// code for GetLastArchiveError.
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "archive/dll/code_page.h"
#include "archive/dll/windows_target.h"
#include "archive/kox_archive_api.h"
#include "archive/sevenzip/archive.h"
#include "archive/sevenzip/entry_path.h"
#include "archive/sevenzip/extractor.h"
#include "archive/sevenzip/name_match.h"

namespace {

using namespace kox::sevenzip;
using kox::archive::ansiToUtf16;
using kox::archive::WindowsTarget;
using kox::archive::utf16ToAnsi;

// Process-wide by contract: the code of the last failure.
std::atomic<uint32_t> lastError{KOX_ARCHIVE_OK};

class Failure {
 public:
  explicit Failure(uint32_t code) : code(code) {}
  uint32_t code;
};

std::filesystem::path widePath(const std::string& ansiPath) {
  std::u16string wide = ansiToUtf16(ansiPath);
  return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

// A given password is used as is; otherwise the callback is asked once, when
// the archive turns out to be encrypted.
PasswordSource makePasswordSource(const char* password, KoxPasswordCallback callback) {
  if (password && *password) return PasswordSource::fixed(ansiToUtf16(password));
  return PasswordSource([callback]() -> std::optional<std::u16string> {
    if (!callback) return std::nullopt;
    std::vector<char> buffer(KOX_ARCHIVE_PASSWORD_CAPACITY, '\0');
    if (callback(buffer.data()) == 0) return std::nullopt;
    buffer.back() = '\0';
    return ansiToUtf16(buffer.data());
  });
}

// Opening failures all mean "cannot be opened" except a missing file.
Archive openArchive(const char* archivePath, PasswordSource& password) {
  if (!archivePath) throw Failure(KOX_ARCHIVE_BAD_ARGUMENT);
  auto path = widePath(archivePath);
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) throw Failure(KOX_ARCHIVE_NOT_FOUND);
  try {
    return Archive::open(std::make_unique<DiskFile>(path), password);
  } catch (const ArchiveError& error) {
    if (error.kind() == ErrorKind::NotFound) throw Failure(KOX_ARCHIVE_NOT_FOUND);
    if (error.kind() == ErrorKind::Io) throw Failure(KOX_ARCHIVE_CANNOT_OPEN);
    if (error.kind() == ErrorKind::Limit) throw Failure(KOX_ARCHIVE_OUT_OF_MEMORY);
    throw Failure(KOX_ARCHIVE_CANNOT_OPEN);
  }
}

uint32_t codeOf(const ArchiveError& error) {
  switch (error.kind()) {
    case ErrorKind::Corrupt: return KOX_ARCHIVE_CORRUPT;
    case ErrorKind::Unsupported: return KOX_ARCHIVE_UNSUPPORTED;
    case ErrorKind::NeedPassword:
    case ErrorKind::WrongPassword: return KOX_ARCHIVE_CANNOT_OPEN;
    case ErrorKind::UnsafePath: return KOX_ARCHIVE_UNSAFE_PATH;
    case ErrorKind::Io: return KOX_ARCHIVE_WRITE_FAILED;
    case ErrorKind::Cancelled: return KOX_ARCHIVE_CANCELLED;
    case ErrorKind::NotFound: return KOX_ARCHIVE_ENTRY_NOT_FOUND;
    case ErrorKind::Limit: return KOX_ARCHIVE_OUT_OF_MEMORY;
  }
  return KOX_ARCHIVE_CORRUPT;
}

// The entry's name as listed: '\' between folders, in the ANSI code page.
std::string listedName(const Entry& entry) {
  std::u16string name = entry.name;
  for (auto& c : name)
    if (c == u'/') c = u'\\';
  return utf16ToAnsi(name);
}

template <typename Body>
int32_t guarded(Body body) {
  try {
    body();
    lastError = KOX_ARCHIVE_OK;
    return 1;
  } catch (const Failure& failure) {
    lastError = failure.code;
  } catch (const ArchiveError& error) {
    lastError = codeOf(error);
  } catch (const std::bad_alloc&) {
    lastError = KOX_ARCHIVE_OUT_OF_MEMORY;
  } catch (...) {
    lastError = KOX_ARCHIVE_CORRUPT;
  }
  return 0;
}

// A finished listing: the records and the texts they point to.
struct Listing {
  std::vector<std::string> names;
  std::vector<KoxListEntry> records;
};

// Handles handed out and not yet closed; a stale or foreign handle is ignored.
std::mutex listingsLock;
std::set<Listing*> openListings;

}  // namespace

extern "C" {

KOX_ARCHIVE_EXPORT int32_t KOX_ARCHIVE_CALL ExtractArchive(const char* archivePath, int32_t, const char* targetFolder,
                                                           const TSZW_TARGETFILES* files, int32_t folderOption,
                                                           const char* password,
                                                           KoxPasswordCallback passwordCallback,
                                                           KoxFileProgressCallback progressCallback,
                                                           KoxNotificationCallback notificationCallback,
                                                           KoxReplaceCallback replaceCallback) {
  return guarded([&] {
    if (!targetFolder || !*targetFolder || !files || (files->count > 0 && !files->names))
      throw Failure(KOX_ARCHIVE_BAD_ARGUMENT);
    std::vector<std::string> patterns;
    for (uint32_t i = 0; i < files->count; ++i) {
      if (!files->names[i]) throw Failure(KOX_ARCHIVE_BAD_ARGUMENT);
      patterns.emplace_back(files->names[i]);
      if (!isLegalPattern(patterns.back())) throw Failure(KOX_ARCHIVE_ILLEGAL_WILDCARD);
    }
    PasswordSource passwords = makePasswordSource(password, passwordCallback);
    Archive archive = openArchive(archivePath, passwords);
    const auto& entries = archive.database().entries;

    // Select what the list names; every name must find an entry.
    ExtractOptions options;
    options.keepFolders = folderOption == 0;
    options.selected.assign(entries.size(), false);
    std::vector<std::string> names;
    for (const auto& entry : entries) names.push_back(listedName(entry));
    for (const auto& pattern : patterns) {
      bool found = false;
      for (size_t i = 0; i < entries.size(); ++i) {
        // An exact name selects its entry alone; wildcards may select many.
        if (matchesEntryName(pattern, names[i])) {
          options.selected[i] = true;
          found = true;
        }
      }
      if (!found) throw Failure(KOX_ARCHIVE_ENTRY_NOT_FOUND);
    }

    const Entry* current = nullptr;
    options.progress = [&](const Entry& entry, uint64_t done, uint64_t total) {
      if (&entry != current) {
        current = &entry;
        uint32_t index = static_cast<uint32_t>(&entry - entries.data());
        if (notificationCallback && notificationCallback(KOX_NOTIFY_ENTRY, index) == 0) return false;
      }
      return !progressCallback || progressCallback(names[&entry - entries.data()].c_str(), done, total) != 0;
    };
    WindowsTarget target(widePath(targetFolder));
    options.replaceExisting = [&](const Entry& entry) {
      if (!replaceCallback) return true;
      WIN32_FILE_ATTRIBUTE_DATA existing{};
      auto path = target.pathOf(safeEntryPath(entry.name));
      if (!options.keepFolders) path = target.pathOf({safeEntryPath(entry.name).back()});
      GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &existing);
      uint64_t modified = entry.modified.value_or(0);
      return replaceCallback(existing.nFileSizeLow, existing.nFileSizeHigh, existing.ftLastWriteTime.dwLowDateTime,
                             existing.ftLastWriteTime.dwHighDateTime, static_cast<uint32_t>(entry.size),
                             static_cast<uint32_t>(entry.size >> 32), static_cast<uint32_t>(modified),
                             static_cast<uint32_t>(modified >> 32),
                             static_cast<uint32_t>(&entry - entries.data()), 0) == KOX_REPLACE_YES;
    };
    extract(archive, passwords, target, options);
  });
}

KOX_ARCHIVE_EXPORT uint32_t KOX_ARCHIVE_CALL GetLastArchiveError(int32_t) { return lastError; }

KOX_ARCHIVE_EXPORT KoxListHandle KOX_ARCHIVE_CALL OpenListArchive(const char* archivePath, int32_t,
                                                                  KoxPasswordCallback passwordCallback, intptr_t,
                                                                  intptr_t, intptr_t, const char* password,
                                                                  const KoxListEntry** firstEntry, uint32_t* count) {
  std::unique_ptr<Listing> listing;
  int32_t ok = guarded([&] {
    if (!firstEntry || !count) throw Failure(KOX_ARCHIVE_BAD_ARGUMENT);
    PasswordSource passwords = makePasswordSource(password, passwordCallback);
    Archive archive = openArchive(archivePath, passwords);
    const Database& database = archive.database();
    listing = std::make_unique<Listing>();
    listing->names.reserve(database.entries.size());
    for (const auto& entry : database.entries) listing->names.push_back(listedName(entry));
    std::vector<bool> folderSeen(database.folders.size());
    for (size_t i = 0; i < database.entries.size(); ++i) {
      const Entry& entry = database.entries[i];
      KoxListEntry record{};
      record.path = listing->names[i].c_str();
      record.size = entry.size;
      if (entry.hasStream && !folderSeen[entry.folderIndex]) {
        folderSeen[entry.folderIndex] = true;
        const Folder& folder = database.folders[entry.folderIndex];
        for (size_t p = 0; p < folder.packedStreams.size(); ++p)
          record.packedSize += database.packSizes[folder.firstPackStream + p];
      }
      record.crc = entry.crc.value_or(0);
      record.flags = (entry.isDirectory ? KOX_ENTRY_DIRECTORY : 0) | (entry.crc ? KOX_ENTRY_HAS_CRC : 0) |
                     (entry.hasStream && database.folders[entry.folderIndex].isEncrypted() ? KOX_ENTRY_ENCRYPTED : 0);
      record.modified = entry.modified.value_or(0);
      record.attributes = entry.attributes.value_or(entry.isDirectory ? FILE_ATTRIBUTE_DIRECTORY : 0);
      listing->records.push_back(record);
    }
    *firstEntry = listing->records.data();
    *count = static_cast<uint32_t>(listing->records.size());
  });
  if (!ok) return 0;
  std::lock_guard<std::mutex> lock(listingsLock);
  openListings.insert(listing.get());
  return reinterpret_cast<KoxListHandle>(listing.release());
}

KOX_ARCHIVE_EXPORT void KOX_ARCHIVE_CALL CloseListArchive(KoxListHandle handle) {
  auto* listing = reinterpret_cast<Listing*>(handle);
  std::lock_guard<std::mutex> lock(listingsLock);
  if (openListings.erase(listing) == 0) return;
  std::unique_ptr<Listing> owned(listing);
}

}  // extern "C"
