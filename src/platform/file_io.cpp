// Whole-file writes and the message codes of operating-system file errors.
#include "platform/file_io.h"

#include <cerrno>

#include "platform/image_files.h"

namespace vq {

int FileErrorCode(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return 123;
    case EACCES:
    case EPERM:
      return 128;
    case EROFS:
      return 122;
    case ENOSPC:
    case EDQUOT:
      return 129;
    case ENAMETOOLONG:
    case EINVAL:
      return 125;
    case EEXIST:
    case ENOTEMPTY:
      return 127;
    default:
      return 121;
  }
}

int WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  errno = 0;
  if (WriteFileAtomic(path, bytes)) return 0;
  return FileErrorCode(errno);
}

int WritePrivateFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  errno = 0;
  if (WriteFileAtomic(path, bytes, 0600)) return 0;
  return FileErrorCode(errno);
}

}  // namespace vq
