// TDirectExtractMedia: the worker of "Extract 7Zip Archive". It creates the
// target folder with all missing parents and extracts the whole archive into
// it, reporting each file as "<file name>, <position>% complete" (the suffix
// is message text 21) with a position from 1 to 100.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "engine/media/media_worker.h"

namespace kox::media {

// The direct-extraction settings, written before the worker starts.
struct DirectExtractSettings {
  std::string archivePath;
  std::string targetFolder;
  std::string password;
  bool keepFolders = true;       // false: every file straight into the target
  bool replaceExisting = false;  // answer to the library's replace question
  HWND ownerWindow = nullptr;
  // Message text 21 of the message table, read on the main thread.
  std::string percentSuffix = "% complete";
};

// "<file name of entryPath>, <position><percentSuffix>".
std::string directProgressText(std::string_view entryPath, int position, std::string_view percentSuffix);

class TDirectExtractMedia final : public TMediaWorker {
 public:
  TDirectExtractMedia(DirectExtractSettings settings, ProgressReport report);
  ~TDirectExtractMedia() override;

  // Outputs, valid once finished.
  bool result() const { return result_; }
  const std::string& errorText() const { return errorText_; }

 protected:
  void execute() override;
  void failed(const std::string& message) override;

 private:
  bool onFileProgress(const std::string& entryPath, uint64_t done, uint64_t total);

  const DirectExtractSettings settings_;
  const ProgressReport report_;
  bool result_ = false;
  std::string errorText_;
};

}  // namespace kox::media
