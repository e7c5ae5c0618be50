// The link's result codes over a real socket against the simulator and its faults.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "link/link.h"
#include "link/reply_framing.h"
#include "platform/clock.h"
#include "platform/md5.h"
#include "support/instrument_fixture.h"
#include "support/vqsim_process.h"

namespace vq {
namespace {

class LinkVqsimTest : public InstrumentTest {
 protected:
  void TearDown() override {
    LinkClose();
    InstrumentTest::TearDown();
  }

  // Opens the link to the simulator and logs in with its default account.
  void Connect(VqsimProcess& sim) {
    ASSERT_NE(sim.port(), 0) << sim.firstLine();
    ASSERT_EQ(LinkOpen("127.0.0.1", static_cast<uint16_t>(sim.port())), kLinkDone);
    ASSERT_EQ(Exchange("open \"user\""), kLinkDone);
    ASSERT_EQ(Exchange("AUTHENTICATE CRAM-MD5 OK."), kLinkDone);
    std::string challenge(reply.Text());
    while (!challenge.empty() && (challenge.back() == '\r' || challenge.back() == '\n')) {
      challenge.pop_back();
    }
    ASSERT_EQ(Exchange(Md5Hex(challenge + "pass")), kLinkDone);
    ASSERT_EQ(reply.Text(), "ready\r\n");
  }

  int Exchange(const std::string& command, int timeoutSeconds = 5) {
    return LinkExchange(command, reply, timeoutSeconds);
  }

  int BlockQuery(const std::string& command) {
    g().link.blockReplyMode = 1;
    const int code = Exchange(command);
    g().link.blockReplyMode = 0;
    return code;
  }

  LinkReply reply;
};

TEST_F(LinkVqsimTest, SplitTerminatorWholeBlockAndADrippedBlockHeaderComplete) {
  {
    VqsimProcess sim({"--fault", "split-crlf"});
    Connect(sim);
    ASSERT_EQ(Exchange("*IDN?"), kLinkDone);
    EXPECT_TRUE(reply.Text().ends_with("\r\n"));
    EXPECT_EQ(std::count(reply.Text().begin(), reply.Text().end(), ','), 3) << reply.Text();

    // The 400 kB block of 50001 doubles; a trace without data answers a text line.
    ASSERT_EQ(BlockQuery(":FORM REAL,64;:TRAC:Y? TRA"), kLinkDone);
    ASSERT_TRUE(reply.Text().starts_with("#6400008"));
    ASSERT_GE(reply.size, 8u + 400008u);
    double first = 0;
    std::memcpy(&first, reply.bytes.data() + 8, sizeof first);
    EXPECT_TRUE(first > -200 && first < 30) << first;
    ASSERT_EQ(BlockQuery(":TRAC:Y? TRB"), kLinkDone);
    EXPECT_EQ(reply.Text(), "\r\n");
    // Nothing of the block is left for the next text query.
    ASSERT_EQ(Exchange(":SYST:ERR?"), kLinkDone);
    EXPECT_TRUE(reply.Text().starts_with("0,")) << reply.Text();
    LinkClose();
  }
  VqsimProcess sim({"--points", "3", "--fault", "drip=:TRAC:Y? TRA"});
  Connect(sim);
  ASSERT_EQ(BlockQuery(":FORM REAL,64;:TRAC:Y? TRA"), kLinkDone);
  EXPECT_TRUE(reply.Text().starts_with("#224"));
  EXPECT_EQ(BlockReplyState(reply.Text()), BlockFraming::Complete);
  ASSERT_EQ(Exchange("*IDN?"), kLinkDone);
  EXPECT_TRUE(reply.Text().starts_with("VELDMARK,")) << reply.Text();
}

TEST_F(LinkVqsimTest, OversizeBadHeaderAndCloseMidBlockGiveTheirCodes) {
  {
    VqsimProcess sim({"--fault", "oversize"});
    Connect(sim);
    EXPECT_EQ(Exchange("*IDN?"), kLinkTooLong);
    EXPECT_LE(reply.size, kReplyBufferBytes);
    EXPECT_EQ(reply.bytes[reply.size], '\0');
    EXPECT_TRUE(reply.Text().starts_with("0,0,"));
    LinkClose();
  }
  {
    VqsimProcess sim({"--points", "1000", "--fault", "bad-block-header=:TRAC:Y? TRA"});
    Connect(sim);
    EXPECT_EQ(BlockQuery(":FORM REAL,64;:TRAC:Y? TRA"), kLinkReceiveFailed);
    ASSERT_EQ(Exchange("*IDN?"), kLinkDone) << "the link stays usable";
    LinkClose();
  }
  {
    VqsimProcess sim({"--points", "1000", "--fault", "close-mid-reply=:TRAC:Y? TRA"});
    Connect(sim);
    EXPECT_EQ(BlockQuery(":FORM REAL,64;:TRAC:Y? TRA"), kLinkClosed);
    EXPECT_GT(reply.size, 0u);
  }
}

TEST_F(LinkVqsimTest, AStalledReplyTimesOutWithinTheLimit) {
  VqsimProcess sim({"--fault", "stall"});
  Connect(sim);
  const int before = host.keepAlives;
  const int64_t start = MonotonicMs();
  EXPECT_EQ(Exchange("*IDN?", 1), kLinkTimeout);
  const int64_t took = MonotonicMs() - start;
  EXPECT_GE(took, 1000);
  EXPECT_LT(took, 1500);
  EXPECT_GE(host.keepAlives - before, 10) << "the screen is kept alive about every 50 ms";
}

}  // namespace
}  // namespace vq
