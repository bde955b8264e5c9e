#include "engine/media/media_environment.h"

#include "engine/startup/startup_settings.h"

namespace kox::media {

std::string percentCompleteText() { return messageTable().text(kMsgPercentComplete); }

MediaExtractEnvironment currentMediaExtractEnvironment(std::string copyWebLock) {
  MediaExtractEnvironment environment;
  environment.tempFolder = startupSettings().tempFolder;
  environment.filePlacements = setupPackage().filePlacements;
  environment.codePage = static_cast<uint32_t>(setupPackage().codePage);
  environment.copyWebLock = std::move(copyWebLock);
  return environment;
}

}  // namespace kox::media
