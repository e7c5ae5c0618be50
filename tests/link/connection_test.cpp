// The connection against the simulator: the Connect path with its login and identity cases, the
// "Initialized" answers, the set-up commands in order, Disconnect, and a link lost later.
#include "link/connection.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "link/link.h"
#include "support/instrument_fixture.h"
#include "support/text_files.h"
#include "support/vqsim_process.h"

namespace vq {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

const std::vector<std::string> kPrepareCommands = {
    ":ABOR",           ":ABOR", ":ABOR",    "PREXT",   "COPY0",     "STP", ":SYST:COMM:CFOR 0",
    "TESTADDRESSMODE", "HD0",   "RSMNORM?", "CFORM 1", ":SYST:ERR?"};
// The disconnection hands the viewer's settings back before it ends the remote mode.
const std::vector<std::string> kDisconnectCommands = {
    ":ABOR",
    ":SYST:COMM:CFOR 0",
    "BINSENDON",
    "filewrite 'e:\\user\\$$$$$$VQ7000Bview.st8',#573147 [73147 bytes]",
    "CFORM 1",
    ":MMEM:LOAD:SETT \"\\$$$$$$VQ7000Bview.st8\",int",
    ":MMEM:DEL \"\\$$$$$$VQ7000Bview.st8\",int",
    ":SYST:COMM:CFOR 0",
    "TESTMODEEND",
    "CFORM 1"};

std::vector<std::string> Front(const std::vector<std::string>& all, size_t n) {
  return std::vector<std::string>(all.begin(), all.begin() + std::min(n, all.size()));
}

class ConnectionTest : public InstrumentTest {
 protected:
  // Starts the simulator with a log of the commands it receives, and the instrument.
  void StartWith(std::vector<std::string> simArgs) {
    simArgs.insert(simArgs.end(), {"--log", home.Path() + "sim.log"});
    sim = std::make_unique<VqsimProcess>(simArgs);
    ASSERT_NE(sim->port(), 0) << sim->firstLine();
    Start();
  }
  ConnectFields Fields(const std::string& password = "pass") const {
    return {"127.0.0.1", std::to_string(sim->port()), "user", password};
  }
  // Chooses Connect with these presses of the dialog's Connect and this answer to "Initialized".
  void Connect(std::vector<ConnectFields> presses, BoxAnswer initialized = BoxAnswer::Ok) {
    host.connectAnswers.assign(presses.begin(), presses.end());
    host.boxAnswers = {initialized};
    WindowProc(WM_COMMAND, kCmdConnect, 0);
    host.boxAnswers.clear();
    PumpUntilIdle(host);
  }
  // The commands the simulator received after the identity query.
  std::vector<std::string> CommandsAfterIdn() {
    const std::vector<std::string> all = Lines(ReadText(home.Path() + "sim.log"));
    const auto idn = std::find(all.begin(), all.end(), "*IDN?");
    return idn == all.end() ? std::vector<std::string>{"no *IDN?"}
                            : std::vector<std::string>(idn + 1, all.end());
  }
  void ExpectDisconnectedState() {
    // The busy icon of the last command goes when its timer fires.
    if (host.timers.count(kTimerLinkBusy)) WindowProc(WM_TIMER, kTimerLinkBusy, 0);
    EXPECT_EQ(g().link.connected, 0);
    EXPECT_EQ(g().link.transport, nullptr);
    EXPECT_TRUE(host.menu[kCmdConnect].enabled);
    EXPECT_FALSE(host.menu[kCmdDisconnect].enabled);
    EXPECT_EQ(host.statusTexts[1], "Status: DISCONNECT");
    EXPECT_EQ(host.statusIcon, StatusIcon::None);
    for (int id = kLinkTimerFirst; id < kLinkTimerFirst + kLinkTimerCount; ++id) {
      EXPECT_EQ(host.timers.count(id), 0u) << id;
    }
  }

  std::unique_ptr<VqsimProcess> sim;
};

TEST_F(ConnectionTest, ConnectPreparesInOrderAndDisconnectHandsBack) {
  StartWith({"--login-case", "2"});  // the login's answers in upper case are accepted
  Connect({Fields()});
  EXPECT_TRUE(host.boxes.size() == 1 && host.boxes[0].caption == "Initialized");
  EXPECT_EQ(host.boxes[0].text, "VQ7000B setting will be load to VQ7000B Viewer.\r\nAre you sure?");
  ASSERT_EQ(g().link.connected, 1);
  EXPECT_EQ(Front(CommandsAfterIdn(), kPrepareCommands.size()), kPrepareCommands);
  EXPECT_EQ(g().link.identity.model, "VQ7000B");
  EXPECT_EQ(g().link.commandFormat, 0);
  EXPECT_FALSE(host.menu[kCmdConnect].enabled);
  EXPECT_TRUE(host.menu[kCmdDisconnect].enabled);
  EXPECT_EQ(host.statusTexts[1], "Status: CONNECT");
  EXPECT_EQ(host.statusTexts[2], "127.0.0.1");
  EXPECT_EQ(host.statusTexts[3], std::to_string(sim->port()));
  EXPECT_EQ(host.timers[kTimerLinkSweepCheck], 1000);
  EXPECT_EQ(g().link.shellCommand, 0);
  EXPECT_EQ(ReadText(ConnectIniPath()),
            "[CONNECT]\r\nComputer Name=127.0.0.1\r\nPort Number=" + std::to_string(sim->port()) +
                "\r\nPolling=200\r\nWavedataPolling=1000\r\n");
  // The account that logged in is kept, readable by its owner only.
  struct stat info {};
  ASSERT_EQ(stat(AccountPath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_NE(ReadText(AccountPath()).find("\"pass\""), std::string::npos);

  host.boxAnswers = {BoxAnswer::Cancel};
  WindowProc(WM_COMMAND, kCmdDisconnect, 0);
  EXPECT_EQ(host.boxes.back().caption, "Disconnrction");
  EXPECT_EQ(g().link.connected, 1);
  host.boxAnswers = {BoxAnswer::Ok};
  WindowProc(WM_COMMAND, kCmdDisconnect, 0);
  ExpectDisconnectedState();
  EXPECT_EQ(g().link.rowValues, (std::array<std::string, 4>{}));
  sim->Stop();  // the log is complete once the simulator has ended
  const std::vector<std::string> sent = CommandsAfterIdn();
  EXPECT_EQ(Front(sent, kPrepareCommands.size()), kPrepareCommands);
  ASSERT_GE(sent.size(), kDisconnectCommands.size());
  EXPECT_EQ(std::vector<std::string>(sent.end() - kDisconnectCommands.size(), sent.end()),
            kDisconnectCommands);
}

TEST_F(ConnectionTest, WrongPasswordKeepsTheDialogOpenForAnotherTry) {
  StartWith({"--login-case", "1"});  // the login's answers in lower case are accepted
  Connect({Fields("wrong"), Fields()});
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0].caption, "Connection");
  EXPECT_EQ(host.boxes[0].text, "Connection failed.\r\nUser account data mismatch.    ");
  EXPECT_EQ(host.boxes[0].icon, BoxIcon::Error);
  EXPECT_EQ(host.boxes[1].caption, "Initialized");
  EXPECT_EQ(host.connectDialogs.size(), 1u);
  EXPECT_EQ(g().link.connected, 1);
  EXPECT_EQ(g().link.lastError, 0);
}

TEST_F(ConnectionTest, EmptyPasswordAnswersTheDigestOfTheChallengeAlone) {
  StartWith({"--password", ""});
  Connect({Fields("")});
  EXPECT_EQ(g().link.connected, 1);
  EXPECT_EQ(g().link.lastError, 0);
}

class RefusedIdentityTest : public ConnectionTest,
                            public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedIdentityTest, GivesErrorTwoAndClosesTheLink) {
  StartWith({"--idn", GetParam()});
  Connect({Fields()});
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text,
            "Connection Error.\r\nVQ7000B Remote interface setting or firmware version error.  ");
  EXPECT_EQ(g().link.lastError, 2);
  ExpectDisconnectedState();
}

INSTANTIATE_TEST_SUITE_P(Identities, RefusedIdentityTest,
                         ::testing::Values("VELDMARK,VQ7000C,1,03.01.00",
                                           "ACME,VQ7000B,1,03.01.00"));

TEST_F(ConnectionTest, LongHostTextAndEmptyPortGiveErrorOne) {
  StartWith({});
  // A host text of 16 characters is dropped before the attempt; an empty port box is port 0.
  ConnectFields longHost = Fields();
  longHost.host = "127.0.0.1.......";
  ConnectFields noPort = Fields();
  noPort.port = "";
  Connect({longHost});
  EXPECT_EQ(g().link.rowValues[kRowHost], "");
  Connect({noPort});
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0].text, "Connection Error.                    ");
  EXPECT_EQ(host.boxes[1].text, "Connection Error.                    ");
  EXPECT_EQ(g().link.rowValues[kRowHost], "127.0.0.1");
  EXPECT_EQ(g().link.port, 0);
  EXPECT_EQ(g().link.lastError, 1);
  ExpectDisconnectedState();
  sim->Stop();
  EXPECT_EQ(ReadText(home.Path() + "sim.log"), "");  // neither attempt reached the analyzer
}

TEST_F(ConnectionTest, CancelInInitializedClosesWithoutTheAnalyzerCommands) {
  StartWith({});
  const std::string ini = "[CONNECT]\r\nComputer Name=old-host\r\n";
  std::ofstream(ConnectIniPath(), std::ios::binary) << ini;
  Connect({Fields()}, BoxAnswer::Cancel);
  EXPECT_EQ(ReadText(ConnectIniPath()), ini);
  EXPECT_EQ(g().link.open, 0);
  ExpectDisconnectedState();
  EXPECT_EQ(g().link.rowValues, (std::array<std::string, 4>{}));
  sim->Stop();
  EXPECT_EQ(CommandsAfterIdn(), std::vector<std::string>{});
}

TEST_F(ConnectionTest, FailedQueryInTheSetUpCleansUpAndTellsTheUser) {
  StartWith({"--fault", "close-mid-reply=:SYST:ERR?"});
  Connect({Fields()});
  ASSERT_EQ(host.boxes.size(), 2u);  // "Initialized", then the error
  EXPECT_EQ(host.boxes[1].caption, "Connection");
  EXPECT_EQ(host.boxes[1].text, "Connection Error.                    ");
  EXPECT_EQ(g().link.lastError, 1);
  ExpectDisconnectedState();
}

TEST_F(ConnectionTest, SystemGoingToSleepDisconnects) {
  StartWith({});
  Connect({Fields()});
  ASSERT_EQ(g().link.connected, 1);
  WindowProc(WM_POWERBROADCAST, 0, 0);
  ExpectDisconnectedState();
  EXPECT_EQ(host.boxes.size(), 1u);  // only "Initialized": nothing to confirm or report
  sim->Stop();
  const std::vector<std::string> sent = CommandsAfterIdn();
  ASSERT_GE(sent.size(), kDisconnectCommands.size());
  EXPECT_EQ(std::vector<std::string>(sent.end() - kDisconnectCommands.size(), sent.end()),
            kDisconnectCommands);
}

TEST_F(ConnectionTest, LinkLostLaterCleansUpAtTheNextQuery) {
  StartWith({});
  Connect({Fields()});
  ASSERT_EQ(g().link.connected, 1);
  sim->Stop();
  EXPECT_NE(LinkQuery("*IDN?", 2), kLinkDone);
  EXPECT_EQ(host.boxes.back().text, "Connection Error.                    ");
  EXPECT_EQ(g().link.lastError, 1);
  ExpectDisconnectedState();
}

}  // namespace
}  // namespace vq
