// "Find All Files" search speed: the engine's enumeration (through the POSIX
// folder listing) against `find DIR -type f` over the same tree of files, and
// the full worker with its per-file progress reports into a variable store.
//
//   kox_find_files_bench [folders] [files per folder]    (default 20 x 1000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/script/files/file_search.h"
#include "engine/script/files/find_all_files_thread.h"
#include "engine/script/files/posix_directory_source.h"
#include "engine/vars/variable_manager.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void makeTree(const fs::path& root, int folders, int files) {
  fs::remove_all(root);
  for (int f = 0; f < folders; ++f) {
    fs::path folder = root / ("folder " + std::to_string(f)) / "sub";
    fs::create_directories(folder);
    for (int i = 0; i < files; ++i) std::ofstream(folder / ("file" + std::to_string(i) + ".dat"));
  }
}

template <typename Run>
double bestSeconds(int rounds, Run&& run) {
  double best = 1e9;
  for (int r = 0; r < rounds; ++r) {
    auto start = Clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

size_t countWithFind(const fs::path& root) {
  std::string command = "find '" + root.string() + "' -type f | wc -l";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return 0;
  unsigned long count = 0;
  if (std::fscanf(pipe, "%lu", &count) != 1) count = 0;
  pclose(pipe);
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  const int folders = argc > 1 ? std::atoi(argv[1]) : 20;
  const int files = argc > 2 ? std::atoi(argv[2]) : 1000;
  const fs::path root = fs::temp_directory_path() / "kox_find_files_bench";
  makeTree(root, folders, files);
  const double total = static_cast<double>(folders) * files;
  const kox::FileSearch settings{root.string() + "/*.*", true, false};
  kox::PosixDirectorySource source;
  constexpr int kRounds = 5;

  size_t searched = 0, threaded = 0, listed = 0;
  const double searchTime = bestSeconds(kRounds, [&] { searched = kox::findFiles(settings, source).size(); });

  // The worker as "Find All Files" runs it: every entry and every folder step
  // is written into the variable store under its lock.
  kox::TVariableManager store;
  const double workerTime = bestSeconds(kRounds, [&] {
    kox::TFindAllFilesThread worker(settings, source, [&](const std::string& text, int64_t minimum, int64_t maximum,
                                                          int64_t position) {
      if (position != -1) store.Put("KELD_thProgress", std::to_string(position));
      if (text != "$IGNORE$") store.Put("KELD_thProgressText", text);
    });
    worker.start();
    while (!worker.waitFinished(std::chrono::milliseconds(50))) {
    }
    threaded = worker.result().size();
  });

  const double findTime = bestSeconds(kRounds, [&] { listed = countWithFind(root); });

  std::printf("tree: %d folders x %d files = %.0f files (%s)\n", folders, files, total, root.c_str());
  std::printf("%-34s %8zu files  %8.1f ms  %12.0f files/s\n", "search (findFiles)", searched, searchTime * 1e3,
              total / searchTime);
  std::printf("%-34s %8zu files  %8.1f ms  %12.0f files/s\n", "worker with progress reports", threaded,
              workerTime * 1e3, total / workerTime);
  std::printf("%-34s %8zu files  %8.1f ms  %12.0f files/s\n", "find -type f | wc -l", listed, findTime * 1e3,
              total / findTime);
  std::printf("search / find speed ratio: %.2f\n", findTime / searchTime);
  fs::remove_all(root);
  return searched == listed && threaded == listed ? 0 : 1;
}
