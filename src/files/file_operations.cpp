// FILE OPERATION: rename, make directory, copy and delete, with the messages of their failures.
#include "files/file_operations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "files/trace_files.h"
#include "platform/file_io.h"

namespace fs = std::filesystem;

namespace vq {

namespace {

// Characters a FAT-formatted removable drive cannot hold in a name.
constexpr const char* kForbiddenChars = "/\\:*?\"<>|";

// Folder operations report names and clashes with the folder texts.
int FolderCode(int code) {
  if (code == kMsgIllegalFileName) return kMsgIllegalDirectoryName;
  if (code == kMsgFileExists) return kMsgDirectoryExists;
  return code;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int CopyFile(const std::string& from, const std::string& to) {
  std::vector<uint8_t> bytes;
  if (ReadFileBytes(from, bytes) != 0) return kMsgCannotCopy;
  const int code = WriteFileBytes(to, bytes);
  return code == kMsgStorageFull ? code : code != 0 ? kMsgCannotCopy : 0;
}

int CopyTree(const std::string& from, const std::string& to) {
  if (!IsFolder(from)) return CopyFile(from, to);
  if (mkdir(to.c_str(), 0777) != 0 && errno != EEXIST) return kMsgCannotCopy;
  if (!IsFolder(to)) return kMsgCannotCopy;
  std::error_code error;
  for (const fs::directory_entry& e : fs::directory_iterator(from, error)) {
    const std::string name = e.path().filename().string();
    if (const int code = CopyTree(from + "/" + name, to + "/" + name)) return code;
  }
  return error ? kMsgCannotCopy : 0;
}

}  // namespace

int CheckFileName(const std::string& name) {
  if (name.empty() || name == "." || name.find("..") != std::string::npos ||
      name.size() > kMaxFileNameChars || name.find_first_of(kForbiddenChars) != std::string::npos) {
    return kMsgIllegalFileName;
  }
  for (char c : name) {
    if (static_cast<unsigned char>(c) < ' ' || c == 0x7F) return kMsgIllegalFileName;
  }
  return 0;
}

int MakeDirectory(const std::string& folder, const std::string& name) {
  if (const int code = CheckFileName(name)) return FolderCode(code);
  if (mkdir((folder + name).c_str(), 0777) != 0) return FolderCode(FileErrorCode(errno));
  return 0;
}

int RenameEntry(const std::string& folder, const std::string& from, const std::string& to) {
  const bool folderEntry = IsFolder(folder + from);
  if (CheckFileName(from) != 0) return kMsgFileNotFound;
  if (const int code = CheckFileName(to)) return folderEntry ? FolderCode(code) : code;
  const std::string source = folder + from, target = folder + to;
  if (access(source.c_str(), F_OK) != 0) return FileErrorCode(errno);
  if (!folderEntry && access(source.c_str(), W_OK) != 0) return kMsgWriteProtected;
  // rename() would silently replace an existing file: a rename never does.
  if (access(target.c_str(), F_OK) == 0) {
    return folderEntry ? kMsgDirectoryExists : kMsgFileExists;
  }
  if (std::rename(source.c_str(), target.c_str()) != 0) {
    const int code = FileErrorCode(errno);
    return folderEntry ? FolderCode(code) : code;
  }
  return 0;
}

int CopyEntries(const std::string& folder, const std::vector<std::string>& names,
                const std::string& destination) {
  if (!IsFolder(destination)) return kMsgCannotCopy;
  std::error_code error;
  const fs::path target = fs::weakly_canonical(destination, error);
  for (const std::string& name : names) {
    if (CheckFileName(name) != 0) return kMsgCannotCopy;
    const std::string from = folder + name;
    // A folder copied into itself or below itself would never end.
    const fs::path source = fs::weakly_canonical(from, error);
    const auto mismatch =
        std::mismatch(source.begin(), source.end(), target.begin(), target.end()).first;
    if (IsFolder(from) && mismatch == source.end()) return kMsgCannotCopy;
    if (source == fs::weakly_canonical(destination + name, error)) return kMsgCannotCopy;
    if (const int code = CopyTree(from, destination + name)) return code;
  }
  return 0;
}

int DeleteEntries(const std::string& folder, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (CheckFileName(name) != 0) return kMsgFileNotFound;
    std::error_code error;
    fs::remove_all(folder + name, error);
    if (error) return FileErrorCode(error.value());
  }
  return 0;
}

}  // namespace vq
