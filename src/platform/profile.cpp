// Profile (ini) file lookups and in-place edits with Windows profile semantics.
#include "platform/profile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/image_files.h"

namespace vq {

namespace {

struct Line {
  size_t begin = 0;  // first byte of the text
  size_t end = 0;    // one past the text, before CR LF or LF
  size_t next = 0;   // first byte of the following line
};

std::vector<Line> SplitLines(const std::string& text) {
  std::vector<Line> lines;
  for (size_t begin = 0; begin < text.size();) {
    const size_t lf = text.find('\n', begin);
    const size_t next = lf == std::string::npos ? text.size() : lf + 1;
    size_t end = lf == std::string::npos ? text.size() : lf;
    if (end > begin && text[end - 1] == '\r') --end;
    lines.push_back({begin, end, next});
    begin = next;
  }
  return lines;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

// Where a section and key sit in the file; -1 when absent.
struct Place {
  int section = -1;      // line of the first matching "[section]" header
  int key = -1;          // line of the first matching key inside that section
  int lastContent = -1;  // last non-blank line of the section (its header when empty)
  size_t equals = 0;     // offset in the text of the key line's '='
};

Place Find(const std::string& text, const std::vector<Line>& lines, std::string_view section,
           std::string_view key) {
  Place place;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    const std::string_view raw(text.data() + lines[i].begin, lines[i].end - lines[i].begin);
    const std::string_view line = Trim(raw);
    if (!line.empty() && line.front() == '[') {
      if (place.section >= 0) break;  // only the first matching section counts
      const std::string_view name = Trim(line.substr(1, line.find(']') - 1));
      if (EqualNoCase(name, Trim(section))) place.section = place.lastContent = i;
      continue;
    }
    if (place.section < 0 || line.empty()) continue;
    place.lastContent = i;
    if (line.front() == ';' || place.key >= 0) continue;
    const size_t equals = raw.find('=');
    if (equals != std::string_view::npos && EqualNoCase(Trim(raw.substr(0, equals)), Trim(key))) {
      place.key = i;
      place.equals = lines[i].begin + equals;
    }
  }
  return place;
}

std::optional<std::string> Lookup(const std::string& section, const std::string& key,
                                  const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return std::nullopt;
  const std::string text(bytes.begin(), bytes.end());
  const std::vector<Line> lines = SplitLines(text);
  const Place place = Find(text, lines, section, key);
  if (place.key < 0) return std::nullopt;
  std::string_view value(text.data() + place.equals + 1, lines[place.key].end - place.equals - 1);
  value = Trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

bool FitsOneLine(const std::string& s) {
  return s.find_first_of("\r\n") == std::string::npos;
}

// Names that would read back as something else are refused rather than written.
bool WritableNames(const std::string& section, const std::string& key) {
  const std::string_view trimmedKey = Trim(key);
  return FitsOneLine(section) && section.find(']') == std::string::npos && FitsOneLine(key) &&
         !trimmedKey.empty() && key.find('=') == std::string::npos && trimmedKey[0] != ';' &&
         trimmedKey[0] != '[';
}

// What ends the last line of text before a line is added after it. A lone CR at the end already
// ends the line as read; another CR before the LF would become part of that line's text.
const char* LineEndBefore(std::string_view text) {
  if (text.empty() || text.back() == '\n') return "";
  return text.back() == '\r' ? "\n" : "\r\n";
}

// Sets (value given) or deletes (no value) one key, keeping every other byte of the file.
bool EditProfile(const std::string& section, const std::string& key, const std::string* value,
                 const std::string& path) {
  if (!WritableNames(section, key) || (value && !FitsOneLine(*value))) return false;
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) {
    std::error_code error;
    // A file that is there but unreadable must not be replaced by a new one.
    if (std::filesystem::exists(path, error) || error) return false;
    if (!value) return true;
  }
  const std::string text(bytes.begin(), bytes.end());
  const std::vector<Line> lines = SplitLines(text);
  const Place place = Find(text, lines, section, key);
  const std::string newLine = value ? key + "=" + *value + "\r\n" : "";

  std::string edited;
  if (!value) {
    if (place.key < 0) return true;
    edited = text.substr(0, lines[place.key].begin) + text.substr(lines[place.key].next);
  } else if (place.key >= 0) {
    // Keep the key as spelled in the file and the line's own ending.
    edited = text.substr(0, place.equals + 1) + *value + text.substr(lines[place.key].end);
  } else if (place.section >= 0) {
    // After the section's last entry, before the blank lines that lead to the next section.
    const size_t at = lines[place.lastContent].next;
    edited = text.substr(0, at) + LineEndBefore(std::string_view(text).substr(0, at)) + newLine +
             text.substr(at);
  } else {
    edited = text + LineEndBefore(text);
    if (!edited.empty()) edited += "\r\n";
    edited += "[" + section + "]\r\n" + newLine;
  }
  return WriteFileAtomic(path, std::vector<uint8_t>(edited.begin(), edited.end()));
}

}  // namespace

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, const std::string& path) {
  return Lookup(section, key, path).value_or(defaultValue);
}

int GetProfileInt(const std::string& section, const std::string& key, int defaultValue,
                  const std::string& path) {
  const std::optional<std::string> value = Lookup(section, key, path);
  if (!value) return defaultValue;
  const char* p = value->c_str();
  while (IsBlank(*p)) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int base = 10;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    base = 16;
    p += 2;
  }
  // Digits up to the first other character; too many digits clamp to the int range.
  int64_t number = 0;
  for (;; ++p) {
    int digit;
    if (*p >= '0' && *p <= '9')
      digit = *p - '0';
    else if (base == 16 && LowerAscii(*p) >= 'a' && LowerAscii(*p) <= 'f')
      digit = LowerAscii(*p) - 'a' + 10;
    else
      break;
    number = std::min<int64_t>(number * base + digit, int64_t{INT_MAX} + 1);
  }
  if (negative) return static_cast<int>(-number);
  return static_cast<int>(std::min<int64_t>(number, INT_MAX));
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path) {
  return EditProfile(section, key, &value, path);
}

bool DeleteProfileKey(const std::string& section, const std::string& key, const std::string& path) {
  return EditProfile(section, key, nullptr, path);
}

}  // namespace vq
