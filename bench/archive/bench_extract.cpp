// Extracts a ~200 MB LZMA2 archive of mixed content (generated text, system
// programs and libraries, random bytes) with our decoder and with
// "7zz x -mmt=1", each in a child process of its own, and prints the time
// ratio and each one's peak memory.
//
//   bench_sevenzip_extract [work folder] [megabytes]
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "archive/sevenzip/archive.h"
#include "archive/sevenzip/extractor.h"

namespace fs = std::filesystem;
using namespace kox::sevenzip;

namespace {

struct Run {
  double seconds;
  long peakKilobytes;
  int status;
};

// Runs `body` in a child process; returns wall time and the child's peak RSS.
Run inChild(const std::function<int()>& body) {
  auto start = std::chrono::steady_clock::now();
  pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {seconds, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

uint64_t generateTree(const fs::path& root, uint64_t targetBytes) {
  fs::create_directories(root / "text");
  fs::create_directories(root / "bin");
  fs::create_directories(root / "random");
  uint64_t written = 0;
  uint32_t x = 12345;
  auto next = [&]() {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
  };
  // Half text: lines of words from a vocabulary, like logs and sources.
  static const char* words[] = {"setup", "install", "engine", "archive", "the", "of", "value", "return", "if",
                                "for", "while", "component", "registry", "folder", "file", "window", "dialog",
                                "progress", "error", "message", "script", "variable", "0x7f", "42", "{", "}", ";"};
  for (int file = 0; written < targetBytes / 2; ++file) {
    std::ofstream out(root / "text" / ("doc" + std::to_string(file) + ".txt"), std::ios::binary);
    std::string line;
    for (int i = 0; i < 40000; ++i) {
      line.clear();
      int count = 3 + next() % 12;
      for (int w = 0; w < count; ++w) {
        line += words[next() % (sizeof words / sizeof *words)];
        line += ' ';
      }
      line += std::to_string(next() % 100000) + "\n";
      out << line;
      written += line.size();
    }
  }
  // Four tenths programs and libraries of this system (repeated as needed).
  std::vector<fs::path> programs;
  for (const char* folder : {"/usr/bin", "/usr/lib/x86_64-linux-gnu"})
    for (const auto& item : fs::directory_iterator(folder))
      if (item.is_regular_file() && !item.is_symlink() && item.file_size() > 20000) programs.push_back(item.path());
  uint64_t binaryTarget = targetBytes / 2 + targetBytes * 4 / 10;
  for (size_t i = 0; written < binaryTarget && !programs.empty(); ++i) {
    std::error_code error;
    fs::path to = root / "bin" / (std::to_string(i) + "_" + programs[i % programs.size()].filename().string());
    fs::copy_file(programs[i % programs.size()], to, error);
    if (!error) written += fs::file_size(to);
  }
  // The rest incompressible.
  for (int file = 0; written < targetBytes; ++file) {
    std::ofstream out(root / "random" / ("blob" + std::to_string(file)), std::ios::binary);
    std::vector<uint32_t> block(1 << 18);
    for (auto& v : block) v = next();
    out.write(reinterpret_cast<const char*>(block.data()), block.size() * 4);
    written += block.size() * 4;
  }
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path work = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "kox-bench-archive";
  uint64_t megabytes = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 200;
  fs::path tree = work / "tree", archive = work / "mixed.7z";
  if (!fs::exists(archive)) {
    fs::remove_all(work);
    uint64_t bytes = generateTree(tree, megabytes << 20);
    std::printf("generated %.1f MB of mixed content\n", bytes / 1048576.0);
    std::string command = "cd '" + tree.string() + "' && 7zz a -bso0 -bsp0 -m0=LZMA2 -mx=5 '" + archive.string() + "' .";
    if (std::system(command.c_str()) != 0) return 1;
  }
  std::printf("archive %.1f MB\n", fs::file_size(archive) / 1048576.0);

  auto ours = [&]() {
    fs::remove_all(work / "ours");
    return inChild([&]() {
      try {
        auto password = PasswordSource::fixed(u"");
        Archive opened = Archive::open(std::make_unique<DiskFile>(archive), password);
        FileSystemTarget target(work / "ours");
        extract(opened, password, target, {});
        return 0;
      } catch (const std::exception& error) {
        std::fprintf(stderr, "extraction failed: %s\n", error.what());
        return 1;
      }
    });
  };
  auto theirs = [&]() {
    fs::remove_all(work / "7zz");
    std::string out = "-o" + (work / "7zz").string();
    return inChild([&]() {
      execlp("7zz", "7zz", "x", "-mmt=1", "-y", "-bso0", "-bsp0", out.c_str(), archive.c_str(), (char*)nullptr);
      return 127;
    });
  };
  // Alternate the two, best of three each.
  Run best[2] = {{1e9, 0, 0}, {1e9, 0, 0}};
  for (int round = 0; round < 3; ++round) {
    Run runs[2] = {ours(), theirs()};
    for (int i = 0; i < 2; ++i) {
      if (runs[i].status != 0) {
        std::printf("%s failed with status %d\n", i == 0 ? "our extraction" : "7zz", runs[i].status);
        return 1;
      }
      if (runs[i].seconds < best[i].seconds) best[i] = runs[i];
    }
  }
  std::printf("ours:          %.2f s, peak %ld MB\n", best[0].seconds, best[0].peakKilobytes / 1024);
  std::printf("7zz x -mmt=1:  %.2f s, peak %ld MB\n", best[1].seconds, best[1].peakKilobytes / 1024);
  std::printf("time ratio ours / 7zz: %.2f (target <= 1.30)\n", best[0].seconds / best[1].seconds);
  std::string diff = "diff -rq '" + (work / "ours").string() + "' '" + (work / "7zz").string() + "' > /dev/null";
  std::printf("outputs identical: %s\n", std::system(diff.c_str()) == 0 ? "yes" : "NO");
  return 0;
}
