// One file pulled from the analyzer's user area: read as a block, stored in the user folder,
// loaded by the file reader, and deleted on the analyzer.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "files/file_execute.h"
#include "files/trace_files.h"
#include "instrument.h"
#include "link/connection.h"
#include "link/link.h"
#include "link/sync.h"
#include "platform/file_io.h"
#include "state/file_state.h"

namespace vq {

namespace {

constexpr int kFileReadSeconds = 10;
constexpr size_t kSettingsRecordOffset = 499;  // the measured record inside a settings file
constexpr size_t kTraceRecordOffset = 10;      // behind a binary trace file's identifier

}  // namespace

std::string_view BlockData(std::string_view reply) {
  if (reply.size() < 2 || reply[0] != '#' || reply[1] < '0' || reply[1] > '9') return {};
  const size_t digits = static_cast<size_t>(reply[1] - '0');
  if (reply.size() < 2 + digits) return {};
  size_t count = 0;
  for (size_t i = 2; i < 2 + digits; ++i) count = count * 10 + static_cast<size_t>(reply[i] - '0');
  return reply.substr(2 + digits, std::min(count, reply.size() - 2 - digits));
}

int PullAnalyzerFile(const std::string& name, int kind, int trace) {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  SetCommandFormat(1);
  link.blockReplyMode = 1;
  const int code = LinkQuery("fileread? 'e:\\user\\" + name + "'", kFileReadSeconds);
  link.blockReplyMode = 0;
  if (code != kLinkDone) return code;
  const std::string_view reply = link.reply.Text();
  if (!reply.starts_with('#')) {
    // The analyzer is in a state the viewer cannot use.
    Disconnect(0);
    RestoreMeasurementArea();
    ShowLinkStatus(false);
    SetConnectionMenu(false);
    link.lastError = 1;
    g.host->MessageBox(ConnectionErrorText(1), "Connection", BoxButtons::Ok, BoxIcon::Error);
    return kPullNotABlock;
  }
  const std::string_view block = BlockData(reply);
  const std::vector<uint8_t> data(block.begin(), block.end());
  const std::string local = g.files.userFolder + name;
  // A local file that cannot be written is skipped quietly; the analyzer's copy still goes.
  if (WriteFileBytes(local, data) == 0) {
    const size_t at = kind == kFileSettings ? kSettingsRecordOffset : kTraceRecordOffset;
    if (data.size() >= at + link.receivedRecord.size()) {
      std::memcpy(link.receivedRecord.data(), data.data() + at, link.receivedRecord.size());
    }
    link.lastRemoteFile = "\\" + name;
    ExecuteFileRead(kind == kFileSettings ? kItemSetting : kItemTrace, trace, local);
    // The settings work file is read once more by the caller.
    if (kind != kFileSettings) {
      std::error_code ignored;
      std::filesystem::remove(local, ignored);
    }
  }
  SetCommandFormat(0);
  LinkSend(":MMEM:DEL \"\\" + name + "\",int");
  return kLinkDone;
}

}  // namespace vq
