// Tests of the image encoders, BMP decoder, atomic writes and print placement.
#include "platform/image_files.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "platform/host.h"
#include "support/instrument_fixture.h"
#include "support/png_decode.h"

namespace vq {
namespace {

namespace fs = std::filesystem;

uint32_t Le(const std::vector<uint8_t>& d, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | d.at(at + i);
  return v;
}

Surface Pattern(int w, int h) {
  Surface s;
  s.Allocate(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      s.pixels[y * w + x] = 0xFF000000u | (x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x * 7 + y) & 0xFF);
  s.pixels[0] = 0xFF112233;                    // top left
  s.pixels[w - 1] = 0xFF445566;                // top right
  s.pixels[(h - 1) * w] = 0xFF778899;          // bottom left
  s.pixels[(h - 1) * w + w - 1] = 0xFFAABBCC;  // bottom right
  return s;
}

TEST(ImageFilesTest, BmpHeaderAndPixelsReadIndependently) {
  const Surface screen = Pattern(800, 600);
  const Surface odd = Pattern(333, 7);  // 999-byte rows need one padding byte
  for (const auto& [surface, width] : {std::pair{&screen, 800}, {&screen, 700}, {&odd, 333}}) {
    SCOPED_TRACE(width);
    const int height = surface->height;
    const std::vector<uint8_t> bmp = EncodeBmp(*surface, width, height);
    const size_t row = (width * 3 + 3) / 4 * 4;
    ASSERT_EQ(bmp.size(), 54 + row * height);
    EXPECT_EQ(Le(bmp, 0, 2), 'B' | 'M' << 8);
    // Size, pixel offset, info size, width, height (positive: bottom-up), planes 1 and 24 bits,
    // BI_RGB, image size.
    const std::pair<size_t, size_t> fields[] = {
        {2, bmp.size()}, {10, 54},           {14, 40}, {18, width},
        {22, height},    {26, 1 | 24 << 16}, {30, 0},  {34, row * height}};
    for (const auto& [offset, value] : fields) EXPECT_EQ(Le(bmp, offset, 4), value) << offset;
    for (int y = 0; y < height; ++y) {
      const size_t at = 54 + row * (height - 1 - y);
      for (int x = 0; x < width; ++x)
        ASSERT_EQ(0xFF000000u | Le(bmp, at + x * 3, 3), surface->At(x, y)) << x << "," << y;
      for (size_t pad = width * 3; pad < row; ++pad) ASSERT_EQ(bmp[at + pad], 0);
    }
  }
}

// Bottom-up pictures decode in the screen captures' tests.
TEST(ImageFilesTest, DecodeBmpReadsTopDownAndRefusesBadData) {
  const Surface source = Pattern(333, 7);
  const std::vector<uint8_t> bmp = EncodeBmp(source, 333, 7);
  Surface decoded;
  // The picture stored top-down (negative height).
  std::vector<uint8_t> topDown(bmp.begin(), bmp.begin() + 54);
  const size_t row = 1000;
  for (int r = 6; r >= 0; --r)
    topDown.insert(topDown.end(), bmp.begin() + 54 + r * row, bmp.begin() + 54 + (r + 1) * row);
  const int32_t negative = -7;
  std::memcpy(&topDown[22], &negative, 4);
  ASSERT_TRUE(DecodeBmp(topDown, decoded));
  EXPECT_EQ(decoded.pixels, source.pixels);

  for (size_t size : {size_t{0}, size_t{2}, size_t{53}, size_t{54}, bmp.size() - 1}) {
    const std::vector<uint8_t> truncated(bmp.begin(), bmp.begin() + size);
    EXPECT_FALSE(DecodeBmp(truncated, decoded)) << size;
  }
  // Bad magic, pixel offset past the end or inside the header, short info header, zero or
  // huge width, zero or huge height, 32 bits per pixel, compressed.
  const std::pair<size_t, uint32_t> corruptions[] = {
      {0, 'X'},         {10, 0xFFFFFFF0}, {10, 20},         {14, 12}, {18, 0},
      {18, 0x7FFFFFFF}, {22, 0},          {22, 0x80000000}, {28, 32}, {30, 1}};
  for (const auto& [offset, value] : corruptions) {
    std::vector<uint8_t> bad = bmp;
    std::memcpy(&bad[offset], &value, 4);
    EXPECT_FALSE(DecodeBmp(bad, decoded)) << offset << " " << value;
  }
}

// Read back by libpng's own decoder: every pixel of both regions, and deflate really compresses.
TEST(ImageFilesTest, PngDecodesToTheSamePixelsAndIsCompressed) {
  const Surface source = Pattern(300, 250);
  for (const int width : {300, 123}) {
    const std::vector<uint8_t> png = EncodePng(source, width, 250);
    Surface decoded;
    ASSERT_TRUE(DecodePng(png, decoded)) << width;
    ASSERT_EQ(decoded.width, width);
    ASSERT_EQ(decoded.height, 250);
    for (int y = 0; y < 250; ++y)
      for (int x = 0; x < width; ++x) ASSERT_EQ(decoded.At(x, y), source.At(x, y)) << x << "," << y;
  }
  Surface flat;
  flat.Allocate(800, 600);
  std::fill(flat.pixels.begin(), flat.pixels.end(), 0xFF333366u);
  EXPECT_LT(EncodePng(flat, 800, 600).size(), 5000u);  // 1.44 MB of raw pixels
}

TEST(ImageFilesTest, PdfXrefPointsAtEachObject) {
  const std::vector<uint8_t> pdf = EncodePdfWithImage(Pattern(100, 60), 100, 60, 50, 100, 400, 300);
  const std::string text(pdf.begin(), pdf.end());
  EXPECT_EQ(text.rfind("%PDF-1.4\n", 0), 0u);
  EXPECT_EQ(text.substr(text.find_last_not_of("\r\n") - 4, 5), "%%EOF");
  // Placed 100 pt below the top of an 842 pt page, 300 pt high: its lower edge is at 442.
  EXPECT_NE(text.find("q 400.00 0 0 300.00 50.00 442.00 cm /Im1 Do Q"), std::string::npos);
  EXPECT_NE(text.find("/Length 18000 >>\nstream\n"), std::string::npos);

  const size_t startxref = text.rfind("startxref\n");
  ASSERT_NE(startxref, std::string::npos);
  const size_t xref = std::stoul(text.substr(startxref + 10));
  ASSERT_EQ(text.compare(xref, 7, "xref\n0 "), 0);
  const int count = std::stoi(text.substr(xref + 7));
  EXPECT_EQ(count, 6);
  size_t entry = text.find('\n', xref + 7) + 1;
  EXPECT_EQ(text.substr(entry, 20), "0000000000 65535 f \n");
  for (int object = 1; object < count; ++object) {
    entry += 20;
    ASSERT_EQ(text.substr(entry + 10, 10), " 00000 n \n");
    const size_t offset = std::stoul(text.substr(entry, 10));
    const std::string header = std::to_string(object) + " 0 obj";
    EXPECT_EQ(text.compare(offset, header.size(), header), 0) << object;
  }
}

class AtomicWriteTest : public ::testing::Test {
 protected:
  // The number of entries in the folder.
  long Entries() {
    return std::distance(fs::directory_iterator(home.Path()), fs::directory_iterator());
  }
  TempFolder home;
};

TEST_F(AtomicWriteTest, WritesReplacesAndReadsBack) {
  const std::string path = home.Path() + "capture.bmp";
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(ReadWholeFile(path, bytes));
  EXPECT_FALSE(ReadWholeFile(home.Path(), bytes));  // a folder is not a file
  const std::vector<uint8_t> first(200000, 7), second = {1, 2, 3};
  ASSERT_TRUE(WriteFileAtomic(path, first));
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, first);
  ASSERT_TRUE(WriteFileAtomic(path, second));
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, second);
  // Not the private mode of the temporary file: a new file gets 0644, a replaced one keeps its.
  EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0644));
  fs::permissions(path, static_cast<fs::perms>(0640));
  ASSERT_TRUE(WriteFileAtomic(path, first));
  EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0640));
  EXPECT_EQ(Entries(), 1);
}

TEST_F(AtomicWriteTest, FailedWriteKeepsTheGoodFileAndLeavesNoTemporary) {
  EXPECT_FALSE(WriteFileAtomic(home.Path() + "none/x.bmp", {1, 2}));
  EXPECT_FALSE(fs::exists(home.Path() + "none"));

  const std::string path = home.Path() + "good.bmp";
  const std::vector<uint8_t> good = {9, 8, 7};
  ASSERT_TRUE(WriteFileAtomic(path, good));
  // A child with a small file size limit fails halfway through writing (also as root).
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit = {4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(WriteFileAtomic(path, std::vector<uint8_t>(100000, 1)) ? 1 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the oversized write should have failed";
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, good);
  EXPECT_EQ(Entries(), 1);
}

// The temporary files in the folder, by name.
std::vector<std::string> Temporaries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().find(".vqtmp-") != std::string::npos)
      names.push_back(entry.path().filename().string());
  return names;
}

// A child killed in the middle of writing 50 MB over a good file: the good file stays whole, and
// the temporary left behind goes at the next write; a temporary of a live process stays.
TEST_F(AtomicWriteTest, KilledWriteKeepsTheGoodFileAndItsTemporaryIsSwept) {
  const std::string path = home.Path() + "trace.wv8";
  const std::vector<uint8_t> good(4096, 0x5A);
  const size_t large = 50u << 20;
  bool killedMidWrite = false;
  for (int attempt = 0; attempt < 20 && !killedMidWrite; ++attempt) {
    ASSERT_TRUE(WriteFileAtomic(path, good));
    const pid_t child = fork();
    if (child == 0) _exit(WriteFileAtomic(path, std::vector<uint8_t>(large, 0xA5)) ? 0 : 1);
    // Stop the child once its temporary holds some bytes; killed while stopped, it is caught
    // with the write half done (else the attempt is repeated).
    for (int poll = 0; poll < 200000; ++poll) {
      const std::vector<std::string> temps = Temporaries(home.Path());
      std::error_code error;
      if (!temps.empty() && fs::file_size(home.Path() + temps[0], error) > 0 && !error) break;
    }
    kill(child, SIGSTOP);
    const std::vector<std::string> temps = Temporaries(home.Path());
    std::error_code error;
    const uintmax_t written = temps.empty() ? 0 : fs::file_size(home.Path() + temps[0], error);
    killedMidWrite = temps.size() == 1 && !error && written > 0 && written < large;
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    if (killedMidWrite) {
      EXPECT_TRUE(WIFSIGNALED(status));
      EXPECT_EQ(bytes, good) << "the good file was replaced by a partial one";
    } else {
      SweepTemporaryFiles(home.Path());  // the write ended too soon: try again
    }
  }
  ASSERT_TRUE(killedMidWrite) << "the child was never caught in the middle of its write";
  ASSERT_EQ(Temporaries(home.Path()).size(), 1u);

  // The next write into the folder removes the killed child's temporary, but not one of a
  // process still running (this one).
  const std::string live = ".x.bmp.vqtmp-" + std::to_string(getpid()) + "-a1B2c3";
  ASSERT_TRUE(WriteFileAtomic(home.Path() + live, {1}));
  ASSERT_TRUE(WriteFileAtomic(home.Path() + "other.bmp", {2}));
  EXPECT_EQ(Temporaries(home.Path()), std::vector<std::string>{live});
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, good);
}

TEST(PrintPlacementTest, MarginRuleOnA4At600Dpi) {
  // margin = 4960 * 10 / 33 = 1503.03; width = 3456.97; x = 751.52 - 100 = 651.52.
  PrintRect r = PrintPlacement(4960, 100, 800, 600);
  EXPECT_EQ(r.x, 651);
  EXPECT_EQ(r.y, 651);
  EXPECT_EQ(r.width, 3456);
  EXPECT_EQ(r.height, 2592);  // 3456.97 * 600 / 800 = 2592.73
  r = PrintPlacement(4960, 100, 700, 600);
  EXPECT_EQ(r.width, 3456);
  EXPECT_EQ(r.height, 2963);  // 3456.97 * 600 / 700 = 2963.12
  // margin 30.30, half 15.15; 15.15 - 20 = -4.85 truncates toward zero.
  r = PrintPlacement(100, 20, 800, 600);
  EXPECT_EQ(r.x, -4);
  EXPECT_EQ(r.width, 69);
  EXPECT_EQ(r.height, 52);  // 69.70 * 0.75 = 52.27
}

}  // namespace
}  // namespace vq
