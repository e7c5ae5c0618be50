// The CIE 1931 2-degree standard colorimetric observer, as data: the colour-matching functions
// x-bar, y-bar, z-bar at 5 nm from 380 to 780 nm and the chromaticity coordinates (x, y) of the
// spectral locus at 1 nm from 380 to 700 nm.
#pragma once

#include <array>

namespace vq {

constexpr int kCmfFirstNm = 380, kCmfStepNm = 5, kCmfCount = 81;  // 380 .. 780 nm
constexpr int kLocusFirstNm = 380, kLocusCount = 321;             // 380 .. 700 nm

extern const std::array<double, kCmfCount> kCieXBar, kCieYBar, kCieZBar;
extern const std::array<double, kLocusCount> kLocusX, kLocusY;

}  // namespace vq
