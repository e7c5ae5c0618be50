// Profile (ini) files with Windows semantics: sections and keys without regard to case, defaults,
// CR LF line ends, whole-file reads and writes.
#pragma once

#include <string>

namespace vq {

// Reads the value of key in section of the file; the default when the file, section or key is
// missing. Surrounding blanks of the value are removed, as are one pair of enclosing quotes.
std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, const std::string& path);

// Reads an integer value the way Windows does: leading decimal digits (with a sign), else the
// default when the key is missing, 0 when it holds no number.
int GetProfileInt(const std::string& section, const std::string& key, int defaultValue,
                  const std::string& path);

// Writes key=value into section, creating the file and section when missing and replacing the
// key in place when present (the rest of the file is kept byte for byte). The file is replaced
// atomically. Returns false when the file could not be written.
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path);

// Removes key from section; true also when it was not there.
bool DeleteProfileKey(const std::string& section, const std::string& key, const std::string& path);

}  // namespace vq
