// UserDirectory.ini: the INT and EXT folders, read at start and rewritten by Folder Setting.
#include "files/user_folders.h"

#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <sstream>

#include "files/file_menu.h"
#include "files/file_operations.h"
#include "instrument.h"
#include "platform/file_io.h"
#include "platform/image_files.h"
#include "platform/paths.h"
#include "platform/profile.h"

namespace vq {

namespace {

constexpr const char* kIniName = "UserDirectory.ini";
constexpr const char* kSection = "FOLDER";
constexpr const char* kKeyUserFolder = "UserDataFolderNorm";
constexpr const char* kKeyUsbDrive = "USBStorageDrive";
constexpr const char* kKeyUsbFolder = "USBStorageFolder";
constexpr size_t kMaxFolderChars = 259;
constexpr const char* kRemovableRoots[] = {"/media/", "/run/media/", "/mnt/"};

std::string IniPath() {
  return GInstrument->config.home + kIniName;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// /proc/mounts writes blanks and a few other characters of a path as octal escapes.
std::string Unescaped(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() &&
        std::isdigit(static_cast<unsigned char>(field[i + 1]))) {
      out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

}  // namespace

std::vector<RemovableDrive> RemovableDrives(const std::string& mountTable) {
  std::vector<RemovableDrive> drives;
  std::istringstream lines(mountTable);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, mount;
    if (!(fields >> device >> mount)) continue;
    mount = WithTrailingSlash(Unescaped(mount));
    bool removable = false;
    for (const char* root : kRemovableRoots) removable |= mount.starts_with(root) && mount != root;
    if (!removable || drives.size() >= 23) continue;
    drives.push_back({static_cast<char>('D' + drives.size()), mount});
  }
  return drives;
}

std::vector<RemovableDrive> MountedRemovableDrives() {
  std::vector<uint8_t> bytes;
  ReadWholeFile("/proc/mounts", bytes);
  return RemovableDrives(std::string(bytes.begin(), bytes.end()));
}

void ReadUserFolders() {
  Instrument& g = *GInstrument;
  FileState& f = g.files;
  const std::string ini = IniPath();
  std::error_code error;
  const std::string fallback = WithTrailingSlash(
      std::filesystem::absolute(g.config.home + "UserData/", error).lexically_normal());
  std::string user = GetProfileString(kSection, kKeyUserFolder, "", ini);
  // Only a full path is taken: a Windows path ("C:\Data") copied from a Windows installation
  // names no folder here.
  if (user.empty() || user.size() > kMaxFolderChars || user[0] != '/') user = fallback;
  f.userFolder = WithTrailingSlash(std::filesystem::absolute(user, error).lexically_normal());
  if (!IsFolder(f.userFolder) && !MakeFolders(f.userFolder)) f.userFolder = fallback;
  if (f.userFolder == fallback) MakeFolders(fallback);
  const std::string letter = GetProfileString(kSection, kKeyUsbDrive, "", ini);
  f.usbDrive = letter.size() == 1 && std::isalpha(static_cast<unsigned char>(letter[0]))
                   ? static_cast<char>(std::toupper(static_cast<unsigned char>(letter[0])))
                   : 0;
  f.extFolder = WithTrailingSlash(GetProfileString(kSection, kKeyUsbFolder, "", ini));
  f.folder = {f.userFolder, f.extFolder};
}

int ApplyUserFolders(const std::string& userFolder, char usbDrive, const std::string& extFolder) {
  Instrument& g = *GInstrument;
  FileState& f = g.files;
  std::error_code error;
  const std::string user =
      WithTrailingSlash(std::filesystem::absolute(userFolder, error).lexically_normal());
  if (user.size() > kMaxFolderChars + 1 || !IsFolder(user)) return kMsgFileNotFound;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(usbDrive)));
  std::string text = std::string("[") + kSection + "]\r\n" + kKeyUserFolder + "=" + user + "\r\n";
  if (letter >= 'A' && letter <= 'Z') {
    text += std::string(kKeyUsbDrive) + "=" + letter + "\r\n";
    if (!extFolder.empty())
      text += std::string(kKeyUsbFolder) + "=" + WithTrailingSlash(extFolder) + "\r\n";
  }
  if (const int code = WriteFileBytes(IniPath(), std::vector<uint8_t>(text.begin(), text.end()))) {
    return code;
  }
  const std::string before = f.folder[f.drive];
  const std::string rootBefore = DriveRoot(f.drive);
  ReadUserFolders();
  if (DriveRoot(f.drive) == rootBefore) f.folder[f.drive] = before;  // the same drive root
  if (FileListShown() && f.folder[f.drive] != before) RefreshFileList();
  return 0;
}

std::string DriveRoot(int drive) {
  const FileState& f = GInstrument->files;
  if (drive == kDriveInt) return f.userFolder;
  return f.usbDrive != 0 && IsFolder(f.extFolder) ? f.extFolder : std::string();
}

}  // namespace vq
