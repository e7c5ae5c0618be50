// Running an analysis item: the dispatch to its family, the shown result or message.
#include "analysis/analysis_execute.h"

#include "analysis/filter.h"
#include "analysis/light_source.h"
#include "analysis/spectral_width.h"
#include "analysis/wdm.h"
#include "instrument.h"
#include "menu/messages.h"

namespace vq {

bool AnalysisItemAvailable(int item) {
  return (item >= kItemThresh && item <= kItemNotch) || (item >= kItemDfbLd && item <= kItemPmd) ||
         item == kItemColor || item == kItemWdm || item == kItemEdfaNf ||
         (item >= kItemFilterPk && item <= kItemWdmFilBtm);
}

int ExecuteAnalysis(int item) {
  Instrument& g = *GInstrument;
  AnalysisState& a = g.analysis;
  if (!AnalysisItemAvailable(item)) return -1;
  a.item = static_cast<uint16_t>(item);
  int code = 0;
  switch (item) {
    case kItemThresh:
    case kItemEnvelope:
    case kItemRms:
    case kItemPeakRms:
    case kItemNotch:
      code = RunWidthAnalysis(item);
      break;
    case kItemDfbLd:
      code = RunDfbLd();
      break;
    case kItemFpLd:
      code = RunFpLd();
      break;
    case kItemLed:
      code = RunLed();
      break;
    case kItemSmsr:
      code = RunSmsr();
      break;
    case kItemPower:
      code = RunPower();
      break;
    case kItemPmd:
      code = RunPmd();
      break;
    case kItemColor:
      code = RunColor();
      break;
    case kItemWdm:
      code = RunWdmAnalysis();
      break;
    case kItemEdfaNf:
      code = RunEdfaNfAnalysis();
      break;
    case kItemFilterPk:
      code = RunFilterPk();
      break;
    case kItemFilterBtm:
      code = RunFilterBtm();
      break;
    case kItemWdmFilPk:
    case kItemWdmFilBtm:
      code = RunWdmFilter(item == kItemWdmFilBtm);
      break;
    default:
      return -1;
  }
  g.frame.redrawFlags |= kRedrawConditions | kRedrawBackground | kRedrawDynamicOnly;
  if (code != 0) {
    a.resultKind = kResultNone;
    ShowMessage(code);
  }
  return code;
}

}  // namespace vq
