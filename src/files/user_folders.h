// The INT and EXT folders of the file menus, kept in "UserDirectory.ini" in the configuration
// folder: section "FOLDER", keys "UserDataFolderNorm" (INT), "USBStorageDrive" (the letter of
// EXT) and, on Linux, "USBStorageFolder" (where the drive of that letter is mounted).
#pragma once

#include <string>
#include <vector>

namespace vq {

constexpr int kMsgUsbNotInserted = 120;

// A removable drive as the Folder Setting dialog offers it.
struct RemovableDrive {
  char letter;        // 'D', 'E', ... in mount order
  std::string mount;  // with a trailing '/'
};
// The removable drives of a mount table (the text of /proc/mounts): mounts under /media,
// /run/media and /mnt.
std::vector<RemovableDrive> RemovableDrives(const std::string& mountTable);
std::vector<RemovableDrive> MountedRemovableDrives();

// Reads UserDirectory.ini into the file state at start; INT defaults to "<home>UserData/", which
// is created when missing. The current folders go back to the drives' roots.
void ReadUserFolders();
// Folder Setting's OK: writes UserDirectory.ini anew with the chosen folders, reads it back and,
// when a file list is shown and its drive's folder changed, rebuilds the list. 0, or the message
// code of an ini file that could not be written (nothing changes then).
int ApplyUserFolders(const std::string& userFolder, char usbDrive, const std::string& extFolder);

// The root folder of a drive: the user folder, or the EXT mount point ("" when not configured
// or not mounted).
std::string DriveRoot(int drive);

}  // namespace vq
