// TExtractMedia: the worker that unpacks a web media archive (Windows builds
// only). It extracts the archive into the extraction folder (temporary folder
// + "keld\"), keeps a cache copy when COPYWEBLOCK names a folder, deletes the
// archive unless told to keep it, places the files that the package's
// placement list names (file_placement.h), and moves the rest of the
// archive's folder to the media root (folder_transfer.h). Progress text:
// prefix + CR + "<file name>, <position>% complete".
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/media/file_placement.h"
#include "engine/media/media_worker.h"

namespace kox::media {

// The media extraction settings, written before each start.
struct MediaExtractSettings {
  std::string archivePath;
  std::string mediaRoot;
  std::string password;
  bool keepArchive = false;
  std::string progressPrefix;
  HWND ownerWindow = nullptr;
  // Message text 21 of the message table, read on the main thread.
  std::string percentSuffix = "% complete";
};

// What the worker reads of the run besides its settings, taken on the main
// thread when the worker is created.
struct MediaExtractEnvironment {
  std::string tempFolder;
  std::vector<std::string> filePlacements;  // triples
  uint32_t codePage = 0;                    // of the placement list's names
  std::string copyWebLock;                  // COPYWEBLOCK, "" for none
};

class TExtractMedia final : public TMediaWorker {
 public:
  TExtractMedia(MediaExtractSettings settings, MediaExtractEnvironment environment, ProgressReport report);
  ~TExtractMedia() override;

  // Outputs, valid once finished.
  bool result() const { return result_; }
  // The archive could not be opened (unsupported or wrong password).
  bool cannotOpen() const { return cannotOpen_; }
  // Why the extraction failed ("" after a failed placement or transfer).
  const std::string& errorText() const { return errorText_; }

  // The extraction folder: temporary folder + "keld\".
  std::string extractionFolder() const;

 protected:
  void execute() override;
  void failed(const std::string& message) override;

 private:
  bool extract();
  bool onFileProgress(const std::string& entryPath, uint64_t done, uint64_t total);

  const MediaExtractSettings settings_;
  const MediaExtractEnvironment environment_;
  const ProgressReport report_;
  std::vector<MovedFile> moved_;
  bool result_ = false;
  bool cannotOpen_ = false;
  std::string errorText_;
};

}  // namespace kox::media
