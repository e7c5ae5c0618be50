// TIFF encoding in memory through libtiff's client procedures.
#include "platform/tiff_image.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>

namespace vq {

namespace {

// The growing file image libtiff writes into.
struct MemoryFile {
  std::vector<uint8_t> bytes;
  toff_t position = 0;
};

tsize_t ReadProc(thandle_t, tdata_t, tsize_t) {
  return 0;  // written only
}

tsize_t WriteProc(thandle_t handle, tdata_t data, tsize_t size) {
  auto* f = static_cast<MemoryFile*>(handle);
  const size_t end = f->position + static_cast<size_t>(size);
  if (end > f->bytes.size()) f->bytes.resize(end);
  std::memcpy(f->bytes.data() + f->position, data, static_cast<size_t>(size));
  f->position = end;
  return size;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  auto* f = static_cast<MemoryFile*>(handle);
  const toff_t base = whence == SEEK_CUR ? f->position : whence == SEEK_END ? f->bytes.size() : 0;
  f->position = base + offset;
  return f->position;
}

int CloseProc(thandle_t) {
  return 0;
}

toff_t SizeProc(thandle_t handle) {
  return static_cast<MemoryFile*>(handle)->bytes.size();
}

int MapProc(thandle_t, tdata_t*, toff_t*) {
  return 0;
}

void UnmapProc(thandle_t, tdata_t, toff_t) {}

}  // namespace

std::vector<uint8_t> EncodeTiff(const Surface& surface, int width, int height) {
  width = std::clamp(width, 1, surface.width);
  height = std::clamp(height, 1, surface.height);
  MemoryFile file;
  TIFFSetErrorHandler(nullptr);
  TIFFSetWarningHandler(nullptr);
  TIFF* tiff = TIFFClientOpen("screen", "w", &file, ReadProc, WriteProc, SeekProc, CloseProc,
                              SizeProc, MapProc, UnmapProc);
  if (!tiff) return {};
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
  TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(height));
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  bool ok = true;
  for (int y = 0; y < height && ok; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t p = surface.At(x, y);
      row[x * 3] = static_cast<uint8_t>(p >> 16);
      row[x * 3 + 1] = static_cast<uint8_t>(p >> 8);
      row[x * 3 + 2] = static_cast<uint8_t>(p);
    }
    ok = TIFFWriteScanline(tiff, row.data(), static_cast<uint32_t>(y), 0) == 1;
  }
  TIFFClose(tiff);
  return ok ? file.bytes : std::vector<uint8_t>{};
}

}  // namespace vq
