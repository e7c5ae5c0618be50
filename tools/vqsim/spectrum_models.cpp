// Simulated spectra: lines through the resolution filter, broad sources, ASE, a seeded floor.
#include "spectrum_models.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "traces/traces.h"

namespace vq {
namespace {

constexpr double kLn2 = std::numbers::ln2;
// Relative height of the Lorentzian skirt of the resolution filter: a grating monochromator
// leaks a little light far from the line, which limits the dynamic range near a strong peak.
constexpr double kSkirt = 1e-3;
// Planck's constant times the square of the speed of light, in mW nm^2 (h c^2 with c in nm/s).
constexpr double kHcSquared = 6.62607015e-31 * 2.99792458e17 * 2.99792458e17;
constexpr double kAseBandwidth = 0.1;  // nm, the reference bandwidth of OSNR
constexpr int kMaxLines = 100000;      // more lines than this in a window is a parameter error

// splitmix64: a tiny generator whose sequence is the same on every machine and library.
struct Random {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  // Sum of twelve uniforms: mean 0, variance 1, close to normal; no library distribution,
  // whose output differs between implementations.
  double Normal() {
    double sum = -6.0;
    for (int i = 0; i < 12; ++i) sum += Uniform();
    return sum;
  }
};

double Dbm(double dbm) {
  return DbmToLinear(dbm);
}

double Step(const SpectrumWindow& w) {
  return w.points > 1 ? w.span / (w.points - 1) : 0.0;
}
double PointWavelength(const SpectrumWindow& w, int i) {
  return w.centre - w.span / 2 + Step(w) * i;
}

std::string CheckWindow(const SpectrumWindow& w) {
  if (w.points < 1 || w.points > kMaxPoints) return "points must be 1 to 50001";
  if (!std::isfinite(w.centre) || !std::isfinite(w.span) || !(w.span >= 0.0))
    return "span must be 0 nm or more";
  if (!(w.centre - w.span / 2 > 0.0)) return "the window must lie above 0 nm";
  if (!(w.resolution > 0.0) || !std::isfinite(w.resolution)) return "resolution must be above 0 nm";
  return "";
}

// The resolution filter's response at d nm from a narrow line: a Gaussian core of FWHM r and the
// skirt; 1 at d = 0, so a line's peak reading is its power.
double Response(double d, double r) {
  const double x = d / r;
  return (std::exp(-4.0 * kLn2 * x * x) + kSkirt / (1.0 + 4.0 * x * x)) / (1.0 + kSkirt);
}

// Adds a narrow line of the given power; points further than 2000 resolutions away get nothing
// from it (its skirt there is below -100 dB).
void AddLine(std::vector<double>& levels, const SpectrumWindow& w, double nm, double mw) {
  const double reach = 2000.0 * w.resolution;
  for (int i = 0; i < static_cast<int>(levels.size()); ++i) {
    const double d = PointWavelength(w, i) - nm;
    if (std::abs(d) < reach) levels[i] += mw * Response(d, w.resolution);
  }
}

// The analyzer's own noise floor: log-normal, a couple of dB either way around floorDbm.
void AddFloor(std::vector<double>& levels, double floorDbm, uint64_t seed) {
  Random random{seed};
  const double floor = Dbm(floorDbm);
  for (double& level : levels) level += floor * std::exp(0.5 * random.Normal());
}

// The record of a model's sweep, from the default setting record.
Spectrum Start(const SpectrumWindow& w, const char* label) {
  Spectrum s;
  s.error = CheckWindow(w);
  if (!s.error.empty()) return s;
  MeasCondition& c = s.condition;
  c = DefaultSettingRecord();
  std::memset(c.label, ' ', 56);
  std::memcpy(c.label, label, std::min<size_t>(std::strlen(label), 56));
  c.label[56] = '\0';
  c.centre = w.centre;
  c.span = w.span;
  c.start = w.centre - w.span / 2;
  c.stop = w.centre + w.span / 2;
  c.resolution = w.resolution;
  c.samplingAuto = 0;
  c.samplingPoints = c.storedPoints = w.points;
  c.samplingInterval = Step(w);
  c.frequencyMode = 0;
  c.traceAttribute = 0;
  c.measurementWavelength = 2;  // the models work in vacuum wavelengths
  s.levels.assign(w.points, 0.0);
  return s;
}

// Adds the floor and sets the reference level to the 10 dB step at least 1 dB above the highest
// level, so the whole spectrum is on screen when the record is shown.
void Finish(Spectrum& s, double floorDbm, uint64_t seed) {
  AddFloor(s.levels, floorDbm, seed);
  double highest = 0.0;
  for (double level : s.levels) highest = std::max(highest, level);
  s.condition.refLevel = 10.0 * std::ceil((LinearToDbm(highest) + 1.0) / 10.0) + 0.0;  // no -0
}

Spectrum Failed(const std::string& error) {
  Spectrum s;
  s.error = error;
  return s;
}

// The WDM light without the analyzer floor: channels on the grid over an ASE hump.
std::string WdmLight(const WdmParams& p, std::vector<double>& levels) {
  if (p.channels < 1 || p.channels > 1024) return "channels must be 1 to 1024";
  if (!(p.spacing > 0.0) || !(p.firstFrequency > 0.0)) return "grid frequencies must be above 0";
  if (!(p.aseFwhm > 0.0)) return "ASE width must be above 0 nm";
  const SpectrumWindow& w = p.window;
  const double first = FrequencyToWavelength(p.firstFrequency, true);
  const double last = FrequencyToWavelength(p.firstFrequency + p.spacing * (p.channels - 1), true);
  const double bandCentre = (first + last) / 2;
  // Channel level offsets come from their own stream so that the floor seed does not move them.
  Random spread{p.seed ^ 0xC0FFEEull};
  for (int k = 0; k < p.channels; ++k) {
    const double offset = p.levelSpreadDb * (2.0 * spread.Uniform() - 1.0);
    AddLine(levels, w, FrequencyToWavelength(p.firstFrequency + p.spacing * k, true),
            Dbm(p.levelDbm + offset));
  }
  // ASE read through the resolution: density times the resolution bandwidth.
  const double asePeak = Dbm(p.levelDbm - p.osnrDb) * w.resolution / kAseBandwidth;
  for (int i = 0; i < w.points; ++i) {
    const double d = (PointWavelength(w, i) - bandCentre) / p.aseFwhm;
    levels[i] += asePeak * std::exp(-4.0 * kLn2 * d * d);
  }
  return "";
}

}  // namespace

Spectrum MakeDfbLaser(const DfbLaserParams& p) {
  Spectrum s = Start(p.window, "DFB-LD 1550nm (simulated)");
  if (!s.error.empty()) return s;
  if (!(p.sideModeOffset > 0.0)) return Failed("side-mode offset must be above 0 nm");
  const double main = Dbm(p.powerDbm);
  AddLine(s.levels, p.window, p.wavelength, main);
  // Side modes at the stop-band edges, the short-wavelength one the strongest, and a weaker
  // second pair further out.
  const double below[4] = {0.0, 2.0, 8.0, 10.0};
  const double offset[4] = {-1.0, 1.0, -2.0, 2.0};
  for (int k = 0; k < 4; ++k) {
    AddLine(s.levels, p.window, p.wavelength + offset[k] * p.sideModeOffset,
            main * Dbm(-p.smsrDb - below[k]));
  }
  Finish(s, p.floorDbm, p.seed);
  return s;
}

Spectrum MakeFpLaser(const FpLaserParams& p) {
  Spectrum s = Start(p.window, "FP-LD 1310nm (simulated)");
  if (!s.error.empty()) return s;
  if (!(p.modeSpacing > 0.0) || !(p.envelopeFwhm > 0.0))
    return Failed("mode spacing and envelope width must be above 0 nm");
  // The cavity's modes are equally spaced in frequency.
  const double f0 = WavelengthToFrequency(p.wavelength, true);
  const double df = f0 * p.modeSpacing / p.wavelength;
  const double margin = 10.0 * p.window.resolution;
  const double fHigh = WavelengthToFrequency(s.condition.start - margin, true);
  const double fLow = WavelengthToFrequency(s.condition.stop + margin, true);
  const double kLow = std::ceil((fLow - f0) / df);
  const double kHigh = std::floor((fHigh - f0) / df);
  if (kHigh - kLow > kMaxLines) return Failed("too many modes in the window");
  for (double k = kLow; k <= kHigh; k += 1.0) {
    const double nm = FrequencyToWavelength(f0 + k * df, true);
    const double d = (nm - p.wavelength) / p.envelopeFwhm;
    AddLine(s.levels, p.window, nm, Dbm(p.peakDbm) * std::exp(-4.0 * kLn2 * d * d));
  }
  Finish(s, p.floorDbm, p.seed);
  return s;
}

Spectrum MakeLed(const LedParams& p) {
  Spectrum s = Start(p.window, "LED 1550nm (simulated)");
  if (!s.error.empty()) return s;
  if (!(p.fwhm > 0.0) || !(std::abs(p.asymmetry) < 1.0))
    return Failed("FWHM must be above 0 nm and the asymmetry within -1 to 1");
  // Two Gaussian halves with their half widths at half maximum; together they make the FWHM.
  const double left = p.fwhm / 2 * (1.0 - p.asymmetry);
  const double right = p.fwhm / 2 * (1.0 + p.asymmetry);
  const double peakDensity =
      Dbm(p.totalPowerDbm) / (std::sqrt(std::numbers::pi / kLn2) / 2 * (left + right));
  // A source much wider than the resolution reads as its density times the resolution.
  for (int i = 0; i < p.window.points; ++i) {
    const double d = PointWavelength(p.window, i) - p.wavelength;
    const double x = d / (d < 0 ? left : right);
    s.levels[i] = peakDensity * p.window.resolution * std::exp(-kLn2 * x * x);
  }
  Finish(s, p.floorDbm, p.seed);
  return s;
}

Spectrum MakeWdmSignal(const WdmParams& p) {
  Spectrum s = Start(p.window, "WDM 8CH 100GHz (simulated)");
  if (!s.error.empty()) return s;
  const std::string error = WdmLight(p, s.levels);
  if (!error.empty()) return Failed(error);
  Finish(s, p.floorDbm, p.seed);
  return s;
}

EdfaPair MakeEdfaPair(const EdfaParams& p) {
  EdfaPair pair{Start(p.input.window, "EDFA INPUT (simulated)"),
                Start(p.input.window, "EDFA OUTPUT (simulated)")};
  if (!pair.input.error.empty()) return pair;
  std::string error = WdmLight(p.input, pair.input.levels);
  if (error.empty() && !(p.noiseFigureDb >= 0.0)) error = "noise figure must be 0 dB or more";
  if (!error.empty()) return {Failed(error), Failed(error)};
  // Output: the input light amplified plus the amplifier's ASE, from the noise figure:
  // P_ase = (F G - 1) h c^2 / wl^3 in the resolution bandwidth.
  const double gain = Dbm(p.gainDb);
  const double factor = Dbm(p.noiseFigureDb) * gain - 1.0;
  for (int i = 0; i < p.input.window.points; ++i) {
    const double nm = PointWavelength(p.input.window, i);
    pair.output.levels[i] = gain * pair.input.levels[i] +
                            factor * kHcSquared * p.input.window.resolution / (nm * nm * nm);
  }
  Finish(pair.input, p.input.floorDbm, p.input.seed);
  Finish(pair.output, p.input.floorDbm, p.outputSeed);
  return pair;
}

Spectrum MakeBandPassFilter(const BandPassParams& p) {
  Spectrum s = Start(p.window, "BPF 1nm through ASE (simulated)");
  if (!s.error.empty()) return s;
  if (!(p.passBand > 0.0) || p.edgeOrder < 1 || p.edgeOrder > 20)
    return Failed("pass band must be above 0 nm and the edge order 1 to 20");
  // A super-Gaussian pass band (-3 dB at half the pass band from the centre) on a stop band
  // limited by the isolation, with a little ripple on top.
  const double source = Dbm(p.sourceDbmPerNm) * p.window.resolution;
  const double loss = Dbm(-p.insertionLossDb);
  const double rippleAmplitude = (Dbm(p.rippleDb / 2) - 1.0);
  for (int i = 0; i < p.window.points; ++i) {
    const double d = PointWavelength(p.window, i) - p.wavelength;
    const double x = std::pow(std::abs(2.0 * d / p.passBand), 2.0 * p.edgeOrder);
    const double ripple = 1.0 + rippleAmplitude * std::cos(2.0 * std::numbers::pi * d / 0.25);
    s.levels[i] = source * loss * (std::exp(-kLn2 * x) * ripple + Dbm(-p.isolationDb));
  }
  Finish(s, p.floorDbm, p.seed);
  return s;
}

const char* SpectrumModelName(SpectrumModel model) {
  static const char* const kNames[kSpectrumModelCount] = {
      "dfb_laser", "fp_laser", "led", "wdm_8ch", "edfa_input", "edfa_output", "bandpass_filter"};
  return kNames[static_cast<int>(model)];
}

SpectrumWindow DefaultWindow(SpectrumModel model) {
  switch (model) {
    case SpectrumModel::DfbLaser:
      return DfbLaserParams{}.window;
    case SpectrumModel::FpLaser:
      return FpLaserParams{}.window;
    case SpectrumModel::Led:
      return LedParams{}.window;
    case SpectrumModel::Wdm8:
      return WdmParams{}.window;
    case SpectrumModel::EdfaInput:
    case SpectrumModel::EdfaOutput:
      return EdfaParams{}.input.window;
    case SpectrumModel::BandPassFilter:
      break;
  }
  return BandPassParams{}.window;
}

Spectrum MakeSpectrum(SpectrumModel model, const SpectrumWindow& window, uint64_t seed) {
  switch (model) {
    case SpectrumModel::DfbLaser:
      return MakeDfbLaser({.window = window, .seed = seed});
    case SpectrumModel::FpLaser:
      return MakeFpLaser({.window = window, .seed = seed});
    case SpectrumModel::Led:
      return MakeLed({.window = window, .seed = seed});
    case SpectrumModel::Wdm8:
      return MakeWdmSignal({.window = window, .seed = seed});
    case SpectrumModel::EdfaInput:
    case SpectrumModel::EdfaOutput: {
      EdfaParams p;
      p.input.window = window;
      p.input.seed = seed;
      p.outputSeed = seed + 1;
      EdfaPair pair = MakeEdfaPair(p);
      return model == SpectrumModel::EdfaInput ? pair.input : pair.output;
    }
    case SpectrumModel::BandPassFilter:
      break;
  }
  return MakeBandPassFilter({.window = window, .seed = seed});
}

}  // namespace vq
