// Reading a large setup package: time and peak heap use of parsePackage()
// against a plain std::getline split of the same text into lines.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "engine/startup/package.h"
#include "tools/koxbuild/package_writer.h"

namespace {

// Heap accounting: every allocation carries its size in front of it.
std::atomic<size_t> heapInUse{0};
std::atomic<size_t> heapPeak{0};
constexpr size_t kHeader = alignof(std::max_align_t);

void* allocate(size_t size) {
  void* block = std::malloc(size + kHeader);
  if (!block) throw std::bad_alloc();
  *static_cast<size_t*>(block) = size;
  size_t now = heapInUse += size;
  size_t peak = heapPeak.load();
  while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
  }
  return static_cast<char*>(block) + kHeader;
}

void release(void* pointer) {
  if (!pointer) return;
  void* block = static_cast<char*>(pointer) - kHeader;
  heapInUse -= *static_cast<size_t*>(block);
  std::free(block);
}

}  // namespace

void* operator new(size_t size) { return allocate(size); }
void* operator new[](size_t size) { return allocate(size); }
void operator delete(void* pointer) noexcept { release(pointer); }
void operator delete[](void* pointer) noexcept { release(pointer); }
void operator delete(void* pointer, size_t) noexcept { release(pointer); }
void operator delete[](void* pointer, size_t) noexcept { release(pointer); }

namespace {

std::string guid(size_t n) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08zX-1234-5678-9ABC-%012zX}", n, n * 7919);
  return text;
}

std::string bigPackage(size_t commands) {
  kox::SetupPackage p;
  p.productCode = guid(0);
  p.productTitle = "Velmora Viewer";
  p.revisionCode = guid(1);
  p.codePage = 1252;
  for (size_t i = 0; i < commands; ++i) {
    p.commandNames.push_back(i % 3 ? "Set Variable" : "If");
    p.commandIds.push_back(guid(i + 2));
    p.disabledFlags.push_back(i % 50 ? "" : "C");
    p.commandMediaFolders.push_back("");
    p.sourceLineMap.push_back("setup.kox*" + std::to_string(i));
    if (i % 2 == 0) {
      p.parameters.push_back(p.commandIds.back());
      p.parameters.push_back("VAR" + std::to_string(i) + "$KELD$KELD$FALSE");
      p.parameters.push_back("$");
    }
  }
  return kox::writePackage(p);
}

struct Measure {
  double seconds;
  size_t peakBytes;
};

template <class Work>
Measure measure(Work work) {
  Measure best{1e9, 0};
  for (int run = 0; run < 5; ++run) {
    const size_t base = heapInUse.load();
    heapPeak = base;
    auto start = std::chrono::steady_clock::now();
    work();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    best.seconds = std::min(best.seconds, seconds);
    best.peakBytes = std::max(best.peakBytes, heapPeak.load() - base);
  }
  return best;
}

}  // namespace

int main() {
  const size_t commands = 100000;
  const std::string text = bigPackage(commands);
  const double megabytes = text.size() / 1e6;

  size_t sink = 0;
  Measure reader = measure([&] { sink += kox::parsePackage(text).parameters.size(); });
  Measure getline = measure([&] {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(std::move(line));
    sink += lines.size();
  });

  std::printf("package: %zu commands, %.1f MB\n", commands, megabytes);
  std::printf("parsePackage:        %.3f s  %.0f MB/s  peak heap %.2fx package\n", reader.seconds,
              megabytes / reader.seconds, double(reader.peakBytes) / text.size());
  std::printf("getline line split:  %.3f s  %.0f MB/s  peak heap %.2fx package\n", getline.seconds,
              megabytes / getline.seconds, double(getline.peakBytes) / text.size());
  std::printf("parsePackage / getline: time %.2fx, peak heap %.2fx\n", reader.seconds / getline.seconds,
              double(reader.peakBytes) / getline.peakBytes);
  return sink == 0;
}
