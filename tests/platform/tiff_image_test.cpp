// The TIFF screen files: what libtiff reads back is the surface, pixel for pixel.
#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/image_files.h"
#include "platform/tiff_image.h"

namespace vq {
namespace {

TEST(TiffImageTest, ReadsBackAsTheSurfaceRegion) {
  Surface s;
  s.Allocate(40, 30);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      s.pixels[y * 40 + x] = 0xFF000000u | (x * 6u) << 16 | (y * 8u) << 8 | ((x + y) & 0xFF);
    }
  }
  const std::vector<uint8_t> bytes = EncodeTiff(s, 32, 20);  // a region, as captures take
  ASSERT_FALSE(bytes.empty());
  const std::string path =
      (std::filesystem::temp_directory_path() / ("vq_tiff_" + std::to_string(getpid()) + ".tif"))
          .string();
  ASSERT_TRUE(WriteFileAtomic(path, bytes));
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  ASSERT_NE(tiff, nullptr);
  uint32_t width = 0, height = 0;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
  EXPECT_EQ(width, 32u);
  EXPECT_EQ(height, 20u);
  std::vector<uint32_t> raster(32 * 20);
  ASSERT_EQ(TIFFReadRGBAImageOriented(tiff, 32, 20, raster.data(), ORIENTATION_TOPLEFT, 0), 1);
  TIFFClose(tiff);
  std::filesystem::remove(path);
  for (int y : {0, 7, 19}) {
    for (int x : {0, 13, 31}) {
      const uint32_t p = raster[y * 32 + x], want = s.At(x, y);
      EXPECT_EQ(TIFFGetR(p), (want >> 16) & 0xFF) << x << "," << y;
      EXPECT_EQ(TIFFGetG(p), (want >> 8) & 0xFF) << x << "," << y;
      EXPECT_EQ(TIFFGetB(p), want & 0xFF) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace vq
