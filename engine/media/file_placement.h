// Placement of extracted web media files (Windows builds only).
//
// The package's file placement list holds triples (archive name, path inside
// the archive's own folder, target folder below the media root). After an
// archive has been extracted into the extraction folder, each triple of that
// archive moves one file to its target folder:
//   source = extraction folder + archive name + "\" + path
//   target = media root + "\" + target folder + "\" + file name of path
// A file named by two triples is moved by the first; the second finds the
// source gone, copies the first destination back from the moved-file list and
// moves it again, so it ends up in both places.
//
// Moves start with the 8-bit paths. When one fails (typically a name whose
// characters the system code page cannot hold), that triple and every later
// one use UTF-16 paths, the file name converted with the package's code page.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kox::media {

// One move that succeeded, both paths in lower case.
struct MovedFile {
  std::string source;
  std::string destination;
};

struct PlacementJob {
  std::string archiveName;        // the archive's file name without extension
  std::string extractionFolder;   // ends in "\"
  std::string mediaRoot;
  std::span<const std::string> placements;  // triples; a partial last triple is ignored
  uint32_t codePage = 0;          // of the file names in the list; 0: the system code page
};

// Places the files of every triple whose archive name equals job.archiveName
// (ASCII letter case ignored), in list order, recording each move in moved.
// False when a move failed with wide paths too; the files not yet placed stay
// in the extraction folder.
bool placeFiles(const PlacementJob& job, std::vector<MovedFile>& moved);

}  // namespace kox::media
