// Whole-file writes and the message codes of operating-system file errors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vq {

// The message code of an errno value of a failed file operation: 123 not found, 128 access
// denied, 122 write protected, 129 storage full, 125 illegal name, 127 exists, else 121.
int FileErrorCode(int error);
// Writes bytes whole or not at all (aside, then renamed over the target); 0 or the message code
// of the failure.
int WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// The same for a file only its owner may read (mode 0600).
int WritePrivateFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace vq
