// The sweep reads over a scripted analyzer: a new sweep read whole, then only its new points; the
// automatic sweep's conditions taken within their limits.
#include <gtest/gtest.h>

#include <cstring>

#include "link/link.h"
#include "link/remote_actions.h"
#include "link/reply_framing.h"
#include "support/instrument_fixture.h"
#include "support/scripted_transport.h"

namespace vq {
namespace {

class SweepPollTest : public StartedInstrumentTest {
 protected:
  void SetUp() override {
    StartedInstrumentTest::SetUp();
    UseScriptedTransport(script);
    ASSERT_EQ(LinkOpen("analyzer", 10001), kLinkDone);
    g().link.connected = 1;
    g().conditions.setting.samplingPoints = 2001;
  }
  // A block of `count` doubles valued first, first + 1, ...
  static std::string Block(int count, double first) {
    std::string bytes(static_cast<size_t>(count) * sizeof(double), '\0');
    for (int i = 0; i < count; ++i) {
      const double v = first + i;
      std::memcpy(&bytes[static_cast<size_t>(i) * sizeof v], &v, sizeof v);
    }
    return BlockHeader(bytes.size()) + bytes + "\r\n";
  }
  TransportScript script;
};

TEST_F(SweepPollTest, AFewerPointCountReadsTheNewSweepWholeThenOnlyNewPoints) {
  LinkState& link = g().link;
  link.sweepFlag = 1;
  link.remoteSweep = kActSweepSingle;
  link.lastPoint = 1001;  // points 1 to 1000 were read
  script.Answer("INIT:SPO?", {Arrive("500\r\n")});
  script.Answer(":FORM REAL,64;:TRAC:YLIN? TRA", {Arrive(Block(500, 1.0))});
  script.Answer("INIT:SPO?", {Arrive("800\r\n")});
  script.Answer(":FORM REAL,64;:TRAC:YLIN? TRA,501,800", {Arrive(Block(300, 501.0))});
  script.Answer("INIT:SPO?", {Arrive("800\r\n")});  // nothing new: nothing read
  for (int poll = 0; poll < 3; ++poll) FetchSweepData(false, false, false, false);
  EXPECT_EQ(script.commands,
            (std::vector<std::string>{"INIT:SPO?", ":FORM REAL,64;:TRAC:YLIN? TRA", "INIT:SPO?",
                                      ":FORM REAL,64;:TRAC:YLIN? TRA,501,800", "INIT:SPO?"}));
  EXPECT_EQ(link.lastPoint, 801);
  const Trace& a = g().traces.traces[0];
  for (int i : {0, 499, 500, 799}) EXPECT_DOUBLE_EQ(a.level[i], i + 1.0) << i;
  EXPECT_EQ(link.connected, 1);
}

TEST_F(SweepPollTest, AutoSetupTakesTheConditionsWithinTheirLimits) {
  MeasCondition& c = g().conditions.setting;
  c.frequencyMode = 0;
  c.logScale = 10;
  c.samplingAuto = 0;  // entered: the point count is not derived from span and resolution
  const int32_t points = c.samplingPoints;
  const uint16_t sensitivity = c.sensitivity;
  const std::pair<const char*, const char*> answers[] = {
      {"SENSe:WAVelength:CENTer?", "+1.55100000E-006"},
      {"SENSe:WAVelength:SPAN?", "+2.00000000E-008"},
      {"SENSe:WAVelength:STAR?", "+1.54100000E-006"},
      {"SENSe:WAVelength:STOP?", "+1.56100000E-006"},
      {"DISP:TRACe:Y1:RLEVel?", "-5.0"},
      {"SENSe:BANDwidth:RESolution?", "+5.00000000E-011"},
      {"SENSe:SWEep:POINts?", "100"},  // below 101: kept as it is
      {"SENSe:SENSe?", "9"},           // beyond 6: kept as it is
  };
  for (const auto& [query, answer] : answers)
    script.Answer(query, {Arrive(std::string(answer) + "\r\n")});
  EXPECT_EQ(ReadAutoSetup(), 1);
  EXPECT_NEAR(c.centre, 1551.0, 1e-9);
  EXPECT_NEAR(c.span, 20.0, 1e-9);
  EXPECT_DOUBLE_EQ(c.refLevel, -5.0);
  EXPECT_NEAR(c.resolution, 0.05, 1e-12);
  EXPECT_EQ(c.samplingPoints, points);
  EXPECT_EQ(c.sensitivity, sensitivity);
  // A failed query ends it with 0 and drops the link.
  script.Answer("SENSe:WAVelength:CENTer?", {CloseHere()});
  EXPECT_EQ(ReadAutoSetup(), 0);
  EXPECT_EQ(g().link.connected, 0);
}

}  // namespace
}  // namespace vq
