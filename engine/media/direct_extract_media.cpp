#include "engine/media/direct_extract_media.h"

#include "engine/media/archive_access.h"
#include "engine/media/media_files.h"

namespace kox::media {

std::string directProgressText(std::string_view entryPath, int position, std::string_view percentSuffix) {
  return fileNameOf(entryPath) + ", " + std::to_string(position) + std::string(percentSuffix);
}

TDirectExtractMedia::TDirectExtractMedia(DirectExtractSettings settings, ProgressReport report)
    : TMediaWorker(settings.ownerWindow),
      settings_(std::move(settings)), report_(std::move(report)) {}

TDirectExtractMedia::~TDirectExtractMedia() { stopThread(); }

void TDirectExtractMedia::execute() {
  // A folder that cannot be made shows up as the library's write failure.
  forceFolders(settings_.targetFolder);
  ExtractRequest request;
  request.archivePath = settings_.archivePath;
  request.password = settings_.password;
  request.targetFolder = settings_.targetFolder;
  request.replaceExisting = settings_.replaceExisting;
  request.keepFolders = settings_.keepFolders;
  request.progressCallback = [this](const std::string& entryPath, uint64_t done, uint64_t total) {
    return onFileProgress(entryPath, done, total);
  };
  std::lock_guard<std::mutex> exclusive(archiveOperationLock());
  result_ = Extract(request, errorText_);
}

void TDirectExtractMedia::failed(const std::string& message) {
  result_ = false;
  errorText_ = message;
}

bool TDirectExtractMedia::onFileProgress(const std::string& entryPath, uint64_t done, uint64_t total) {
  int position = progressPosition(done, total);
  if (report_) report_(directProgressText(entryPath, position, settings_.percentSuffix), 0, 100, position);
  sendNullToOwner();
  return !terminateRequested();
}

}  // namespace kox::media
