#include "engine/media/archive_access.h"
#include "engine/startup/engine_seams.h"

namespace kox {

// The setup archive is unpacked on the main thread before any worker exists:
// no password, no progress, existing files replaced, folders kept.
bool extractSetupArchive(const std::string& archivePath, const std::string& targetFolder, std::string& errorText) {
  media::ExtractRequest request;
  request.archivePath = archivePath;
  request.targetFolder = targetFolder;
  request.replaceExisting = true;
  request.keepFolders = true;
  return media::Extract(request, errorText);
}

}  // namespace kox
