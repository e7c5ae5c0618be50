// The zoom window of the waveform display and the ZOOM menu.
#pragma once

namespace vq {

// A wavelength window in nm.
struct AxisRange {
  double start = 0.0, span = 0.0;
  double Stop() const { return start + span; }
};

// The displayed (possibly zoomed) range, the measured range, and whether they differ.
AxisRange DisplayedRange();
AxisRange MeasuredRange();
bool Zoomed();
// Binds the ZOOM menu functions.
void BindZoomMenu();

}  // namespace vq
