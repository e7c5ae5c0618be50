// The link operations over a scripted analyzer: framing, drains, limits, result codes, the
// guarded query, the command formats, the error queue, the busy icon and the one-shot timers.
#include "link/link.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "support/instrument_fixture.h"
#include "support/scripted_transport.h"

namespace vq {
namespace {

class LinkTest : public InstrumentTest {
 protected:
  void SetUp() override {
    InstrumentTest::SetUp();
    UseScriptedTransport(script);
    ASSERT_EQ(LinkOpen("analyzer", 10001), kLinkDone);
  }

  int Exchange(const std::string& command, int timeoutSeconds = 5) {
    return LinkExchange(command, reply, timeoutSeconds);
  }

  TransportScript script;
  LinkReply reply;
};

TEST_F(LinkTest, TextRepliesEndWithTheTerminatorOfTheModeAndStaleBytesAreDrainedFirst) {
  EXPECT_EQ(script.host, "analyzer");
  EXPECT_EQ(g().link.open, 1);

  // CR and LF in separate packets, with a pause between them: complete only after the LF.
  script.unasked = "late reply\r\n";
  script.Answer("*IDN?", {Arrive("A,B\r"), StallFor(120), Arrive("\n")});
  const int before = host.keepAlives;
  ASSERT_EQ(Exchange("*IDN?"), kLinkDone);
  EXPECT_EQ(reply.Text(), "A,B\r\n");
  EXPECT_EQ(reply.bytes[reply.size], '\0');
  EXPECT_EQ(script.drained, "late reply\r\n");
  EXPECT_GE(host.keepAlives - before, 1) << "the screen is kept alive while the reply waits";
  EXPECT_EQ(g().link.exchangeDepth, 0);

  // LF alone: a CR is data; CR alone: the reply ends at the first CR at its end.
  g().link.terminatorMode = kTerminatorLf;
  script.Answer("A?", {Arrive("1\r"), Arrive("2\n")});
  ASSERT_EQ(Exchange("A?"), kLinkDone);
  EXPECT_EQ(reply.Text(), "1\r2\n");
  g().link.terminatorMode = kTerminatorCr;
  script.Answer("B?", {Arrive("3\r")});
  ASSERT_EQ(Exchange("B?"), kLinkDone);
  EXPECT_EQ(reply.Text(), "3\r");
  g().link.terminatorMode = kTerminatorCrLf;
  EXPECT_EQ(script.sent, "*IDN?\r\nA?\nB?\r");
}

TEST_F(LinkTest, BlockRepliesCompleteByTheirCountAndLeaveNothingForTheNextQuery) {
  g().link.blockReplyMode = 1;
  // Header split over packets, no terminator behind the data; a trailing LF follows.
  script.Answer(":TRAC:Y? TRA",
                {Arrive("#"), Arrive("1"), Arrive("7abc"), Arrive("defg"), Arrive("\n")});
  ASSERT_EQ(Exchange(":TRAC:Y? TRA"), kLinkDone);
  EXPECT_EQ(reply.Text(), "#17abcdefg");
  script.Answer(":TRAC:Y? TRB", {Arrive("#0")});
  ASSERT_EQ(Exchange(":TRAC:Y? TRB"), kLinkDone);
  EXPECT_EQ(reply.Text(), "#0");
  // A reply without "#" in block mode is a text line (a trace without data).
  script.Answer(":TRAC:Y? TRC", {Arrive("0\r"), Arrive("\n")});
  ASSERT_EQ(Exchange(":TRAC:Y? TRC"), kLinkDone);
  EXPECT_EQ(reply.Text(), "0\r\n");
  // A malformed header fails the receive; what followed it is drained.
  script.Answer(":TRAC:Y? TRD", {Arrive("#x12"), Arrive("junk\r\n")});
  EXPECT_EQ(Exchange(":TRAC:Y? TRD"), kLinkReceiveFailed);

  g().link.blockReplyMode = 0;
  script.Answer("*OPC?", {Arrive("1\r\n")});
  ASSERT_EQ(Exchange("*OPC?"), kLinkDone);
  EXPECT_EQ(reply.Text(), "1\r\n");
  EXPECT_EQ(script.drained, "\njunk\r\n");
}

TEST_F(LinkTest, ReplyLimitCloseAndReceiveErrorGiveTheirCodes) {
  // A reply that just fits, then one a byte over: 5 with the prefix zero-terminated.
  script.Answer("FIT?", {Arrive(std::string(kReplyBufferBytes - 2, 'x') + "\r\n")});
  ASSERT_EQ(Exchange("FIT?"), kLinkDone);
  EXPECT_EQ(reply.size, kReplyBufferBytes);
  const size_t first = kReplyBufferBytes - 100;
  script.Answer("BIG?", {Arrive(std::string(first, 'y')), Arrive(std::string(99, 'y') + "\r\n")});
  ASSERT_EQ(Exchange("BIG?"), kLinkTooLong);
  EXPECT_EQ(reply.size, first);
  EXPECT_EQ(reply.bytes[first], '\0');
  EXPECT_EQ(reply.Text(), std::string(first, 'y'));

  script.Answer("ERR?", {Arrive("12"), FailHere()});
  EXPECT_EQ(Exchange("ERR?"), kLinkReceiveFailed);

  script.Answer("GONE?", {Arrive("#15ab"), CloseHere()});
  g().link.blockReplyMode = 1;
  EXPECT_EQ(Exchange("GONE?", 0), kLinkClosed);
}

TEST_F(LinkTest, TimeOutsCountFromTheStartOfTheExchange) {
  script.Answer("WAIT?", {StallFor(150), Arrive("ok\r\n")});
  EXPECT_EQ(Exchange("WAIT?", 0), kLinkDone) << "time-out 0 waits for ever";

  // A byte at 600 ms does not restart the second.
  script.Answer("SLOW?", {StallFor(600), Arrive("1"), StallFor(-1)});
  const int64_t start = MonotonicMs();
  EXPECT_EQ(Exchange("SLOW?", 1), kLinkTimeout);
  const int64_t took = MonotonicMs() - start;
  EXPECT_GE(took, 1000);
  EXPECT_LT(took, 1500);
}

int failedCode = 0;

TEST_F(LinkTest, AFailedGuardedQueryDropsTheConnectionAndRunsTheCleanUp) {
  failedCode = 0;
  g().link.onQueryFailed = [](int code) { failedCode = code; };
  g().link.connected = 1;
  script.Answer("*OPC?", {Arrive("1\r\n")});
  ASSERT_EQ(LinkQuery("*OPC?", 1), kLinkDone);
  EXPECT_EQ(g().link.reply.Text(), "1\r\n");
  EXPECT_EQ(failedCode, 0);

  script.Answer("*OPC?", {CloseHere()});
  EXPECT_EQ(LinkQuery("*OPC?", 1), kLinkClosed);
  EXPECT_EQ(failedCode, kLinkClosed);
  EXPECT_EQ(g().link.connected, 0);
  EXPECT_EQ(g().link.open, 0);
  EXPECT_TRUE(script.closed);
  EXPECT_EQ(g().link.transport, nullptr);
  // Nothing is left to send on.
  EXPECT_EQ(LinkSend("*CLS"), kLinkNotConnected);
  EXPECT_EQ(Exchange("*OPC?"), kLinkNotConnected);
}

TEST_F(LinkTest, SendFailuresCloseTheLink) {
  script.sendCode = kLinkSendFailed;
  EXPECT_EQ(LinkSend("*CLS"), kLinkSendFailed);
  EXPECT_EQ(g().link.open, 0);
  EXPECT_TRUE(script.closed);
}

TEST_F(LinkTest, CommandFormatSwitchesSendOnlyWhenTheFormatChanges) {
  g().link.commandFormat = 1;
  EXPECT_EQ(SetCommandFormat(0), kLinkDone);
  EXPECT_EQ(SetCommandFormat(0), kLinkDone);
  EXPECT_EQ(SetCommandFormat(1), kLinkDone);
  EXPECT_EQ(script.commands, (std::vector<std::string>{"CFORM 1", ":SYST:COMM:CFOR 0"}));
  EXPECT_EQ(g().link.commandFormat, 1);
}

TEST_F(LinkTest, CheckCommandInBothFormats) {
  // Standard format: an accepted command makes the reply longer than three characters; the
  // format the link was in comes back.
  g().link.commandFormat = 1;
  script.Answer("*CLS ; *ESR? ; :SENS:SENS HIGH1 ; *ESR?", {Arrive("0;0\r\n")});
  EXPECT_EQ(CheckCommand(":SENS:SENS HIGH1", 0), 1);
  script.Answer("*CLS ; *ESR? ; :BOGUS ; *ESR?", {Arrive("0\r\n")});
  EXPECT_EQ(CheckCommand(":BOGUS", 0), 0);
  EXPECT_EQ(script.commands.front(), "CFORM 1");
  EXPECT_EQ(script.commands.back(), ":SYST:COMM:CFOR 0");
  EXPECT_EQ(g().link.commandFormat, 1);

  // Older format: the status byte after the command, bit 3 set = not understood.
  script.commands.clear();
  script.Answer("SPOLL?", {Arrive("0\r\n")});
  script.Answer("SPOLL?", {Arrive("24\r\n")});
  EXPECT_EQ(CheckCommand("HD0", 1), 0);
  script.Answer("SPOLL?", {Arrive("8\r\n")});
  script.Answer("SPOLL?", {Arrive("16\r\n")});
  EXPECT_EQ(CheckCommand("HD0", 1), 1);
  EXPECT_EQ(script.commands,
            (std::vector<std::string>{"SPOLL?", "HD0", "SPOLL?", "SPOLL?", "HD0", "SPOLL?"}));
}

TEST_F(LinkTest, ErrorQueueShowsTheNumberAndActsOnSystemAndSweepErrors) {
  g().link.commandFormat = 1;
  g().link.blockReplyMode = 1;
  script.Answer(":SYST:ERR?", {Arrive("+0,\"No error\"\r\n")});
  EXPECT_EQ(QueryErrorQueue(), 0);
  EXPECT_EQ(g().link.blockReplyMode, 0);
  EXPECT_EQ(g().messages.currentMessage, 0);

  // 50 to 53 stop a running sweep only with the long time-outs.
  g().conditions.sweepState = 2;
  script.Answer(":SYST:ERR?", {Arrive("51,\"Sweep\"\r\n")});
  EXPECT_EQ(QueryErrorQueue(), 0);
  EXPECT_EQ(g().conditions.sweepState, 2);
  EXPECT_EQ(g().messages.currentMessage, 51);
  g().link.longTimeouts = true;
  script.Answer(":SYST:ERR?", {Arrive("52\r\n")});
  EXPECT_EQ(QueryErrorQueue(), 0);
  EXPECT_EQ(g().conditions.sweepState, 0);
  EXPECT_EQ(script.commands.back(), ":ABOR");

  script.Answer(":SYST:ERR?", {Arrive("230,\"System\"\r\n")});
  EXPECT_EQ(QueryErrorQueue(), 0);
  EXPECT_EQ(g().link.analyzerSystemError, 1);
  EXPECT_EQ(g().link.remoteStateWord, 2);
  EXPECT_EQ(g().link.remoteSweep, 33);
  EXPECT_EQ(g().messages.currentMessage, 230);
  EXPECT_EQ(script.commands,
            (std::vector<std::string>{"CFORM 1", ":SYST:ERR?", ":SYST:ERR?", ":SYST:ERR?", ":ABOR",
                                      ":SYST:ERR?", ":ABOR"}));

  script.Answer(":SYST:ERR?", {CloseHere()});
  EXPECT_EQ(QueryErrorQueue(), kLinkClosed);
}

TEST_F(LinkTest, BusyIconStaysUntilTimer13AndLinkTimersAreOneShot) {
  ASSERT_EQ(LinkSend("*CLS"), kLinkDone);
  EXPECT_EQ(host.statusIcon, StatusIcon::Busy);
  ASSERT_EQ(host.timers.count(kTimerLinkBusy), 1u);
  EXPECT_EQ(host.timers[kTimerLinkBusy], 50);
  EXPECT_EQ(g().link.busy, 1);
  BusyIndicatorStep();
  EXPECT_EQ(host.statusIcon, StatusIcon::Busy) << "not before the 50 ms are over";

  WindowProc(WM_TIMER, kTimerLinkBusy, 0);
  EXPECT_EQ(host.statusIcon, StatusIcon::Link);
  EXPECT_EQ(host.timers.count(kTimerLinkBusy), 0u);
  EXPECT_EQ(g().link.busy, 0);

  StartLinkTimer(kTimerLinkPoll, 200);
  EXPECT_FALSE(LinkTimerExpired(kTimerLinkPoll));
  WindowProc(WM_TIMER, kTimerLinkPoll, 0);
  EXPECT_TRUE(LinkTimerExpired(kTimerLinkPoll));
  EXPECT_EQ(host.timers.count(kTimerLinkPoll), 0u) << "fires once";
  StartLinkTimer(kTimerLinkPoll, 200);
  EXPECT_FALSE(LinkTimerExpired(kTimerLinkPoll));
  StopLinkTimer(kTimerLinkPoll);
  WindowProc(WM_TIMER, kTimerLinkPoll, 0);
  EXPECT_FALSE(LinkTimerExpired(kTimerLinkPoll)) << "a stale tick of a stopped timer";

  // After the link closed, the busy icon gives way to no icon at all.
  ASSERT_EQ(LinkSend("*CLS"), kLinkDone);
  LinkClose();
  WindowProc(WM_TIMER, kTimerLinkBusy, 0);
  EXPECT_EQ(host.statusIcon, StatusIcon::None);
}

TEST_F(LinkTest, OpenLeavesAnUnconfirmedTransportForTheCallerToClose) {
  LinkClose();
  script.connectCode = kLinkSetupFailed;
  EXPECT_EQ(LinkOpen("10.0.0.9", 10001), kLinkSetupFailed);
  EXPECT_EQ(g().link.open, 0);
  EXPECT_NE(g().link.transport, nullptr);
  LinkClose();
  EXPECT_TRUE(script.closed);
  EXPECT_EQ(g().link.transport, nullptr);
}

}  // namespace
}  // namespace vq
