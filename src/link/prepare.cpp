// The fixed command sequence that puts a freshly identified analyzer under the viewer's control.
#include "instrument.h"
#include "link/connection.h"
#include "link/link.h"

namespace vq {

namespace {

constexpr int kPrepareQuerySeconds = 10;

// What runs locally stops first: a stored program, and the viewer's own sweep.
void StopLocalWork() {
  Instrument& g = *GInstrument;
  g.program.running = 0;
  if (g.conditions.sweepState != 0) {
    g.host->Sleep(500);
    g.conditions.sweepState = 0;
    g.frame.redrawFlags = kRedrawAll;
  }
}

}  // namespace

int PrepareAnalyzer() {
  LinkState& link = GInstrument->link;
  StopLocalWork();
  for (int i = 0; i < 3; ++i) LinkSend(":ABOR");
  LinkSend("PREXT");
  LinkSend("COPY0");
  LinkSend("STP");
  // The analyzer is taken to be in the standard format; the older one is then switched on.
  link.commandFormat = 0;
  link.blockReplyMode = 0;
  SetCommandFormat(1);
  LinkSend("TESTADDRESSMODE");
  LinkSend("HD0");
  int code = LinkQuery("RSMNORM?", kPrepareQuerySeconds);
  const bool stateRead = code == kLinkDone;
  if (stateRead && link.reply.Text().starts_with('1')) {
    link.remoteStateWord = 2;
    EnterAnalyzerSystemError();
  }
  // A failed query has closed the link: the remaining commands go nowhere and fail quietly.
  SetCommandFormat(0);
  if (link.remoteStateWord != 2 && stateRead) {
    code = LinkQuery(":SYST:ERR?", kPrepareQuerySeconds);
  }
  link.remoteSweep = 0;
  link.offsetAdjustPending = 0;
  if (code == kLinkDone) link.connected = 1;
  return code;
}

}  // namespace vq
