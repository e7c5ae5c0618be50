// The remote action table as data: one row per mirrored viewer action, searched in order.
#include <algorithm>
#include <string_view>

#include "link/remote_actions.h"

namespace vq {

namespace {

constexpr RemoteActionRow kRows[] = {
    {"SENS:WAV:CENT ", "", 38, 5, Arg::Special},
    {"SENS:WAV:STAR", "", 39, 5, Arg::Special},
    {"SENS:WAV:STOP", "", 40, 5, Arg::Special},
    {"SENS:WAV:CENT ", "", 41, 5, Arg::Special},
    {"SENS:WAV:CENT ", "", 45, 5, Arg::Special},
    {"", "", 53, 0, Arg::None},
    {"SENS:WAV:SPAN ", "", 58, 5, Arg::Special},
    {"SENS:WAV:SPAN ", "", 59, 5, Arg::Special},
    {"SENS:SWE:TIME:0NM", " %d", 60, 1, Arg::Unbuilt},
    {"DISP:TRAC:Y1:RLEV", "", 61, 61, Arg::RefLevel},
    {"DISP:TRAC:Y1:RLEV", "", 551, 61, Arg::RefLevel},
    {"DISP:TRAC:Y1:RLEV", "", 552, 61, Arg::RefLevel},
    {"DISP:TRAC:Y1:RLEV", "", 553, 61, Arg::RefLevel},
    {"DISP:TRAC:Y1:RLEV", "", 554, 61, Arg::RefLevel},
    {"DISP:TRAC:Y1:PDIV", "", 62, 5, Arg::LogScale},
    {"DISP:TRAC:Y1:UNIT 1;RLEV", "", 550, 61, Arg::RefLevel},
    {"DISP:TRAC:Y1:BLEV", "", 585, 5, Arg::BaseLevel},
    {"DISP:TRAC:Y1:RLEV", "", 63, 61, Arg::RefLevel},
    {"DISP:TRAC:Y1:UNIT", "", 586, 1, Arg::Special},
    {"DISP:TRAC:Y:DNUM", " %d", 387, 1, Arg::YDivisions},
    {"DISP:TRAC:Y:DNUM", " %d", 388, 1, Arg::YDivisions},
    {"DISP:TRAC:Y:DNUM", " %d", 389, 1, Arg::YDivisions},
    {"DISP:TRAC:Y1:RPOS", " %d", 478, 1, Arg::Unbuilt},
    {"DISP:TRAC:Y2:UNIT 0;PDIV", " %.1f", 65, 5, Arg::SubScaleLog},
    {"DISP:TRAC:Y2:UNIT 1;PDIV", " %.3f", 66, 5, Arg::SubScaleLinear},
    {"DISP:TRAC:Y2:UNIT 2;PDIV", " %.1f", 587, 5, Arg::SubScaleDbKm},
    {"DISP:TRAC:Y2:UNIT 3;PDIV", " %.1f", 588, 5, Arg::SubScalePercent},
    {"DISP:TRAC:Y2:OLEV", " %.1f", 67, 5, Arg::OffsetLevel},
    {"DISP:TRAC:Y2:SMIN", " %.2f", 591, 5, Arg::SubScaleMin},
    {"DISP:TRAC:Y2:OLEV", " %.1f", 590, 5, Arg::OffsetLevelPerKm},
    {"DISP:TRAC:Y2:SMIN", " %.1f%%", 592, 5, Arg::SubScaleMinPercent},
    {"DISP:TRAC:Y2:LENG", " %.3f", 589, 5, Arg::FibreLength},
    {"DISP:TRAC:Y2:RPOS", " %d", 479, 1, Arg::Unbuilt},
    {"INIT:SMOD AUTO;:INIT", "", 30, 0, Arg::None},
    {"INIT:SMOD SING;:INIT", "", 31, 0, Arg::None},
    {"INIT:SMOD SING;:INIT", "", 32, 0, Arg::None},
    {"ABOR", "", 33, 0, Arg::None},
    {"INIT:SMOD SEGM;:INIT", "", 34, 0, Arg::None},
    {"SENS:SWE:SEGM:POIN", " %d", 35, 1, Arg::Unbuilt},
    {"SENS:WAV:SRAN", " %d", 36, 1, Arg::Unbuilt},
    {"SENS:SWE:TIME:INT", " %d", 37, 1, Arg::Unbuilt},
    {"SENS:BAND:RES", " %.3fnm", 69, 5, Arg::Special},
    {"SENS:BAND:RES", " %.3fnm", 360, 5, Arg::Resolution},
    {"SENS:BAND:RES", " %.3fnm", 361, 5, Arg::Resolution},
    {"SENS:BAND:RES", " %.3fnm", 362, 5, Arg::Resolution},
    {"SENS:BAND:RES", " %.3fnm", 363, 5, Arg::Resolution},
    {"SENS:BAND:RES", " %.3fnm", 364, 5, Arg::Resolution},
    {"SENS:BAND:RES", " %.3fnm", 365, 5, Arg::Resolution},
    {"SENS:BAND:RES", " %.3fnm", 366, 5, Arg::Resolution},
    {"RESLN0.01", "", 367, 0, Arg::None},
    {"RESWL=SHUTTER", "", 1148, 0, Arg::None},
    {"RESWL=NONE", "", 1149, 0, Arg::None},
    {"SENS:SENSe", " %d", 70, 1, Arg::Sensitivity},
    {"SENS:SENSe 0", "", 768, 0, Arg::None},
    {"SENS:SENSe 1", "", 769, 0, Arg::None},
    {"SENS:SENSe 2", "", 770, 0, Arg::None},
    {"SENS:SENSe 3", "", 771, 0, Arg::None},
    {"SENS:SENSe 4", "", 772, 0, Arg::None},
    {"SENS:SENSe 5", "", 773, 0, Arg::None},
    {"SENS:SENSe 6", "", 1201, 0, Arg::None},
    {"SENS:CHOPper 0", "", 1159, 0, Arg::None},
    {"SENS:CHOPper 2", "", 1161, 0, Arg::None},
    {"SENS:AVERage:COUNt", " %d", 71, 1, Arg::Average},
    {"SENS:SWE:POIN:AUTO ON", "", 606, 0, Arg::None},
    {"SENS:SWE:POIN", " %d", 72, 2, Arg::Points},
    {"SENS:SWE:STEP", " %.3fnm", 733, 5, Arg::Interval},
    {"SENS:CORR:RVEL:MED", " %d", 555, 1, Arg::Unbuilt},
    {"UNIT:X", " %d", 614, 1, Arg::XAxis},
    {"TRIG:STAT 0", "", 77, 0, Arg::None},
    {"TRIG:PHOL:HTIM", " %dms", 78, 1, Arg::PeakHold},
    {"TRIG:STAT 1", "", 79, 0, Arg::None},
    {"TRIG:SLOP", " %d", 893, 1, Arg::Unbuilt},
    {"TRIG:DEL", " %.1fus", 894, 5, Arg::Unbuilt},
    {"SENS:SWE:TLSS", " %d", 653, 1, Arg::Unbuilt},
    {"SENS:SETT:CORR", " %d", 670, 1, Arg::Unbuilt},
    {"SENS:SETT:SMO", " %d", 1313, 2, Arg::Smoothing},
    {"SENS:SETT:FCON", " %d", 1380, 1, Arg::Unbuilt},
    {"SENS:SETT:FIB", " %d", 1350, 1, Arg::Unbuilt},
    {"SENS:BAND:RMOD", " %d", 1363, 1, Arg::Unbuilt},
    {"SENS:BAND:RMOD", " %d", 1364, 1, Arg::Unbuilt},
    {"SENS:BAND:RMOD", " %d", 1365, 1, Arg::Unbuilt},
    {"TRACe:ACTive TR", "", 473, 1, Arg::Special},
    {"TRACe:ACTive TRA", "", 146, 0, Arg::None},
    {"TRACe:ACTive TRB", "", 154, 0, Arg::None},
    {"TRACe:ACTive TRC", "", 160, 0, Arg::None},
    {"TRACe:ACTive TRD", "", 474, 0, Arg::None},
    {"TRACe:ACTive TRE", "", 475, 0, Arg::None},
    {"TRACe:ACTive TRF", "", 476, 0, Arg::None},
    {"TRACe:ACTive TRG", "", 477, 0, Arg::None},
    {"TRACe:STATe", "", 145, 1, Arg::Special},
    {"TRACe:ATTRibute 0", "", 141, 0, Arg::None},
    {"TRACe:ATTRibute 1", "", 142, 0, Arg::None},
    {"TRACe:ATTRibute 2", "", 471, 0, Arg::None},
    {"TRACe:ATTRibute 3", "", 472, 0, Arg::None},
    {"TRACe:ATTRibute ", "", 470, 1, Arg::Special},
    {"TRACe:ATTRibute 0", "", 144, 0, Arg::None},
    {"TRACe:ATTRibute 5", "", 777, 0, Arg::None},
    {"CALC:MATH:TRC A-B(LOG)", "", 168, 0, Arg::None},
    {"CALC:MATH:TRC B-A(LOG)", "", 169, 0, Arg::None},
    {"CALC:MATH:TRC A+B(LOG)", "", 856, 0, Arg::None},
    {"CALC:MATH:TRC A+B(LIN)", "", 172, 0, Arg::None},
    {"CALC:MATH:TRC A-B(LIN)", "", 170, 0, Arg::None},
    {"CALC:MATH:TRC B-A(LIN)", "", 171, 0, Arg::None},
    {"CALC:MATH:TRC 1-K(A/B);TRC:K", " %.4f", 460, 5, Arg::CalcK},
    {"CALC:MATH:TRC 1-K(B/A);TRC:K", " %.4f", 461, 5, Arg::CalcK},
    {"CALC:MATH:TRF C-D(LOG)", "", 827, 0, Arg::None},
    {"CALC:MATH:TRF D-C(LOG)", "", 828, 0, Arg::None},
    {"CALC:MATH:TRF C+D(LOG)", "", 857, 0, Arg::None},
    {"CALC:MATH:TRF D-E(LOG)", "", 829, 0, Arg::None},
    {"CALC:MATH:TRF E-D(LOG)", "", 830, 0, Arg::None},
    {"CALC:MATH:TRF D+E(LOG)", "", 858, 0, Arg::None},
    {"CALC:MATH:TRF C+D(LIN)", "", 831, 0, Arg::None},
    {"CALC:MATH:TRF C-D(LIN)", "", 832, 0, Arg::None},
    {"CALC:MATH:TRF D-C(LIN)", "", 833, 0, Arg::None},
    {"CALC:MATH:TRF D+E(LIN)", "", 834, 0, Arg::None},
    {"CALC:MATH:TRF D-E(LIN)", "", 835, 0, Arg::None},
    {"CALC:MATH:TRF E-D(LIN)", "", 836, 0, Arg::None},
    {"CALC:MATH:TRG C-F(LOG)", "", 837, 0, Arg::None},
    {"CALC:MATH:TRG F-C(LOG)", "", 838, 0, Arg::None},
    {"CALC:MATH:TRG C+F(LOG)", "", 859, 0, Arg::None},
    {"CALC:MATH:TRG E-F(LOG)", "", 839, 0, Arg::None},
    {"CALC:MATH:TRG F-E(LOG)", "", 840, 0, Arg::None},
    {"CALC:MATH:TRG E+F(LOG)", "", 860, 0, Arg::None},
    {"CALC:MATH:TRG C+F(LIN)", "", 841, 0, Arg::None},
    {"CALC:MATH:TRG C-F(LIN)", "", 842, 0, Arg::None},
    {"CALC:MATH:TRG F-C(LIN)", "", 843, 0, Arg::None},
    {"CALC:MATH:TRG E+F(LIN)", "", 844, 0, Arg::None},
    {"CALC:MATH:TRG E-F(LIN)", "", 845, 0, Arg::None},
    {"CALC:MATH:TRG F-E(LIN)", "", 846, 0, Arg::None},
    {"CALC:MATH:TRG NORMA", "", 847, 0, Arg::None},
    {"CALC:MATH:TRG NORMB", "", 848, 0, Arg::None},
    {"CALC:MATH:TRG NORMC", "", 849, 0, Arg::None},
    {"TRACe:ATTRibute 0", "", 850, 0, Arg::None},
    {"TRACe:ATTRibute 0", "", 851, 0, Arg::None},
    {"TRACe:ATTRibute 0", "", 852, 0, Arg::None},
    {"TRACe:ATTRibute 0", "", 1119, 0, Arg::None},
    {"TRACe:ATTRibute 0", "", 853, 0, Arg::None},
    {"TRACe:ATTRibute 0", "", 854, 0, Arg::None},
    {"TRACe:ATTRibute 0", "", 855, 0, Arg::None},
    {"CALC:MATH:TR", "", 778, 1, Arg::Special},
    {"CALC:MATH:TR", "", 779, 1, Arg::Special},
    {"CALC:MATH:TR", "", 608, 1, Arg::Special},
    {"TRACe:ATTRibute 0", "", 609, 0, Arg::None},
    {"TRACe:ATTRibute 0", "", 610, 0, Arg::None},
    {"TRAC:COPY TR", "", 486, 1, Arg::Special},
    {"TRAC:DEL TRA", "", 814, 0, Arg::None},
    {"TRAC:DEL TRB", "", 815, 0, Arg::None},
    {"TRAC:DEL TRC", "", 816, 0, Arg::None},
    {"TRAC:DEL TRD", "", 817, 0, Arg::None},
    {"TRAC:DEL TRE", "", 818, 0, Arg::None},
    {"TRAC:DEL TRF", "", 819, 0, Arg::None},
    {"TRAC:DEL TRG", "", 820, 0, Arg::None},
    {"TRAC:DEL:ALL", "", 183, 0, Arg::None},
    {"DISP:SPL 0", "", 178, 0, Arg::None},
    {"DISP:SPL 1", "", 179, 0, Arg::None},
    {"DISP:SPL 1;:DISP:SPL:POS TRA,", "", 184, 184, Arg::SplitPane},
    {"DISP:SPL 1;:DISP:SPL:POS TRB,", "", 185, 184, Arg::SplitPane},
    {"DISP:SPL 1;:DISP:SPL:POS TRC,", "", 186, 184, Arg::SplitPane},
    {"DISP:SPL 1;:DISP:SPL:POS TRD,", "", 536, 184, Arg::SplitPane},
    {"DISP:SPL 1;:DISP:SPL:POS TRE,", "", 537, 184, Arg::SplitPane},
    {"DISP:SPL 1;:DISP:SPL:POS TRF,", "", 538, 184, Arg::SplitPane},
    {"DISP:SPL 1;:DISP:SPL:POS TRG,", "", 539, 184, Arg::SplitPane},
    {"DISP:SPL 1;:DISP:SPL:HOLD:UPPer", " %d", 187, 1, Arg::PaneHoldUpper},
    {"DISP:SPL 1;:DISP:SPL:HOLD:LOWer", " %d", 188, 1, Arg::PaneHoldLower},
    {"DISP:TEXT:DATA", "", 200, 7, Arg::Special},
    {"SENSe:WAVelength:CENTer ", "", 82, 5, Arg::Special},
    {"SENSe:WAVelength:SPAN ", "", 93, 5, Arg::Special},
    {"DISP:TRAC:Y1:RLEV", "", 83, 61, Arg::RefLevel},
    {"CALC:LMAR:X", "", 89, 5, Arg::Special},
    {"CALC:LMAR:X", "", 90, 5, Arg::Special},
    {"CALC:LMAR:AOFF", "", 95, 0, Arg::None},
    {"CAL:ALIG", "", 693, 0, Arg::None},
    {"CAL:WAV:EXT:SOUR", "", 345, 0, Arg::None},
    {"ABOR", "", 694, 0, Arg::None},
    {"ABOR", "", 346, 0, Arg::None},
    {"CAL:WAV:OFF:TABL", "", 623, 1, Arg::Special},
    {"CAL:POW:OFF:TABL", "", 630, 1, Arg::Special},
    {"SENS:CORR:WAV:SHIF", " %.3fnm", 320, 5, Arg::Unbuilt},
    {"SENS:CORR:LEV:SHIF", " %.3f", 321, 5, Arg::Unbuilt},
    {"TRIG:INP", " %d", 1232, 1, Arg::Unbuilt},
    {"TRIG:INP", " %d", 1233, 1, Arg::Unbuilt},
    {"TRIG:OUTP", " %d", 56, 1, Arg::Unbuilt},
    {"TRIG:OUTP", " %d", 57, 1, Arg::Unbuilt},
    {"", "", 322, 0, Arg::None},
    {"SYST:DISP:UNC", " %d", 698, 1, Arg::Unbuilt},
    {"SYST:BUZZ:CLIC", " %d", 216, 1, Arg::Unbuilt},
    {"SYST:BUZZ:WARN", " %d", 217, 1, Arg::Unbuilt},
    {"UNIT:POW:DIG 1", "", 487, 0, Arg::None},
    {"UNIT:POW:DIG 2", "", 488, 0, Arg::None},
    {"UNIT:POW:DIG 3", "", 489, 0, Arg::None},
    {"SYST:DISP:TRAN", " %d", 648, 1, Arg::Unbuilt},
    {"*RST;:CAL:ZERO OFF", "", 624, 0, Arg::None},
    {"CAL:ZERO:INT", " %d", 1361, 1, Arg::Special},
    {"", "", 1367, 0, Arg::None},
    {"", "", 1372, 0, Arg::None},
    {"", "", 1370, 0, Arg::None},
    {"", "", 1374, 0, Arg::None},
    {"SENS:SWE:SPE", " %d", 1395, 1, Arg::Unbuilt},
    {"TRIG:INP", " %d", 1397, 1, Arg::Unbuilt},
};

constexpr RemoteActionRow kAutomatics[] = {
    {"DISP:TRAC:Y:NMAS", " %d", 182, 1, Arg::NoiseMask},
    {"CAL:ZERO", " %d", 322, 1, Arg::Special},
    {"CALC:MARK:MAX:SCEN:AUTO", " %d", 42, 1, Arg::Unbuilt},
    {"CALC:MARK:MAX:SRL:AUTO", " %d", 64, 1, Arg::Unbuilt},
    {"DISP:TRAC:Y2:SCAL:AUTO", " %d", 68, 1, Arg::Unbuilt},
    {"CALC:MARK:AUTO", " %d", 103, 1, Arg::AutoSearch},
    {"CALC:IMM:AUTO", " %d", 119, 1, Arg::AutoAnalysis},
};

template <size_t N>
constexpr bool RowsWellFormed(const RemoteActionRow (&rows)[N]) {
  for (size_t i = 0; i < N; ++i) {
    const RemoteActionRow& r = rows[i];
    if (std::string_view(r.command).size() > 127 || std::string_view(r.format).size() > 15) {
      return false;
    }
    // A format needs a value to format, and a value of a setting needs its type.
    if (!std::string_view(r.format).empty() && r.argType == kArgNone) return false;
    const bool valued = r.arg != Arg::None && r.arg != Arg::Special && r.arg != Arg::Unbuilt;
    if (valued && r.argType == kArgNone) return false;
    for (size_t j = 0; j < i; ++j) {
      if (rows[j].id == r.id) return false;
    }
  }
  return true;
}
static_assert(std::size(kRows) == kRemoteActionRows, "199 mirrored actions");
static_assert(std::size(kAutomatics) == kAutomaticsRows, "seven automatics");
static_assert(RowsWellFormed(kRows) && RowsWellFormed(kAutomatics),
              "each action once; commands and formats fit their fields; formats have values");

}  // namespace

std::span<const RemoteActionRow> RemoteActionTable() {
  return kRows;
}

std::span<const RemoteActionRow> AutomaticsTable() {
  return kAutomatics;
}

const RemoteActionRow* FindRemoteAction(int id) {
  for (std::span<const RemoteActionRow> table : {RemoteActionTable(), AutomaticsTable()}) {
    const auto it = std::find_if(table.begin(), table.end(),
                                 [id](const RemoteActionRow& r) { return r.id == id; });
    if (it != table.end()) return &*it;
  }
  return nullptr;
}

}  // namespace vq
