// The connection's pieces that need no analyzer: Connect.ini, the account file, the identity
// check and the firmware comparison, and what the Connection dialog shows.
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "link/connection.h"
#include "support/instrument_fixture.h"
#include "support/text_files.h"

namespace vq {
namespace {

using ConnectionSettingsTest = InstrumentTest;

TEST_F(ConnectionSettingsTest, ConnectIniRowsDefaultsAndTheFileWritten) {
  Start();
  WriteText(home.Path() + "Connect.ini",
            "[CONNECT]\r\nComputer Name=192.168.10.20\r\nPolling=0\r\nWavedataPolling=x5\r\n");
  ReadConnectIni();
  EXPECT_EQ(g().link.rowValues,
            (std::array<std::string, 4>{"192.168.10.20", "10001", "200", "1000"}));
  g().link.rowValues[kRowPolling] = "350";
  SaveConnectIni();
  EXPECT_EQ(ReadText(home.Path() + "Connect.ini"),
            "[CONNECT]\r\nComputer Name=192.168.10.20\r\nPort Number=10001\r\nPolling=350\r\n"
            "WavedataPolling=1000\r\n");
  // A Connect.ini that cannot be written is ignored.
  std::filesystem::remove(home.Path() + "Connect.ini");
  std::filesystem::create_directory(home.Path() + "Connect.ini");
  SaveConnectIni();
  EXPECT_TRUE(std::filesystem::is_directory(home.Path() + "Connect.ini"));
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ConnectionSettingsTest, AccountFileIsPrivateAndKeepsBlanksAndQuotes) {
  WriteText(home.Path() + "Account.ini", "[ACCOUNT]\r\nUser=\"bench\"\r\nPassword=\"old\"\r\n");
  chmod((home.Path() + "Account.ini").c_str(), 0644);
  Start();
  EXPECT_EQ(g().link.userName, "bench");
  EXPECT_EQ(g().link.password, "old");
  g().link.userName = "op\"1";
  g().link.password = " s3cret ";
  ASSERT_TRUE(SaveAccount());
  struct stat info {};
  ASSERT_EQ(stat(AccountPath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  g().link.userName.clear();
  g().link.password.clear();
  ReadAccount();
  EXPECT_EQ(g().link.userName, "op\"1");
  EXPECT_EQ(g().link.password, " s3cret ");
}

TEST_F(ConnectionSettingsTest, IdentityOfTheServedModelOnly) {
  Start();
  const std::string ownVersion = g().config.productVersion;
  EXPECT_EQ(IdentifyAnalyzer("VELDMARK,VQ7000C,1234,03.10.02\r\n"), 2);
  EXPECT_EQ(IdentifyAnalyzer("ACME,VQ7000B,1234,03.10.02\r\n"), 2);
  EXPECT_EQ(IdentifyAnalyzer("VELDMARK"), 2);
  EXPECT_EQ(g().config.productVersion, ownVersion);
  EXPECT_EQ(g().link.modelCode, 4);

  ASSERT_EQ(IdentifyAnalyzer("veldMark,vq7000b,SN0123456789ABCDEF,03.10.02\r\n"), 0);
  EXPECT_EQ(g().link.identity.serial, "SN0123456789ABC");  // 15 characters at most
  EXPECT_EQ(g().link.identity.firmware, "03.10.02");
  EXPECT_EQ(g().link.modelCode, 1);
  EXPECT_EQ(g().link.settingsWorkFile, "$$$VQ7000Bview.st8");
  // Five characters of the analyzer's version stand in the viewer's; the ninth is a blank.
  EXPECT_EQ(g().config.productVersion, "03.10.00 ");
  EXPECT_EQ(g().link.featureFlags[0], 1);
  ASSERT_EQ(IdentifyAnalyzer("VELDMARK,VQ7000B,7,02.99.99"), 0);
  EXPECT_EQ(g().config.productVersion, "02.99.00 ");
  EXPECT_EQ(g().link.featureFlags[0], 0);
  // The exit gives the viewer its own version text back.
  WindowProc(WM_CLOSE, 0, 0);
  EXPECT_EQ(g().config.productVersion, ownVersion);
}

TEST(FirmwareComparisonTest, DigitsOfTheFirstEightPositions) {
  EXPECT_TRUE(FirmwareAtLeast("03.00.00", "03.00.00"));
  EXPECT_TRUE(FirmwareAtLeast("10.00.00", "03.00.00"));
  EXPECT_TRUE(FirmwareAtLeast("03.00.01x", "03.00.00"));  // beyond eight positions
  EXPECT_FALSE(FirmwareAtLeast("02.99.99", "03.00.00"));
  EXPECT_FALSE(FirmwareAtLeast("03.0a.00", "03.00.00"));
  EXPECT_FALSE(FirmwareAtLeast("3.0.0", "03.00.00"));  // too short: a non-digit comes first
}

TEST_F(ConnectionSettingsTest, DialogShowsTheStoredValuesAndCancelOpensNothing) {
  WriteText(home.Path() + "Connect.ini",
            "[CONNECT]\r\nComputer Name=osa-7\r\nPort Number=10005\r\n");
  WriteText(home.Path() + "Account.ini", "[ACCOUNT]\r\nUser=\"bench\"\r\nPassword=\"pw\"\r\n");
  Start();
  WindowProc(WM_COMMAND, kCmdConnect, 0);  // no answers scripted: Cancel
  ASSERT_EQ(host.connectDialogs.size(), 1u);
  const ConnectFields& shown = host.connectDialogs[0];
  EXPECT_EQ((std::vector<std::string>{shown.host, shown.port, shown.user, shown.password}),
            (std::vector<std::string>{"osa-7", "10005", "bench", "pw"}));
  EXPECT_EQ(g().link.transport, nullptr);
  EXPECT_EQ(g().link.connectOpener, kCmdConnect);
  EXPECT_EQ(g().link.shellCommand, 0);
  EXPECT_TRUE(host.menu[kCmdConnect].enabled);
  EXPECT_FALSE(host.menu[kCmdDisconnect].enabled);
}

}  // namespace
}  // namespace vq
