// Simulated spectra of lasers, an LED, WDM signals, an amplifier and a filter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "traces/meas_condition.h"

namespace vq {

// The sweep window: centre and span in nm, resolution bandwidth in nm, number of points.
struct SpectrumWindow {
  double centre = 1550.0;
  double span = 10.0;
  double resolution = 0.02;
  int points = 5001;
};

// A model's result: the record it was taken under and its levels (linear mW, point 0 first).
// On bad parameters `error` says why and `levels` is empty.
struct Spectrum {
  MeasCondition condition{};
  std::vector<double> levels;
  std::string error;
};

struct DfbLaserParams {
  SpectrumWindow window{1550.0, 10.0, 0.02, 5001};
  double wavelength = 1550.0;  // main mode, nm
  double powerDbm = 3.0;
  double smsrDb = 40.0;         // main mode over the highest side mode
  double sideModeOffset = 1.2;  // nm from the main mode to the first side modes
  double floorDbm = -70.0;
  uint64_t seed = 1;
};

struct FpLaserParams {
  SpectrumWindow window{1310.0, 20.0, 0.05, 5001};
  double wavelength = 1310.0;  // centre of the gain envelope; one mode sits on it
  double peakDbm = -3.0;       // level of the centre mode
  double modeSpacing = 1.0;    // nm at the centre (the modes are equally spaced in frequency)
  double envelopeFwhm = 6.0;   // nm
  double floorDbm = -70.0;
  uint64_t seed = 2;
};

struct LedParams {
  SpectrumWindow window{1550.0, 200.0, 1.0, 5001};
  double wavelength = 1550.0;  // peak, nm
  double totalPowerDbm = -13.0;
  double fwhm = 50.0;      // nm
  double asymmetry = 0.2;  // the long-wavelength half is (1 + a) / (1 - a) times the short one
  double floorDbm = -75.0;
  uint64_t seed = 3;
};

struct WdmParams {
  SpectrumWindow window{1549.72, 10.0, 0.05, 5001};
  int channels = 8;
  double firstFrequency = 193.1;  // THz, on the 100 GHz grid
  double spacing = 0.1;           // THz
  double levelDbm = -10.0;        // nominal channel power
  double levelSpreadDb = 0.5;     // channel levels differ by up to this much either way
  double osnrDb = 30.0;           // nominal channel over ASE in 0.1 nm, at the ASE peak
  double aseFwhm = 30.0;          // nm, width of the ASE hump centred on the band
  double floorDbm = -70.0;
  uint64_t seed = 4;
};

struct EdfaParams {
  WdmParams input{{1549.72, 10.0, 0.05, 5001}, 8, 193.1, 0.1, -20.0, 0.5, 40.0, 30.0, -80.0, 5};
  double gainDb = 20.0;
  double noiseFigureDb = 5.0;
  uint64_t outputSeed = 6;
};

struct EdfaPair {
  Spectrum input;
  Spectrum output;
};

struct BandPassParams {
  SpectrumWindow window{1550.0, 5.0, 0.02, 5001};
  double wavelength = 1550.0;  // pass-band centre
  double passBand = 1.0;       // nm, the -3 dB width
  int edgeOrder = 4;           // super-Gaussian order: higher is steeper
  double insertionLossDb = 1.0;
  double isolationDb = 45.0;      // stop band below the pass band
  double rippleDb = 0.1;          // peak to peak in the pass band
  double sourceDbmPerNm = -10.0;  // flat ASE source
  double floorDbm = -80.0;
  uint64_t seed = 7;
};

Spectrum MakeDfbLaser(const DfbLaserParams& p = {});
Spectrum MakeFpLaser(const FpLaserParams& p = {});
Spectrum MakeLed(const LedParams& p = {});
Spectrum MakeWdmSignal(const WdmParams& p = {});
EdfaPair MakeEdfaPair(const EdfaParams& p = {});
Spectrum MakeBandPassFilter(const BandPassParams& p = {});

// The catalogue the simulator sweeps and the sample files come from.
enum class SpectrumModel { DfbLaser, FpLaser, Led, Wdm8, EdfaInput, EdfaOutput, BandPassFilter };
constexpr int kSpectrumModelCount = 7;

const char* SpectrumModelName(SpectrumModel model);  // "dfb_laser", ... (sample file names)
SpectrumWindow DefaultWindow(SpectrumModel model);
// The model with its default parameters under another window and noise seed.
Spectrum MakeSpectrum(SpectrumModel model, const SpectrumWindow& window, uint64_t seed);

}  // namespace vq
