// What the media workers' starters take from the run's process-wide settings
// (Windows builds only): the percent suffix of the message table and the
// media extraction environment.
#pragma once

#include <string>

#include "engine/media/extract_media.h"

namespace kox::media {

// Message text 21 ("% complete" by default).
std::string percentCompleteText();

// The temporary folder, the package's file placement list and code page, and
// the given COPYWEBLOCK value.
MediaExtractEnvironment currentMediaExtractEnvironment(std::string copyWebLock);

}  // namespace kox::media
