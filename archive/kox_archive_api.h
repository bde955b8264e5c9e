/* The calling contract of the archive library "kox.lib", shared by the
 * library and the engine.
 *
 * Binding: the engine links the import library (CMake target
 * kox_archive_import) and so loads "kox.lib" from its own folder at start.
 * Calling convention: __stdcall for the four exports and for every callback;
 * the exports carry undecorated names ("ExtractArchive", not
 * "_ExtractArchive@40"). Texts are 8-bit, in the system ANSI code page.
 *
 * ExtractArchive(archive, 1, target, files, folderOption, password,
 *                passwordCb, progressCb, notifyCb, replaceCb)
 *   Extracts the entries named in `files` (names as OpenListArchive gives
 *   them; '*' and '?' act as wildcards; letter case is ignored) into `target`.
 *   folderOption 0: each entry at its archive path below `target`;
 *   1: every file directly in `target` under its own name, no folders.
 *   A non-empty `password` is used as is; otherwise passwordCb is asked once,
 *   when the first encrypted part is met. Returns non-zero when every named
 *   entry was extracted; else 0 and GetLastArchiveError tells why.
 *   Files are written under a temporary name and renamed only after their CRC
 *   matched, so a failure never leaves a file with wrong contents.
 * GetLastArchiveError(0)
 *   The code of the last failure of this process (one of KOX_ARCHIVE_*).
 * OpenListArchive(archive, 0, passwordCb, 0, 0, 0, password, &first, &count)
 *   Reads the archive's entry list: `count` records of 48 bytes from `first`,
 *   valid until CloseListArchive(handle). Returns the handle, or 0 on failure.
 */
#ifndef KOX_ARCHIVE_API_H
#define KOX_ARCHIVE_API_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define KOX_ARCHIVE_CALL __stdcall
#if defined(KOX_ARCHIVE_BUILDING_LIBRARY)
#define KOX_ARCHIVE_EXPORT __declspec(dllexport)
#else
#define KOX_ARCHIVE_EXPORT __declspec(dllimport)
#endif
#else
#define KOX_ARCHIVE_CALL
#define KOX_ARCHIVE_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Failure codes of GetLastArchiveError. The engine tells apart the first three. */
enum {
  KOX_ARCHIVE_OK = 0,
  KOX_ARCHIVE_NOT_FOUND = 1001,         /* the archive file does not exist */
  KOX_ARCHIVE_ILLEGAL_WILDCARD = 1002,  /* a name of the file list is absolute, has a drive or ".." */
  KOX_ARCHIVE_CANNOT_OPEN = 1003,       /* not a readable 7z archive, or a missing or wrong password */
  KOX_ARCHIVE_CORRUPT = 1004,           /* damaged data, CRC mismatch */
  KOX_ARCHIVE_UNSUPPORTED = 1005,       /* a compression method or feature we do not decode */
  KOX_ARCHIVE_UNSAFE_PATH = 1006,       /* an entry would land outside the target folder */
  KOX_ARCHIVE_CANCELLED = 1007,         /* a callback asked to stop */
  KOX_ARCHIVE_WRITE_FAILED = 1008,      /* a folder or file could not be created or written */
  KOX_ARCHIVE_ENTRY_NOT_FOUND = 1009,   /* a name of the file list matches no entry */
  KOX_ARCHIVE_OUT_OF_MEMORY = 1010,     /* the archive needs more memory than allowed */
  KOX_ARCHIVE_BAD_ARGUMENT = 1011,      /* a null path or a malformed file list */
};

/* Size of the buffer handed to the password callback, terminator included. */
#define KOX_ARCHIVE_PASSWORD_CAPACITY 512

/* Copies a zero-terminated password into `buffer` and returns 1, or returns 0
 * when it has none. */
typedef int32_t(KOX_ARCHIVE_CALL* KoxPasswordCallback)(char* buffer);
/* Before each file and after each written chunk: the entry being written and
 * the bytes written so far out of the total of all files being extracted.
 * Returns non-zero to go on, 0 to stop. */
typedef int32_t(KOX_ARCHIVE_CALL* KoxFileProgressCallback)(const char* entryPath, uint64_t done, uint64_t total);
/* (KOX_NOTIFY_ENTRY, entry index) before each entry is written. 0 stops. */
typedef int32_t(KOX_ARCHIVE_CALL* KoxNotificationCallback)(uint32_t event, uint32_t value);
enum { KOX_NOTIFY_ENTRY = 1 };
/* Asked when a file to be written exists: existing size (low, high), existing
 * modification time (low, high), new size (low, high), new modification time
 * (low, high), entry index, 0. Returns KOX_REPLACE_YES to replace the file;
 * any other answer (KOX_REPLACE_NO) leaves it in place. */
typedef int32_t(KOX_ARCHIVE_CALL* KoxReplaceCallback)(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                                      uint32_t, uint32_t, uint32_t, uint32_t);
enum { KOX_REPLACE_NO = 1, KOX_REPLACE_YES = 4 };

/* The file list: `count` pointers to zero-terminated entry names. */
typedef struct TSZW_TARGETFILES {
  const char* const* names;
  uint32_t count;
} TSZW_TARGETFILES;

/* One listing record, 48 bytes whatever the pointer size. */
typedef struct KoxListEntry {
  union {
    const char* path; /* entry path inside the archive, '\' between folders */
    uint64_t pathSlot;
  };
  uint64_t size;        /* unpacked size */
  uint64_t packedSize;  /* packed size of the entry's folder, on its first entry; else 0 */
  uint32_t crc;         /* CRC-32 of the data, 0 when unknown */
  uint32_t flags;       /* KOX_ENTRY_* */
  uint64_t modified;    /* Windows FILETIME (UTC), 0 when unknown */
  uint32_t attributes;  /* Windows file attributes */
  uint32_t reserved;
} KoxListEntry;
enum { KOX_ENTRY_DIRECTORY = 1, KOX_ENTRY_ENCRYPTED = 2, KOX_ENTRY_HAS_CRC = 4 };

typedef uintptr_t KoxListHandle;

KOX_ARCHIVE_EXPORT int32_t KOX_ARCHIVE_CALL ExtractArchive(const char* archivePath, int32_t one,
                                                           const char* targetFolder, const TSZW_TARGETFILES* files,
                                                           int32_t folderOption, const char* password,
                                                           KoxPasswordCallback passwordCallback,
                                                           KoxFileProgressCallback progressCallback,
                                                           KoxNotificationCallback notificationCallback,
                                                           KoxReplaceCallback replaceCallback);
KOX_ARCHIVE_EXPORT uint32_t KOX_ARCHIVE_CALL GetLastArchiveError(int32_t zero);
KOX_ARCHIVE_EXPORT KoxListHandle KOX_ARCHIVE_CALL OpenListArchive(const char* archivePath, int32_t zero,
                                                                  KoxPasswordCallback passwordCallback,
                                                                  intptr_t reserved1, intptr_t reserved2,
                                                                  intptr_t reserved3, const char* password,
                                                                  const KoxListEntry** firstEntry, uint32_t* count);
KOX_ARCHIVE_EXPORT void KOX_ARCHIVE_CALL CloseListArchive(KoxListHandle handle);

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
static_assert(sizeof(KoxListEntry) == 48, "listing records are 48 bytes");
static_assert(offsetof(KoxListEntry, size) == 8 && offsetof(KoxListEntry, packedSize) == 16 &&
                  offsetof(KoxListEntry, modified) == 32 && offsetof(KoxListEntry, attributes) == 40,
              "listing record layout");
#endif

#endif
