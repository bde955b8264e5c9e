#include "engine/script/files/posix_directory_source.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace kox {

std::vector<DirectoryEntry> PosixDirectorySource::list(const std::string& folder, const std::string& mask) const {
  std::vector<DirectoryEntry> entries;
  const std::string path = folder.empty() ? "/" : folder;
  struct Closer {
    void operator()(DIR* dir) const { closedir(dir); }
  };
  std::unique_ptr<DIR, Closer> dir(opendir(path.c_str()));
  if (!dir) return entries;
  while (const dirent* item = readdir(dir.get())) {
    if (!wildcardMatch(mask, item->d_name)) continue;
    DirectoryEntry entry{item->d_name};
    unsigned char type = item->d_type;
    if (type == DT_UNKNOWN) {
      struct stat info;
      std::string full = folder + "/" + item->d_name;
      if (lstat(full.c_str(), &info) == 0) type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
    }
    if (type == DT_LNK) {
      entry.link = true;
      struct stat info;
      std::string full = folder + "/" + item->d_name;
      entry.folder = stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    } else {
      entry.folder = type == DT_DIR;
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace kox
