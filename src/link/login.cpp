// The login exchange, the identity check of the "*IDN?" reply and the firmware feature table.
#include <strings.h>

#include <cctype>

#include "instrument.h"
#include "link/connection.h"
#include "link/link.h"
#include "platform/md5.h"

namespace vq {

namespace {

constexpr int kLoginTimeoutSeconds = 5;
constexpr size_t kLoginReplyLimit = 256;  // a reply this long or longer is a failure
constexpr const char* kAuthenticate = "AUTHENTICATE CRAM-MD5";
constexpr const char* kMaker = "VELDMARK";
constexpr int16_t kServedModelCode = 1;
constexpr int kSettingsVersion = 8;  // the settings-file version of the served model

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// One login step: the reply without its trailing CR and LF, or false when the exchange failed or
// the reply is too long.
bool LoginStep(std::string_view command, std::string& reply) {
  LinkState& link = GInstrument->link;
  link.blockReplyMode = 0;
  if (LinkExchange(command, link.reply, kLoginTimeoutSeconds) != kLinkDone) return false;
  reply.assign(link.reply.Text());
  if (const size_t zero = reply.find('\0'); zero != std::string::npos) reply.resize(zero);
  if (reply.size() >= kLoginReplyLimit) return false;
  while (!reply.empty() && (reply.back() == '\r' || reply.back() == '\n')) reply.pop_back();
  return true;
}

// The next comma-separated field of the reply, taken off its front.
std::string_view TakeField(std::string_view& rest) {
  const size_t comma = rest.find(',');
  const std::string_view field = rest.substr(0, comma);
  rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  return field;
}

}  // namespace

int LoginToAnalyzer(const std::string& user, const std::string& password) {
  std::string reply;
  if (!LoginStep("open \"" + user + "\"", reply)) return 2;
  if (!EqualNoCase(reply, std::string(kAuthenticate) + ".")) return 3;
  if (!LoginStep(std::string(kAuthenticate) + " OK.", reply)) return 3;
  // Plain MD5 over the challenge followed at once by the password (not HMAC).
  const std::string answer = Md5Hex(reply + password);
  if (answer.empty() || !LoginStep(answer, reply)) return 3;
  return EqualNoCase(reply, "ready") ? 0 : 3;
}

bool FirmwareAtLeast(std::string_view version, std::string_view reference) {
  long long have = 0;
  long long need = 0;
  for (size_t i = 0; i < 8; ++i) {
    const char v = i < version.size() ? version[i] : '\0';
    if (v == '.') continue;
    if (!std::isdigit(static_cast<unsigned char>(v))) return false;
    const char r = i < reference.size() ? reference[i] : '0';
    have = have * 10 + (v - '0');
    need = need * 10 + (std::isdigit(static_cast<unsigned char>(r)) ? r - '0' : 0);
  }
  return have >= need;
}

void ResetFirmwareFeatureTable() {
  LinkState& link = GInstrument->link;
  link.modelCode = 4;
  link.featureFlags.fill(1);
}

int IdentifyAnalyzer(std::string_view reply) {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  // The reply as a text: up to its zero, without the terminator.
  reply = reply.substr(0, reply.find('\0'));
  while (!reply.empty() && (reply.back() == '\r' || reply.back() == '\n')) reply.remove_suffix(1);
  link.identity = {};
  std::string_view rest = reply;
  const std::string_view maker = TakeField(rest);
  if (!EqualNoCase(maker, kMaker)) return 2;
  const std::string_view model = TakeField(rest);
  if (!EqualNoCase(model, kModelName)) return 2;
  link.modelCode = kServedModelCode;
  link.pulledSettingsBase = std::string("$$$") + kModelName + "view";
  link.settingsWorkFile = link.pulledSettingsBase + ".st" + std::to_string(kSettingsVersion);
  const std::string_view serial = TakeField(rest);
  link.identity = {std::string(maker), std::string(model), std::string(serial.substr(0, 15)),
                   std::string(rest)};

  // The analyzer's firmware version stands in the system's version text until the exit.
  std::string& version = g.config.productVersion;
  if (link.productVersionAtStart.empty()) link.productVersionAtStart = version;
  const std::string_view firmware = rest.substr(0, 5);
  if (version.size() < 9) version.resize(9, ' ');
  version.replace(0, firmware.size(), firmware);
  version[8] = ' ';

  // Flag 1, the first behind the model code: the firmware is at least the model's reference.
  const char* reference = link.modelCode == 4 ? "02.00.00" : "03.00.00";
  link.featureFlags[0] = FirmwareAtLeast(version, reference) ? 1 : 0;
  return 0;
}

}  // namespace vq
