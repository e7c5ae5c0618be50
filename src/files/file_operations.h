// FILE OPERATION: rename, make directory, copy and delete in the current folder, and the check of
// the names a user types.
#pragma once

#include <string>
#include <vector>

namespace vq {

constexpr int kMsgFileNotFound = 123;
constexpr int kMsgIllegalDirectoryName = 124;
constexpr int kMsgIllegalFileName = 125;
constexpr int kMsgDirectoryExists = 126;
constexpr int kMsgFileExists = 127;
constexpr int kMsgWriteProtected = 128;
constexpr int kMsgStorageFull = 129;
constexpr int kMsgCannotCopy = 138;
constexpr size_t kMaxFileNameChars = 255;

// 0 for a plain name inside the current folder; 125 for an empty name, ".", "..", a name with
// "/", "\", a control character or one of the characters removable drives cannot hold.
int CheckFileName(const std::string& name);

// Each takes the current folder (trailing '/') and plain names in it; 0 or a message code, and
// nothing outside the folder (or the chosen destination) is touched.
int MakeDirectory(const std::string& folder, const std::string& name);
int RenameEntry(const std::string& folder, const std::string& from, const std::string& to);
// Copies files and whole folders into the destination folder; files of the same name there are
// replaced only once their copy is complete.
int CopyEntries(const std::string& folder, const std::vector<std::string>& names,
                const std::string& destination);
int DeleteEntries(const std::string& folder, const std::vector<std::string>& names);

}  // namespace vq
