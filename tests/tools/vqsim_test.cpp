// Tests of the analyzer simulator over loopback: what only the simulator can get wrong, from the
// first line through the login and the status registers to each fault it plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/md5.h"
#include "support/loopback_client.h"
#include "support/vqsim_process.h"

namespace vq {
namespace {

std::string Chomp(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
  return s;
}

// Runs the three login steps as the viewer does (the probe's space first); the last reply.
std::string Login(LoopbackClient& c, const std::string& user, const std::string& password) {
  c.Send(" ");
  if (c.Query("open \"" + user + "\"") != "AUTHENTICATE CRAM-MD5.\r\n") return "no open";
  const std::string challenge = Chomp(c.Query("AUTHENTICATE CRAM-MD5 OK."));
  return Chomp(c.Query(Md5Hex(challenge + password)));
}

// Whether a command line gets no answer within a short wait.
bool Unanswered(LoopbackClient& c, const std::string& command) {
  return c.Query(command, 300).empty();
}

TEST(Vqsim, FirstLineLoginAndReconnection) {
  VqsimProcess sim({"--user", "Bench", "--password", "s3cret"});
  ASSERT_NE(sim.port(), 0) << sim.firstLine();
  EXPECT_EQ(sim.firstLine(), "listening on 127.0.0.1:" + std::to_string(sim.port()) + "\n");
  {
    LoopbackClient c(sim.port());
    EXPECT_TRUE(Unanswered(c, "*IDN?")) << "answered before the login";
    EXPECT_EQ(Login(c, "Bench", "wrong"), "Login failed.");
    EXPECT_EQ(Login(c, "bench", "s3cret"), "Login failed.") << "user names keep their case";
    // The digest is lower-case hex only.
    c.Query("open \"Bench\"");
    const std::string challenge = Chomp(c.Query("authenticate cram-md5 ok."));
    std::string upper = Md5Hex(challenge + "s3cret");
    for (char& ch : upper) ch = static_cast<char>(std::toupper(ch));
    EXPECT_EQ(c.Query(upper), "Login failed.\r\n");
    EXPECT_TRUE(Unanswered(c, "*IDN?"));
    EXPECT_EQ(Login(c, "Bench", "s3cret"), "ready");
    EXPECT_EQ(c.Query("*IDN?"), "VELDMARK,VQ7000B,VQ0000001,03.01.00\r\n");
  }
  // The viewer reconnects after a disconnection; each login gets a fresh challenge.
  LoopbackClient again(sim.port());
  again.Query("open \"Bench\"");
  const std::string first = again.Query("AUTHENTICATE CRAM-MD5 OK.");
  again.Query("open \"Bench\"");
  const std::string second = again.Query("AUTHENTICATE CRAM-MD5 OK.");
  EXPECT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(Chomp(again.Query(Md5Hex(Chomp(second) + "s3cret"))), "ready");

  VqsimProcess empty(
      {"--password", "", "--idn", "VELDMARK,VQ7000B,X1,02.00.00", "--login-case", "upper"});
  LoopbackClient e(empty.port());
  e.Send(" ");
  EXPECT_EQ(e.Query("open \"user\""), "AUTHENTICATE CRAM-MD5.\r\n");
  const std::string bare = Chomp(e.Query("AUTHENTICATE CRAM-MD5 OK."));
  EXPECT_EQ(e.Query(Md5Hex(bare)), "READY\r\n") << "an empty password digests the challenge alone";
  EXPECT_EQ(e.Query("*IDN?"), "VELDMARK,VQ7000B,X1,02.00.00\r\n");
}

TEST(Vqsim, StatusRegistersErrorQueueAndFormats) {
  VqsimProcess sim;
  LoopbackClient c(sim.port());
  ASSERT_EQ(Login(c, "user", "pass"), "ready");
  // The viewer's command probe: a refused command ends the line, an accepted one answers twice.
  EXPECT_EQ(c.Query("*CLS ; *ESR? ; NOSUCH 1 ; *ESR?"), "0\r\n");
  EXPECT_EQ(c.Query("*ESR?"), "32\r\n");
  EXPECT_EQ(c.Query("*ESR?"), "0\r\n") << "reading the register clears it";
  EXPECT_EQ(c.Query("*CLS ; *ESR? ; :ABOR ; *ESR?"), "0;0\r\n");
  // The error queue, oldest first; a format-1 command is unknown in format 0.
  EXPECT_TRUE(Unanswered(c, "RSMNORM?"));
  c.Send("BOGUS\r\n");
  EXPECT_EQ(c.Query(":SYST:ERR?"), "-113,\"Undefined header\"\r\n");
  c.Send("BOGUS\r\n");
  // After ";" a header without a colon replaces the last node of the one before.
  EXPECT_EQ(c.Query(":syst:err?;ERR?"), "-113,\"Undefined header\";-113,\"Undefined header\"\r\n");
  EXPECT_EQ(c.Query(":SYST:ERR?"), "0,\"No error\"\r\n");
  // Format 1 after ":SYST:COMM:CFOR 0": the status byte's refusal bit, cleared by reading it.
  c.Send(":SYST:COMM:CFOR 0\r\n");
  EXPECT_EQ(c.Query("RSMNORM?"), "0\r\n");
  EXPECT_EQ(c.Query("SPOLL?"), "8\r\n") << "the refusals above, not yet read";
  EXPECT_EQ(c.Query("SPOLL?"), "0\r\n");
  c.Send("NOSUCH\r\n");
  EXPECT_EQ(c.Query("SPOLL?"), "12\r\n");  // refused (8) and an error queued (4)
  EXPECT_EQ(c.Query("SPOLL?"), "4\r\n");
  EXPECT_TRUE(Unanswered(c, ":SYST:ERR?")) << "a format-0 query in format 1";
  c.Send("CFORM 1\r\n");
  c.Send("*CLS\r\n");
  EXPECT_EQ(c.Query(":SYST:ERR?"), "0,\"No error\"\r\n");

  // An analyzer in a system error, with an error waiting in its queue.
  VqsimProcess failing({"--system-error", "--error", "230,\"System error\""});
  LoopbackClient f(failing.port());
  ASSERT_EQ(Login(f, "user", "pass"), "ready");
  f.Send(":SYST:COMM:CFOR 0\r\n");
  EXPECT_EQ(f.Query("RSMNORM?"), "1\r\n");
  EXPECT_EQ(f.Query("SPOLL?"), "4\r\n");
  f.Send("CFORM 1\r\n");
  EXPECT_EQ(f.Query(":SYST:ERR?"), "230,\"System error\"\r\n");
}

TEST(Vqsim, TraceBlockAndTracesWithoutData) {
  VqsimProcess sim;
  LoopbackClient c(sim.port());
  ASSERT_EQ(Login(c, "user", "pass"), "ready");
  const std::string header = "#6400008";
  c.Send(":FORM REAL,64;:TRAC:Y? TRA\r\n");
  const LoopbackClient::Reply r =
      c.ReadUntil([&](std::string_view b) { return b.size() >= header.size() + 400008 + 2; });
  ASSERT_EQ(r.bytes.size(), header.size() + 400008 + 2);
  EXPECT_EQ(r.bytes.substr(0, header.size()), header);
  EXPECT_TRUE(r.bytes.ends_with("\r\n"));
  // Levels in dBm: the model's laser peaks near +3 dBm above a floor near -70 dBm.
  double peak = -1e9, low = 1e9;
  for (size_t i = 0; i < 50001; ++i) {
    double v;
    std::memcpy(&v, r.bytes.data() + header.size() + i * 8, 8);
    peak = std::max(peak, v);
    low = std::min(low, v);
  }
  EXPECT_NEAR(peak, 3.0, 1.0);
  EXPECT_LT(low, -60.0);
  EXPECT_EQ(c.Query(":TRAC:Y? TRB"), "\r\n");
  EXPECT_EQ(c.Query(":TRAC:Y? TRG;*ESR?"), ";0\r\n");
  EXPECT_TRUE(Unanswered(c, ":TRAC:Y? TRX"));
  EXPECT_EQ(c.Query(":SYST:ERR?"), "-224,\"Illegal parameter value\"\r\n");

  VqsimProcess small({"--points", "3"});
  LoopbackClient s(small.port());
  ASSERT_EQ(Login(s, "user", "pass"), "ready");
  const std::string ascii = s.Query(":TRAC:Y? TRA");  // before ":FORM REAL,64": text
  EXPECT_EQ(std::count(ascii.begin(), ascii.end(), ','), 2) << ascii;
  EXPECT_TRUE(Unanswered(s, ":FORM REAL,64"));  // a command: nothing comes back
  s.Send(":TRAC:Y? TRA\r\n");
  EXPECT_EQ(s.ReadUntil([](std::string_view b) { return b.size() >= 28; }).bytes.substr(0, 4),
            "#224");
}

TEST(Vqsim, EachFaultShapesTheReplyOfItsQuery) {
  const std::string idn = "VELDMARK,VQ7000B,VQ0000001,03.01.00\r\n";
  using Reply = LoopbackClient::Reply;
  struct Case {
    const char* fault;
    std::function<void(const Reply&)> check;
  };
  const Case cases[] = {
      {"close-mid-reply",
       [&](const Reply& r) {
         EXPECT_TRUE(r.closed);
         EXPECT_TRUE(!r.bytes.empty() && r.bytes.size() < idn.size() - 2 &&
                     idn.starts_with(r.bytes));
       }},
      {"stall",
       [](const Reply& r) {
         EXPECT_TRUE(r.timedOut);
         EXPECT_TRUE(r.bytes.empty());
       }},
      {"oversize",
       [](const Reply& r) {
         EXPECT_EQ(r.bytes.size(), 1253377u);
         EXPECT_TRUE(r.bytes.ends_with("\r\n"));
         EXPECT_EQ(r.bytes.find('\r'), 1253375u) << "one line";
       }},
      {"bad-block-header", [](const Reply& r) { EXPECT_TRUE(r.bytes.starts_with("#A")); }},
      {"split-crlf",
       [&](const Reply& r) {
         EXPECT_EQ(r.bytes, idn);
         ASSERT_GE(r.reads.size(), 2u);
         EXPECT_EQ(r.reads.back(), 1u) << "the LF comes alone";
       }},
      {"drip",
       [&](const Reply& r) {
         EXPECT_EQ(r.bytes, idn);
         EXPECT_GE(r.reads.size(), 3u) << "arrives in many small reads";
       }},
      {"wrong-idn",
       [](const Reply& r) { EXPECT_EQ(r.bytes, "VELDMARK,VQ7000C,VQ0000001,03.01.00\r\n"); }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.fault);
    VqsimProcess sim({"--fault", k.fault});
    LoopbackClient c(sim.port());
    ASSERT_EQ(Login(c, "user", "pass"), "ready");
    c.Send("*IDN?\r\n");
    const int wait = std::string(k.fault) == "stall" ? 400 : 5000;
    k.check(c.ReadUntil([](std::string_view b) { return b.ends_with("\r\n"); }, wait));
  }
  // A fault hits only the query it names; a stall silences everything after it.
  VqsimProcess sim({"--fault", "stall=:TRAC:Y? TRB", "--fault", "bad-login"});
  LoopbackClient c(sim.port());
  EXPECT_EQ(Login(c, "user", "pass"), "Login failed.");
  VqsimProcess stalling({"--fault", "stall=:trac:y? trb"});
  LoopbackClient s(stalling.port());
  ASSERT_EQ(Login(s, "user", "pass"), "ready");
  EXPECT_EQ(s.Query(":TRAC:Y? TRC"), "\r\n");
  EXPECT_TRUE(Unanswered(s, ":TRAC:Y? TRB"));
  EXPECT_TRUE(Unanswered(s, "*IDN?"));
}

TEST(Vqsim, LogOrderSecondConnectionAndCleanStop) {
  const std::string log = ::testing::TempDir() + "vqsim_log_test.txt";
  VqsimProcess sim({"--log", log});
  LoopbackClient c(sim.port());
  ASSERT_EQ(Login(c, "user", "pass"), "ready");
  // CR alone and LF alone end lines too; the LF of a CR LF split across packets adds no line.
  c.Send(":ABOR\rPREXT\nCOPY0\r");
  c.Send("\nSTP\r\n");
  c.Send("*ESR?\r");  // a viewer that ends its lines with CR alone is answered at once
  EXPECT_EQ(c.ReadLine(), "0\r\n");
  // While one viewer is connected another is turned away.
  LoopbackClient second(sim.port());
  EXPECT_TRUE(second.ReadUntil([](std::string_view) { return false; }, 2000).closed);
  EXPECT_EQ(c.Query("*IDN?").size(), 37u);
  EXPECT_EQ(sim.Stop(), 0) << "SIGTERM ends it with exit code 0";
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  const std::string digest = text.str().substr(text.str().find("OK.\n") + 4, 33);
  EXPECT_EQ(text.str(), " open \"user\"\nAUTHENTICATE CRAM-MD5 OK.\n" + digest +
                            ":ABOR\nPREXT\nCOPY0\nSTP\n*ESR?\n*IDN?\n");
  std::remove(log.c_str());
}

TEST(Vqsim, BadArgumentsGiveOneLineAndExitCode2) {
  for (const char* args :
       {"--fault melt", "--fault wrong-idn=*IDN?", "--points 50002", "--idn VELDMARK,VQ7000B",
        "--port 70000", "--error 230", "--login-case title", "--bogus"}) {
    SCOPED_TRACE(args);
    const std::string command = std::string("'") + VQ_SIM_PATH + "' " + args + " 2>&1 >/dev/null";
    FILE* p = popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char line[512] = {};
    const bool got = std::fgets(line, sizeof line, p) != nullptr;
    const int status = pclose(p);
    EXPECT_TRUE(got && std::strncmp(line, "vqsim: ", 7) == 0) << line;
    EXPECT_EQ(WEXITSTATUS(status), 2);
  }
}

}  // namespace
}  // namespace vq
