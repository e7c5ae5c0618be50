// Every sample spectrum shipped in samples/ loads when dropped on the window and is drawn.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/image_files.h"
#include "screen/screen_areas.h"
#include "screen/waveform.h"
#include "support/instrument_fixture.h"
#include "traces/traces.h"

namespace vq {
namespace {

namespace fs = std::filesystem;

// What a sample file holds, read here without the loader: its points and their levels in mW.
std::vector<double> FileLevels(const fs::path& path) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(path.string(), bytes)) << path;
  std::vector<double> levels;
  if (path.extension() == ".wv8") {
    for (size_t at = 498; at + 4 <= bytes.size(); at += 4) {
      float v;
      std::memcpy(&v, bytes.data() + at, 4);
      levels.push_back(v);
    }
    return levels;
  }
  std::istringstream text(std::string(bytes.begin(), bytes.end()));
  std::string line;
  while (std::getline(text, line) && line != "\"[TRACE DATA]\"\r") {
  }
  while (std::getline(text, line)) {
    levels.push_back(std::pow(10.0, std::stod(line.substr(line.find(',') + 1)) / 10));
  }
  return levels;
}

class SampleFileTest : public StartedInstrumentTest {};

TEST_F(SampleFileTest, EveryShippedSampleLoadsAndIsDrawn) {
  DistinctSlotColours();
  std::vector<fs::path> samples;
  for (const auto& entry : fs::directory_iterator(VQ_TEST_DATA "/../../samples")) {
    const fs::path ext = entry.path().extension();
    if (ext == ".csv" || ext == ".wv8") samples.push_back(entry.path());
  }
  std::sort(samples.begin(), samples.end());
  ASSERT_GE(samples.size(), 14u);

  for (size_t i = 0; i < samples.size(); ++i) {
    SCOPED_TRACE(samples[i].filename().string());
    const int trace = static_cast<int>(i % kTraceCount);
    ASSERT_TRUE(SetActiveTrace(trace));
    const std::vector<double> levels = FileLevels(samples[i]);
    const int n = static_cast<int>(levels.size());
    ASSERT_GT(n, 1);

    SetDroppedFiles({samples[i].string()});
    WindowProc(WM_DROPFILES, 0, 0);
    ASSERT_TRUE(PumpUntilIdle(host));
    EXPECT_EQ(g().messages.currentMessage, 0);
    const Trace& t = g().traces.traces[trace];
    EXPECT_EQ(t.condition.samplingPoints, n);
    EXPECT_EQ(t.condition.storedPoints, n);
    EXPECT_EQ(t.level[n], 0.0);
    EXPECT_EQ(std::count_if(t.level.begin(), t.level.begin() + n, [](double v) { return v > 0; }),
              n);
    for (int k : {0, n / 2, n - 1}) EXPECT_NEAR(t.level[k] / levels[k], 1, 1e-6) << "point " << k;

    // Its colour reaches every column of the graph, and the highest pixel lies at the column
    // of the file's highest point.
    const GraphRect graph = GraphOf(g().screen.screenMode, 0);
    const uint32_t colour = Slot(TraceSlot(trace));
    std::vector<int> top(graph.width, graph.y + graph.height);
    for (int x = 0; x < graph.width; ++x) {
      for (int y = graph.y; y < graph.y + graph.height && top[x] == graph.y + graph.height; ++y) {
        if (g().screen.backBuffer.At(graph.x + x, y) == colour) top[x] = y;
      }
    }
    EXPECT_EQ(std::count(top.begin(), top.end(), graph.y + graph.height), 0) << "empty columns";
    const int peak =
        static_cast<int>(std::max_element(levels.begin(), levels.end()) - levels.begin());
    const int column = static_cast<int>(std::lround(peak * (graph.width - 1.0) / (n - 1)));
    const int highest = *std::min_element(top.begin(), top.end());
    EXPECT_EQ(*std::min_element(top.begin() + std::max(column - 1, 0),
                                top.begin() + std::min(column + 2, graph.width)),
              highest)
        << "peak at column " << column;
  }
}

}  // namespace
}  // namespace vq
