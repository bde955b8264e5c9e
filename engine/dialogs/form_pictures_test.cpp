#include "engine/dialogs/form_pictures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kox {
namespace {

// A 1x1 24-bit ".bmp" file.
std::vector<uint8_t> bitmapFile() {
  std::vector<uint8_t> file(14 + 40 + 4, 0);
  file[0] = 'B';
  file[1] = 'M';
  file[2] = static_cast<uint8_t>(file.size());
  file[10] = 54;
  file[14] = 40;
  return file;
}

std::vector<uint8_t> sized(const std::vector<uint8_t>& file, uint32_t size) {
  std::vector<uint8_t> out{uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), uint8_t(size >> 24)};
  out.insert(out.end(), file.begin(), file.end());
  return out;
}

std::vector<uint8_t> withClass(const std::string& name, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out{uint8_t(name.size())};
  out.insert(out.end(), name.begin(), name.end());
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

TEST(FormPictures, BitmapsOfPicturesAndGlyphsAreFound) {
  const std::vector<uint8_t> file = bitmapFile();
  for (const auto& data : {withClass("TBitmap", sized(file, uint32_t(file.size()))), sized(file, uint32_t(file.size()))}) {
    auto found = bitmapFileOfPicture(data);
    ASSERT_TRUE(found);
    EXPECT_EQ(std::vector<uint8_t>(found->begin(), found->end()), file);
  }
}

TEST(FormPictures, DamagedOrForeignDataIsNoPicture) {
  const std::vector<uint8_t> file = bitmapFile();
  std::vector<uint8_t> badOffset = file;
  badOffset[10] = 200;  // pixels beyond the file
  std::vector<uint8_t> notBmp = file;
  notBmp[0] = 'X';
  const std::vector<std::vector<uint8_t>> cases = {
      {},
      withClass("TBitmap", sized(file, 1000)),  // size beyond the data
      withClass("TIcon", sized(file, uint32_t(file.size()))),
      sized(badOffset, uint32_t(file.size())),
      sized(notBmp, uint32_t(file.size())),
      {1, 2, 3},
  };
  for (size_t i = 0; i < cases.size(); ++i) EXPECT_FALSE(bitmapFileOfPicture(cases[i])) << i;
}

}  // namespace
}  // namespace kox
