// Connect.ini: the four connection rows in section "CONNECT" of the configuration folder.
#include <cstdlib>

#include "instrument.h"
#include "link/connection.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/profile.h"

namespace vq {

namespace {

struct ConnectSetting {
  ConnectRow row;
  const char* key;
  const char* defaultValue;
};

// In file order.
constexpr ConnectSetting kConnectSettings[] = {
    {kRowHost, "Computer Name", ""},
    {kRowPort, "Port Number", "10001"},
    {kRowPolling, "Polling", "200"},
    {kRowTracePolling, "WavedataPolling", "1000"},
};
static_assert(std::size(kConnectSettings) == kConnectRowCount, "one setting per row");
constexpr bool RowsInOrder() {
  for (int i = 0; i < kConnectRowCount; ++i) {
    if (kConnectSettings[i].row != i) return false;
  }
  return true;
}
static_assert(RowsInOrder(), "the settings are listed in row order");

constexpr size_t kValueChars = 15;  // a 16-byte value field with its terminating zero

}  // namespace

std::string ConnectIniPath() {
  return GInstrument->config.home + "Connect.ini";
}

void ReadConnectIni() {
  LinkState& link = GInstrument->link;
  const std::string path = ConnectIniPath();
  for (const ConnectSetting& s : kConnectSettings) {
    std::string value = GetProfileString("CONNECT", s.key, s.defaultValue, path);
    if (value.size() > kValueChars) value.resize(kValueChars);
    // A polling period whose leading number is 0 (or no number) takes the default.
    const bool period = s.row == kRowPolling || s.row == kRowTracePolling;
    if (period && std::atol(value.c_str()) == 0) value = s.defaultValue;
    link.rowValues[s.row] = value;
  }
}

void SaveConnectIni() {
  const LinkState& link = GInstrument->link;
  std::string text = "[CONNECT]\r\n";
  for (const ConnectSetting& s : kConnectSettings) {
    text += std::string(s.key) + "=" + link.rowValues[s.row] + "\r\n";
  }
  // Nothing is reported when the file cannot be written; the old file stays as it was.
  MakeFolders(GInstrument->config.home);
  WriteFileBytes(ConnectIniPath(), std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace vq
