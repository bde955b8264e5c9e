#include "archive/sevenzip/folder_decoder.h"

#include <vector>

#include "archive/sevenzip/coders.h"

namespace kox::sevenzip {
namespace {

class GraphBuilder {
 public:
  GraphBuilder(const Database& database, const Folder& folder, RandomAccessFile& file, DecodeContext& context)
      : database_(database), folder_(folder), file_(file), context_(context), used_(folder.coders.size()) {
    uint32_t next = 0;
    for (const auto& coder : folder.coders) {
      firstIn_.push_back(next);
      next += coder.numInStreams;
    }
  }

  // Every coder has one out-stream, so out-stream i is the output of coder i.
  std::unique_ptr<ByteSource> buildOutput(uint32_t coderIndex) {
    if (coderIndex >= folder_.coders.size()) corrupt("a bind pair names a missing coder");
    // A coder's output can feed only one input; meeting it again means the
    // bind pairs form a loop.
    if (used_[coderIndex]) corrupt("the coders of a folder form a loop");
    used_[coderIndex] = true;
    const Coder& coder = folder_.coders[coderIndex];
    std::vector<std::unique_ptr<ByteSource>> inputs;
    for (uint32_t i = 0; i < coder.numInStreams; ++i) inputs.push_back(buildInput(firstIn_[coderIndex] + i));
    uint64_t size = folder_.unpackSizes[coderIndex];
    auto decoder = createDecoder(coder, std::move(inputs), size, context_);
    return std::make_unique<ExactSizeSource>(std::move(decoder), size);
  }

 private:
  std::unique_ptr<ByteSource> buildInput(uint32_t inIndex) {
    for (const auto& pair : folder_.bindPairs)
      if (pair.inIndex == inIndex) return buildOutput(pair.outIndex);
    for (size_t p = 0; p < folder_.packedStreams.size(); ++p) {
      if (folder_.packedStreams[p] != inIndex) continue;
      size_t packIndex = folder_.firstPackStream + p;
      if (packIndex >= database_.packOffsets.size()) corrupt("a folder names a missing pack stream");
      return std::make_unique<FileRegionSource>(file_, database_.packOffsets[packIndex], database_.packSizes[packIndex]);
    }
    corrupt("a coder input is connected to nothing");
  }

  const Database& database_;
  const Folder& folder_;
  RandomAccessFile& file_;
  DecodeContext& context_;
  std::vector<uint32_t> firstIn_;
  std::vector<bool> used_;
};

}  // namespace

bool Folder::isEncrypted() const {
  for (const auto& coder : coders)
    if (coder.methodId == method::kAes256Sha256) return true;
  return false;
}

std::unique_ptr<ByteSource> openFolder(const Database& database, uint32_t folderIndex, RandomAccessFile& file,
                                       DecodeContext& context) {
  if (folderIndex >= database.folders.size()) corrupt("a missing folder");
  const Folder& folder = database.folders[folderIndex];
  GraphBuilder builder(database, folder, file, context);
  return builder.buildOutput(folder.mainOutStream);
}

}  // namespace kox::sevenzip
