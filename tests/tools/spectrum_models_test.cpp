// Tests of the simulator's spectrum models against physical properties and direct calculations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "spectrum_models.h"

namespace vq {
namespace {

constexpr double kC = 299792.458;  // nm THz

double Db(double mw) {
  return 10.0 * std::log10(mw);
}
double Wl(const Spectrum& s, double index) {
  return s.condition.start + s.condition.samplingInterval * index;
}
int Peak(const Spectrum& s) {
  return static_cast<int>(std::max_element(s.levels.begin(), s.levels.end()) - s.levels.begin());
}

// Local maxima at least `below` dB under the highest level, in wavelength order.
std::vector<int> Modes(const Spectrum& s, double below) {
  const double threshold = s.levels[Peak(s)] * std::pow(10.0, -below / 10.0);
  std::vector<int> modes;
  for (size_t i = 1; i + 1 < s.levels.size(); ++i) {
    const double v = s.levels[i];
    if (v > threshold && v > s.levels[i - 1] && v >= s.levels[i + 1]) modes.push_back(int(i));
  }
  return modes;
}

// Width (nm) between the linearly interpolated crossings `drop` dB below the peak.
double Width(const Spectrum& s, double drop) {
  const int pk = Peak(s);
  const double level = s.levels[pk] * std::pow(10.0, -drop / 10.0);
  int l = pk, r = pk;
  while (l > 0 && s.levels[l] > level) --l;
  while (r + 1 < int(s.levels.size()) && s.levels[r] > level) ++r;
  const double left = l + (level - s.levels[l]) / (s.levels[l + 1] - s.levels[l]);
  const double right = r - 1 + (level - s.levels[r - 1]) / (s.levels[r] - s.levels[r - 1]);
  return (right - left) * s.condition.samplingInterval;
}

TEST(SpectrumModelTest, DfbLaserPeakAndSideModes) {
  const Spectrum s = MakeDfbLaser();
  ASSERT_TRUE(s.error.empty());
  ASSERT_EQ(s.levels.size(), 5001u);
  EXPECT_EQ(s.condition.samplingPoints, 5001);
  EXPECT_EQ(s.condition.storedPoints, 5001);
  EXPECT_DOUBLE_EQ(s.condition.start, 1545.0);
  EXPECT_NEAR(Wl(s, Peak(s)), 1550.0, 0.002);
  EXPECT_NEAR(Db(s.levels[Peak(s)]), 3.0, 0.5);
  // The line's -3 dB width is the resolution it was taken with.
  EXPECT_NEAR(Width(s, 3.0), 0.02, 0.002);
  // Side mode: the highest point further than 0.5 nm from the main mode.
  double side = 0.0;
  for (size_t i = 0; i < s.levels.size(); ++i) {
    if (std::abs(Wl(s, i) - 1550.0) > 0.5) side = std::max(side, s.levels[i]);
  }
  EXPECT_NEAR(Db(s.levels[Peak(s)]) - Db(side), 40.0, 0.5);
  // The floor, far from every mode, sits near -70 dBm.
  EXPECT_NEAR(Db(s.levels[0]), -70.0, 4.0);
}

TEST(SpectrumModelTest, FpLaserModeSpacingAndEnvelope) {
  const Spectrum s = MakeFpLaser();
  ASSERT_TRUE(s.error.empty());
  const std::vector<int> modes = Modes(s, 20.0);
  ASSERT_GE(modes.size(), 6u);
  const double spacing = (Wl(s, modes.back()) - Wl(s, modes.front())) / (modes.size() - 1);
  EXPECT_NEAR(spacing, 1.0, 0.01);
  EXPECT_NEAR(Wl(s, Peak(s)), 1310.0, 0.005);
  // Equal frequency spacing: the gaps grow with the wavelength.
  EXPECT_GT(Wl(s, modes.back()) - Wl(s, modes[modes.size() - 2]),
            Wl(s, modes[1]) - Wl(s, modes[0]));
}

TEST(SpectrumModelTest, LedWidthAndTotalPower) {
  const Spectrum s = MakeLed();
  ASSERT_TRUE(s.error.empty());
  EXPECT_NEAR(Width(s, 3.0), 50.0, 5.0);
  EXPECT_NEAR(Wl(s, Peak(s)), 1550.0, 0.5);  // the top is flat: the floor noise moves it
  // Integrated density (levels over the resolution) is the set power.
  double sum = 0.0;
  for (double v : s.levels) sum += v;
  EXPECT_NEAR(Db(sum * s.condition.samplingInterval / s.condition.resolution), -13.0, 0.2);
}

TEST(SpectrumModelTest, WdmChannelsOnTheGridWithOsnr) {
  const Spectrum s = MakeWdmSignal();
  ASSERT_TRUE(s.error.empty());
  const std::vector<int> channels = Modes(s, 20.0);
  ASSERT_EQ(channels.size(), 8u);
  const double step = s.condition.samplingInterval;
  for (int k = 0; k < 8; ++k) {
    const int ch = channels[7 - k];  // the highest frequency has the shortest wavelength
    EXPECT_NEAR(ch, (kC / (193.1 + 0.1 * k) - s.condition.start) / step, 1.0) << k;
    // Noise halfway to the neighbours (0.4 nm), normalised to 0.1 nm.
    const int half = int(std::lround(0.4 / step));
    const double noise = (s.levels[ch - half] + s.levels[ch + half]) / 2;
    const double osnr = Db(s.levels[ch] - noise) - Db(noise * 0.1 / s.condition.resolution);
    EXPECT_NEAR(osnr, 30.0, 1.0) << k;
    EXPECT_NEAR(Db(s.levels[ch]), -10.0, 0.6) << k;
  }
}

TEST(SpectrumModelTest, EdfaGainAndNoiseFigure) {
  const EdfaPair pair = MakeEdfaPair();
  ASSERT_TRUE(pair.input.error.empty());
  ASSERT_TRUE(pair.output.error.empty());
  const std::vector<int> channels = Modes(pair.input, 20.0);
  ASSERT_EQ(channels.size(), 8u);
  for (int ch : channels)
    EXPECT_NEAR(Db(pair.output.levels[ch] / pair.input.levels[ch]), 20.0, 0.1);
  // Noise figure from the ASE between channels 4 and 5: F = P_ase wl^3 / (h c^2 dl G) + 1 / G,
  // with 1 / (h c^2) = 1.679199182e-5 in mW, nm and s.
  const int mid = (channels[3] + channels[4]) / 2;
  double ase = 0.0;
  for (int i = mid - 10; i <= mid + 10; ++i) {
    ase += (pair.output.levels[i] - 100.0 * pair.input.levels[i]) / 21;
  }
  const double wl = Wl(pair.output, mid);
  const double f =
      ase * wl * wl * wl * 1.679199182e-05 / (pair.output.condition.resolution * 100.0);
  EXPECT_NEAR(Db(f + 0.01), 5.0, 0.3);
}

TEST(SpectrumModelTest, BandPassFilterWidthAndRejection) {
  const Spectrum s = MakeBandPassFilter();
  ASSERT_TRUE(s.error.empty());
  EXPECT_NEAR(Width(s, 3.0), 1.0, 0.05);
  EXPECT_NEAR(Wl(s, Peak(s)), 1550.0, 0.15);
  EXPECT_GT(Db(s.levels[Peak(s)]) - Db(s.levels[0]), 40.0);
  EXPECT_NEAR(Db(s.levels[Peak(s)]), -10.0 + Db(0.02) - 1.0, 0.2);
}

TEST(SpectrumModelTest, DeterministicAndSeeded) {
  for (int m = 0; m < kSpectrumModelCount; ++m) {
    const auto model = static_cast<SpectrumModel>(m);
    const Spectrum a = MakeSpectrum(model, DefaultWindow(model), 11);
    const Spectrum b = MakeSpectrum(model, DefaultWindow(model), 11);
    const Spectrum c = MakeSpectrum(model, DefaultWindow(model), 12);
    ASSERT_TRUE(a.error.empty()) << SpectrumModelName(model);
    EXPECT_EQ(a.levels, b.levels) << SpectrumModelName(model);
    EXPECT_NE(a.levels, c.levels) << SpectrumModelName(model);
  }
}

TEST(SpectrumModelTest, BadParametersGiveAnError) {
  const SpectrumWindow bad[] = {{1550, 10, 0.02, 0},  {1550, 10, 0.02, 50002},
                                {1550, -1, 0.02, 11}, {1550, 10, 0.0, 11},
                                {3, 10, 0.02, 11},    {std::nan(""), 10, 0.02, 11}};
  for (const SpectrumWindow& w : bad) {
    const Spectrum s = MakeSpectrum(SpectrumModel::Wdm8, w, 1);
    EXPECT_FALSE(s.error.empty());
    EXPECT_TRUE(s.levels.empty());
  }
  EXPECT_FALSE(MakeFpLaser({.window = {1310, 20, 0.05, 11}, .modeSpacing = 0.0}).error.empty());
  EXPECT_FALSE(MakeFpLaser({.window = {1310, 20, 0.05, 11}, .modeSpacing = 1e-9}).error.empty());
  EXPECT_FALSE(MakeWdmSignal({.channels = 0}).error.empty());
  // A 0 nm sweep is valid: every point reads the LED's peak density in 1 nm.
  const Spectrum zero = MakeSpectrum(SpectrumModel::Led, {1550, 0, 1.0, 101}, 1);
  ASSERT_EQ(zero.levels.size(), 101u);
  const double peak = -13.0 - Db(50.0 * std::sqrt(std::numbers::pi / std::log(2.0)) / 2);
  for (double v : zero.levels) EXPECT_NEAR(Db(v), peak, 0.02);
}

}  // namespace
}  // namespace vq
