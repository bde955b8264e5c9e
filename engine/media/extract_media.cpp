#include "engine/media/extract_media.h"

#include "engine/base/text.h"
#include "engine/media/archive_access.h"
#include "engine/media/cache_copy.h"
#include "engine/media/folder_transfer.h"
#include "engine/media/media_files.h"

namespace kox::media {
namespace {

constexpr const char* kCannotOpenText = "The archive cannot be opened: unsupported archive or incorrect password";

}  // namespace

TExtractMedia::TExtractMedia(MediaExtractSettings settings, MediaExtractEnvironment environment,
                             ProgressReport report)
    : TMediaWorker(settings.ownerWindow),
      settings_(std::move(settings)),
      environment_(std::move(environment)),
      report_(std::move(report)) {}

TExtractMedia::~TExtractMedia() { stopThread(); }

std::string TExtractMedia::extractionFolder() const { return withBackslash(environment_.tempFolder) + "keld\\"; }

void TExtractMedia::execute() {
  moved_.clear();
  result_ = extract();
  // Removed only when nothing is left in it: files of a placement or
  // transfer that failed stay for the next run, which extracts over them.
  RemoveDirectoryA(extractionFolder().c_str());
}

bool TExtractMedia::extract() {
  forceFolders(settings_.mediaRoot);
  ExtractRequest request;
  request.archivePath = settings_.archivePath;
  request.password = settings_.password;
  request.targetFolder = extractionFolder();
  request.replaceExisting = true;
  request.keepFolders = true;
  request.progressCallback = [this](const std::string& entryPath, uint64_t done, uint64_t total) {
    return onFileProgress(entryPath, done, total);
  };
  bool extracted;
  {
    std::lock_guard<std::mutex> exclusive(archiveOperationLock());
    extracted = Extract(request, errorText_);
  }
  cannotOpen_ = errorText_ == kCannotOpenText;
  if (!extracted) return false;

  if (!environment_.copyWebLock.empty())
    cacheCopy(settings_.archivePath, withBackslash(environment_.copyWebLock) + fileNameOf(settings_.archivePath));
  if (!settings_.keepArchive) deleteFileForced(settings_.archivePath);

  PlacementJob placement;
  placement.archiveName = baseNameOf(settings_.archivePath);
  placement.extractionFolder = extractionFolder();
  placement.mediaRoot = settings_.mediaRoot;
  placement.placements = environment_.filePlacements;
  placement.codePage = environment_.codePage;
  if (!placeFiles(placement, moved_)) return false;

  return TransferFolder(extractionFolder() + placement.archiveName,
                        withBackslash(settings_.mediaRoot) + placement.archiveName, true);
}

void TExtractMedia::failed(const std::string& message) {
  result_ = false;
  errorText_ = message;
}

bool TExtractMedia::onFileProgress(const std::string& entryPath, uint64_t done, uint64_t total) {
  int position = progressPosition(done, total);
  if (report_)
    report_(settings_.progressPrefix + "\r" + fileNameOf(entryPath) + ", " + std::to_string(position) + settings_.percentSuffix,
            0, 100, position);
  sendNullToOwner();
  return !terminateRequested();
}

}  // namespace kox::media
