// Cache copy: keeps a copy of a downloaded archive in a folder the script
// names (COPYWEBLOCK), so that a later setup can run without the web. This is
// the plain copy; the NTFS compression of the cache folder is left to the
// media copying code.
#pragma once

#include <string>

namespace kox::media {

// Copies source over target when their sizes differ (a missing file counts as
// size 0). Does nothing for a target without a drive or share part. Every
// failure is ignored.
void cacheCopy(const std::string& source, const std::string& target);

}  // namespace kox::media
