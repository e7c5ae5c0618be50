// Small helpers the analyses share: the channel centre by the -3 dB rule, the actual resolution
// bandwidth, the level unit switch, the nominal grid and the wavelength cells of result tables.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vq {

// The fractional index of a channel: from the peak outwards within lo..hi, the first point on
// each side at least dropDb below the peak, the crossing of peak - dropDb interpolated in mW, and
// the midpoint of the two crossings; a side without a crossing uses its bound.
double CentreIndexAtDrop(std::span<const double> w, int32_t peak, int32_t lo, int32_t hi,
                         double dropDb);

// POWER: the total power (mW) of a trace over data indices s..e of the work buffer (filled by the
// caller), with the offset in dB; each sample taken as a density or divided by the resolution
// bandwidth as the trace's and the display's level units say. 0, or the failure code when the
// range is empty or holds no level above 0.
int IntegratePower(int trace, int32_t s, int32_t e, double offsetDb, double& totalMw);

// The actual resolution bandwidth (nm) of a trace at a wavelength: the trace's resolution
// setting; 1.0 from 2020 nm up.
double ResolutionBandwidth(int trace, double nm);

// The "dBm/nm" to "dBm" switch of DFB-LD, WDM and EDFA-NF: true when the unit was dBm/nm and is
// now dBm (the display is redrawn); the switch back after a failed run.
bool SwitchLevelUnitToDbm();
void SwitchLevelUnitToDensity();

// The nominal grid: ITU-T G.694.1 100 GHz, 193.1 THz + n x 0.1 THz. The wavelength (by the
// measurement setting's air or vacuum) of the grid frequency nearest to a wavelength.
double NearestGridWavelength(double nm);
double GridFrequency(int n);

// A wavelength cell of a result table: "%9.4f" nm, or in THz "%9.5f"; "****.****" and
// "***.*****" when too long (width 10: "%10.4f", "%10.5f" and one more asterisk).
std::string WavelengthCell(double nm, int width, bool thz);

}  // namespace vq
