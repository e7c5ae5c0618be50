// The analyzer account (user name and password) in "Account.ini" of the configuration folder.
// Like ~/.netrc the file is plain text that only its owner may read (mode 0600); it is replaced
// whole, never written in place. The password is never logged nor shown anywhere else.
#include "instrument.h"
#include "link/connection.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/profile.h"

namespace vq {

namespace {

constexpr size_t kAccountChars = 31;  // what the Connection dialog reads from its boxes

}  // namespace

std::string AccountPath() {
  return GInstrument->config.home + "Account.ini";
}

void ReadAccount() {
  LinkState& link = GInstrument->link;
  const std::string path = AccountPath();
  link.userName = GetProfileString("ACCOUNT", "User", "", path).substr(0, kAccountChars);
  link.password = GetProfileString("ACCOUNT", "Password", "", path).substr(0, kAccountChars);
}

bool SaveAccount() {
  const LinkState& link = GInstrument->link;
  // Quoted, so that blanks at either end of a value survive the reading.
  const std::string text =
      "[ACCOUNT]\r\nUser=\"" + link.userName + "\"\r\nPassword=\"" + link.password + "\"\r\n";
  MakeFolders(GInstrument->config.home);
  return WritePrivateFileBytes(AccountPath(), std::vector<uint8_t>(text.begin(), text.end())) == 0;
}

}  // namespace vq
