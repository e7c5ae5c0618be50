// BMP, PNG and PDF encoders, the BMP decoder, atomic file writes and whole-file reads.
#include "platform/image_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <png.h>

namespace vq {

namespace {

constexpr int kBmpHeaderSize = 14 + 40;
constexpr int kPelsPerMeter = 3780;  // 96 dpi
constexpr int kMaxBmpSide = 16384;   // refuse absurd sizes before allocating

void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

uint32_t GetLe16(const std::vector<uint8_t>& d, size_t at) {
  return d[at] | (d[at + 1] << 8);
}

uint32_t GetLe32(const std::vector<uint8_t>& d, size_t at) {
  return GetLe16(d, at) | (GetLe16(d, at + 2) << 16);
}

void AssertRegion(const Surface& surface, int width, int height) {
  assert(width > 0 && height > 0 && "image region must not be empty");
  assert(width <= surface.width && height <= surface.height && "region exceeds the surface");
  assert(surface.pixels.size() >= static_cast<size_t>(surface.width) * surface.height &&
         "surface is not allocated");
  (void)surface, (void)width, (void)height;
}

// Rows top-down as R,G,B bytes.
std::vector<uint8_t> RgbRows(const Surface& surface, int width, int height) {
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(width) * 3 * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t p = surface.At(x, y);
      out.push_back((p >> 16) & 0xFF);
      out.push_back((p >> 8) & 0xFF);
      out.push_back(p & 0xFF);
    }
  }
  return out;
}

// libpng's write callback: the encoded bytes go to the vector given as its io pointer.
void AppendPngBytes(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}

// libpng reports errors by longjmp, so this function holds no object with a destructor: the
// rows and the output belong to the caller. False when libpng fails.
bool WritePngRows(const std::vector<uint8_t>& rows, int width, int height,
                  std::vector<uint8_t>& out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, AppendPngBytes, nullptr);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // The screen is flat colour areas and thin lines: full deflate makes it tens of kilobytes.
  png_set_compression_level(png, 9);
  png_write_info(png, info);
  const size_t stride = static_cast<size_t>(width) * 3;
  for (int y = 0; y < height; ++y)
    png_write_row(png, const_cast<png_bytep>(rows.data() + stride * y));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

void PutText(std::vector<uint8_t>& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
}

std::string Format(const char* format, double a, double b, double c, double d) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, format, a, b, c, d);
  return buffer;
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const Surface& surface, int width, int height) {
  AssertRegion(surface, width, height);
  const uint32_t rowSize = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t imageSize = rowSize * height;
  std::vector<uint8_t> out;
  out.reserve(kBmpHeaderSize + imageSize);
  // BITMAPFILEHEADER
  out.push_back('B');
  out.push_back('M');
  PutLe32(out, kBmpHeaderSize + imageSize);
  PutLe32(out, 0);  // reserved
  PutLe32(out, kBmpHeaderSize);
  // BITMAPINFOHEADER: positive height means the rows are stored bottom-up.
  PutLe32(out, 40);
  PutLe32(out, width);
  PutLe32(out, height);
  PutLe16(out, 1);   // planes
  PutLe16(out, 24);  // bits per pixel
  PutLe32(out, 0);   // BI_RGB
  PutLe32(out, imageSize);
  PutLe32(out, kPelsPerMeter);
  PutLe32(out, kPelsPerMeter);
  PutLe32(out, 0);  // colours used
  PutLe32(out, 0);  // important colours
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      uint32_t p = surface.At(x, y);
      out.push_back(p & 0xFF);
      out.push_back((p >> 8) & 0xFF);
      out.push_back((p >> 16) & 0xFF);
    }
    out.resize(out.size() + rowSize - width * 3, 0);
  }
  return out;
}

std::vector<uint8_t> EncodePng(const Surface& surface, int width, int height) {
  AssertRegion(surface, width, height);
  const std::vector<uint8_t> rows = RgbRows(surface, width, height);
  std::vector<uint8_t> out;
  if (!WritePngRows(rows, width, height, out)) out.clear();
  return out;
}

std::vector<uint8_t> EncodePdfWithImage(const Surface& surface, int width, int height, double x,
                                        double y, double drawWidth, double drawHeight) {
  AssertRegion(surface, width, height);
  constexpr double kPageHeight = 842;  // A4 portrait, 595 by 842 points
  const std::vector<uint8_t> rgb = RgbRows(surface, width, height);
  // The caller measures y downwards from the top; PDF places the image's lower-left corner
  // with y growing upwards.
  const std::string content = Format("q %.2f 0 0 %.2f %.2f %.2f cm /Im1 Do Q\n", drawWidth,
                                     drawHeight, x, kPageHeight - y - drawHeight);

  std::vector<uint8_t> out;
  std::vector<size_t> offsets;                    // of objects 1 to 5
  PutText(out, "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");  // binary marker for file transfer tools
  auto beginObject = [&](const std::string& body) {
    offsets.push_back(out.size());
    PutText(out, std::to_string(offsets.size()) + " 0 obj\n" + body);
  };
  beginObject("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
  beginObject("<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n");
  beginObject(
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /XObject << /Im1 4 0 "
      "R >> >> /Contents 5 0 R >>\nendobj\n");
  beginObject("<< /Type /XObject /Subtype /Image /Width " + std::to_string(width) + " /Height " +
              std::to_string(height) + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Length " +
              std::to_string(rgb.size()) + " >>\nstream\n");
  out.insert(out.end(), rgb.begin(), rgb.end());
  PutText(out, "\nendstream\nendobj\n");
  beginObject("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
              "endstream\nendobj\n");

  const size_t xrefAt = out.size();
  PutText(out, "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n");
  for (size_t offset : offsets) {
    char entry[24];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    PutText(out, entry);
  }
  PutText(out, "trailer\n<< /Size " + std::to_string(offsets.size() + 1) +
                   " /Root 1 0 R >>\nstartxref\n" + std::to_string(xrefAt) + "\n%%EOF\n");
  return out;
}

bool DecodeBmp(const std::vector<uint8_t>& data, Surface& out) {
  if (data.size() < kBmpHeaderSize || data[0] != 'B' || data[1] != 'M') return false;
  const uint32_t pixelOffset = GetLe32(data, 10);
  const uint32_t infoSize = GetLe32(data, 14);
  const int32_t width = static_cast<int32_t>(GetLe32(data, 18));
  const int32_t rawHeight = static_cast<int32_t>(GetLe32(data, 22));
  if (infoSize < 40 || GetLe16(data, 26) != 1 || GetLe16(data, 28) != 24 || GetLe32(data, 30) != 0)
    return false;
  // Checked before negating, so INT32_MIN cannot overflow.
  if (width <= 0 || width > kMaxBmpSide || rawHeight == 0 || rawHeight > kMaxBmpSide ||
      rawHeight < -kMaxBmpSide)
    return false;
  const bool bottomUp = rawHeight > 0;
  const int height = bottomUp ? rawHeight : -rawHeight;
  const size_t rowSize = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  if (pixelOffset < 14 + infoSize || pixelOffset > data.size() ||
      rowSize * height > data.size() - pixelOffset)
    return false;

  out.Allocate(width, height);
  for (int row = 0; row < height; ++row) {
    const uint8_t* src = data.data() + pixelOffset + rowSize * row;
    const int y = bottomUp ? height - 1 - row : row;
    for (int x = 0; x < width; ++x, src += 3)
      out.pixels[static_cast<size_t>(y) * width + x] =
          0xFF000000u | (src[2] << 16) | (src[1] << 8) | src[0];
  }
  return true;
}

namespace {

constexpr const char* kTempMark = ".vqtmp-";

std::string WithSlash(const std::string& folder) {
  return folder.empty() || folder.back() == '/' ? folder : folder + '/';
}

// The folder part of a path, with its trailing '/' ("" for the current folder).
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A temporary file of a write is ".NAME.vqtmp-PID-XXXXXX": hidden, and it names the process that
// wrote it, so a sweep can tell an abandoned one from a write still under way.
pid_t TemporaryOwner(const std::string& name) {
  if (name.empty() || name[0] != '.') return 0;
  const size_t mark = name.rfind(kTempMark);
  if (mark == std::string::npos || name.size() < mark + 7 + 8) return 0;
  const std::string tail = name.substr(mark + 7);  // PID-XXXXXX
  const size_t dash = tail.find('-');
  if (dash == std::string::npos || dash == 0 || tail.size() - dash - 1 != 6) return 0;
  pid_t pid = 0;
  for (size_t i = 0; i < dash; ++i) {
    if (tail[i] < '0' || tail[i] > '9' || pid > 100000000) return 0;
    pid = pid * 10 + (tail[i] - '0');
  }
  return pid;
}

}  // namespace

int SweepTemporaryFiles(const std::string& folder) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return 0;
  int removed = 0;
  while (const dirent* entry = readdir(dir)) {
    const pid_t owner = TemporaryOwner(entry->d_name);
    // Only the temporaries of processes that are gone: another program may be writing.
    if (owner <= 0 || owner == getpid() || kill(owner, 0) == 0 || errno != ESRCH) continue;
    const std::string path = WithSlash(folder) + entry->d_name;
    if (unlink(path.c_str()) == 0) ++removed;
  }
  closedir(dir);
  return removed;
}

bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes, int mode) {
  const std::string folder = FolderOf(path);
  SweepTemporaryFiles(folder);
  std::string temp =
      folder + "." + path.substr(folder.size()) + kTempMark + std::to_string(getpid()) + "-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = true;
  for (size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0)
      done += n;
    else if (n < 0 && errno != EINTR)
      ok = false;
  }
  // mkstemp makes the file private (0600); give it the mode asked for, else the target's mode or
  // an ordinary 0644.
  struct stat existing;
  const mode_t given = mode >= 0                            ? static_cast<mode_t>(mode)
                       : stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777
                                                            : 0644;
  ok = fchmod(fd, given) == 0 && ok;
  // On disk before the rename: a crash then leaves the old file or the whole new one.
  ok = ok && fsync(fd) == 0;
  const int savedErrno = errno;
  ok = close(fd) == 0 && ok;
  if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    const int error = errno ? errno : savedErrno;
    unlink(temp.c_str());
    errno = error;
  }
  return ok;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  bytes.clear();
  if (ok) bytes.reserve(info.st_size);
  uint8_t buffer[65536];
  while (ok) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0)
      bytes.insert(bytes.end(), buffer, buffer + n);
    else if (n == 0)
      break;
    else if (errno != EINTR)
      ok = false;
  }
  close(fd);
  if (!ok) bytes.clear();
  return ok;
}

}  // namespace vq
