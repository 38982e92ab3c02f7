// PNG decoding of every input kind the loader must take, refusal of broken and oversized files,
// and saving that never leaves a broken file behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "platform/files.h"
#include "platform/pixmap.h"
#include "support/png_builder.h"

namespace {

TPixmapPtr Decode(const std::vector<uint8_t>& bytes) { return DecodePNG(bytes.data(), bytes.size()); }

std::string TempPath(const std::string& name) {
  return "/tmp/lambrisk_png_" + std::to_string(getpid()) + "_" + name;
}

}  // namespace

TEST(PngDecode, PaletteWithTransparencyBecomesArgb) {
  TPngLayout layout;
  layout.width = 3;
  layout.colour_type = 3;
  layout.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  layout.transparency = {0x80};  // entry 0 half transparent, the others opaque
  layout.raw_rows = {0, 1, 2};
  TPixmapPtr p = Decode(BuildPng(layout));
  ASSERT_TRUE(p);
  EXPECT_TRUE(p->has_alpha);
  EXPECT_EQ(ReadPixel(*p, 0, 0), 0x80ff0000u);
  EXPECT_EQ(ReadPixel(*p, 1, 0), 0xff00ff00u);
  EXPECT_EQ(ReadPixel(*p, 2, 0), 0xff0000ffu);
}

TEST(PngDecode, GreyLowDepthAndSixteenBitInputs) {
  TPngLayout grey;
  grey.width = 4;
  grey.colour_type = 0;
  grey.bit_depth = 2;
  grey.raw_rows = {0x1b};  // samples 0, 1, 2, 3
  TPixmapPtr g = Decode(BuildPng(grey));
  ASSERT_TRUE(g);
  EXPECT_FALSE(g->has_alpha);
  EXPECT_EQ(ReadPixel(*g, 0, 0), 0xff000000u);
  EXPECT_EQ(ReadPixel(*g, 1, 0), 0xff555555u);
  EXPECT_EQ(ReadPixel(*g, 3, 0), 0xffffffffu);

  TPngLayout deep;
  deep.width = 1;
  deep.colour_type = 6;
  deep.bit_depth = 16;
  deep.raw_rows = {0x12, 0x34, 0xab, 0xcd, 0x00, 0x00, 0xff, 0xff};
  TPixmapPtr d = Decode(BuildPng(deep));
  ASSERT_TRUE(d);
  EXPECT_TRUE(d->has_alpha);
  EXPECT_EQ(ReadPixel(*d, 0, 0), 0xff12ab00u);

  TPngLayout grey_alpha;
  grey_alpha.colour_type = 4;
  grey_alpha.raw_rows = {0x40, 0x10};
  TPixmapPtr ga = Decode(BuildPng(grey_alpha));
  ASSERT_TRUE(ga);
  EXPECT_EQ(ReadPixel(*ga, 0, 0), 0x10404040u);
}

TEST(PngDecode, BrokenOrHugeFilesGiveNull) {
  TPngLayout layout;
  layout.width = 8;
  layout.height = 8;
  layout.raw_rows.assign(8 * 8 * 3, 0x7f);
  std::vector<uint8_t> good = BuildPng(layout);
  ASSERT_TRUE(Decode(good));
  for (size_t cut : {size_t(0), size_t(7), size_t(20), good.size() / 2, good.size() - 13})
    EXPECT_FALSE(Decode(std::vector<uint8_t>(good.begin(), good.begin() + long(cut)))) << cut;
  std::vector<uint8_t> damaged = good;
  damaged[40] ^= 0x55;  // inside the image data: its checksum no longer matches
  EXPECT_FALSE(Decode(damaged));
  EXPECT_FALSE(Decode(BuildPngHeaderOnly(100000, 100000)));
  EXPECT_FALSE(Decode(BuildPngHeaderOnly(16000, 16000)));  // within the side limit, too many pixels
  EXPECT_FALSE(DecodePNG(nullptr, 0));
  EXPECT_FALSE(LoadPixmapPNG(TempPath("missing.png")));
}

TEST(PngSave, RoundTripsAtEveryLevelAndReportsFailureWithoutLeavingFiles) {
  TPixmapPtr p = CreatePixmap(5, 3, 0, true);
  ASSERT_TRUE(p);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) WritePixel(*p, x, y, uint32_t(x * 50) << 24 | uint32_t(y * 70) << 8 | 0x11u);
  const std::string path = TempPath("save.png");
  for (int level : {0, 9, 42}) {
    ASSERT_TRUE(SavePixmapPNG(*p, path, level));
    TPixmapPtr back = LoadPixmapPNG(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->pixels, p->pixels) << "level " << level;
  }
  EXPECT_EQ(EncodePNG(*p, 0).size() > EncodePNG(*p, 9).size(), true);
  std::remove(path.c_str());

  TPixmapPtr rgb = CreatePixmap(2, 2, 0xff336699u, false);
  ASSERT_TRUE(SavePixmapPNG(*rgb, path, 6));
  TPixmapPtr back = LoadPixmapPNG(path);
  ASSERT_TRUE(back);
  EXPECT_FALSE(back->has_alpha);
  EXPECT_EQ(ReadPixel(*back, 1, 1), 0xff336699u);
  std::remove(path.c_str());

  const std::string nowhere = TempPath("no/such/folder/shot.png");
  EXPECT_FALSE(SavePixmapPNG(*p, nowhere, 6));
  EXPECT_EQ(FileType(nowhere), FILETYPE_NONE);
  TPixmap empty;
  EXPECT_FALSE(SavePixmapPNG(empty, path, 6));
  EXPECT_EQ(FileType(path), FILETYPE_NONE);
}

TEST(PngSave, AFailedSaveKeepsThePreviousFile) {
  const std::string path = TempPath("keep.png");
  TPixmapPtr p = CreatePixmap(4, 4, 0xff00ff00u, false);
  ASSERT_TRUE(SavePixmapPNG(*p, path, 6));
  TPixmap broken;
  broken.width = 4;
  broken.height = 4;  // no pixels: can't be encoded
  EXPECT_FALSE(SavePixmapPNG(broken, path, 6));
  TPixmapPtr back = LoadPixmapPNG(path);
  ASSERT_TRUE(back);
  EXPECT_EQ(ReadPixel(*back, 3, 3), 0xff00ff00u);
  std::remove(path.c_str());
}

TEST(Pixmap, CreateRefusesBadSizesAndPixelAccessIgnoresOutside) {
  EXPECT_FALSE(CreatePixmap(0, 10));
  EXPECT_FALSE(CreatePixmap(10, -1));
  EXPECT_FALSE(CreatePixmap(kMaxPixmapSide + 1, 1));
  TPixmapPtr p = CreatePixmap(2, 2, 0x12345678u);
  ASSERT_TRUE(p);
  WritePixel(*p, 2, 0, 0);
  WritePixel(*p, -1, 0, 0);
  EXPECT_EQ(ReadPixel(*p, 1, 1), 0x12345678u);
  EXPECT_EQ(ReadPixel(*p, 5, 5), 0u);
}
