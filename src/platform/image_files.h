// Image file encoders: BMP (screen captures), PNG (tool screenshots), PDF (headless printing).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace vq {

// Encodes the region x 0 to width, y 0 to height of a surface as a 24-bit bottom-up BMP file
// image (BITMAPFILEHEADER + BITMAPINFOHEADER, rows padded to 4 bytes).
std::vector<uint8_t> EncodeBmp(const Surface& surface, int width, int height);

// Encodes the same region as a compressed PNG (8-bit RGB, through libpng); empty on failure.
std::vector<uint8_t> EncodePng(const Surface& surface, int width, int height);

// A one-page PDF (A4 portrait) that shows an RGB image at the given place in PDF points.
std::vector<uint8_t> EncodePdfWithImage(const Surface& surface, int width, int height, double x,
                                        double y, double drawWidth, double drawHeight);

// Decodes a 24-bit BMP made by EncodeBmp back into a surface; false on anything else.
bool DecodeBmp(const std::vector<uint8_t>& data, Surface& out);

// Writes bytes to path through a temporary file in the same folder (".NAME.vqtmp-PID-XXXXXX"),
// synced to disk and renamed over the target, so a failed or killed write never leaves a partial
// file or replaces a good one. The file keeps the target's mode (new files 0644), or takes a
// `mode` of 0 or more (the temporary file is private from the start). Each write first sweeps
// the folder's temporaries of processes that are gone. False on failure, errno set.
bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes, int mode = -1);

// Removes the temporary files that writes of ended (killed) processes left in a folder; the
// number removed.
int SweepTemporaryFiles(const std::string& folder);

// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace vq
