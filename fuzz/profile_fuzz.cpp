// Fuzz target of the profile (ini) reader and editor. The input's first line names a section and
// a key ("SECTION|KEY"); the rest is the file. The file is read, then the key is written and read
// back, then deleted.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/profile.h"

namespace {

std::string path;

bool WriteInput(std::string_view text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  path = "/dev/shm/vqfuzz_profile_" + std::to_string(getpid()) + ".ini";
  std::atexit([] { std::filesystem::remove(path); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t lineEnd = input.find('\n');
  const std::string_view names = input.substr(0, lineEnd);
  const size_t bar = names.find('|');
  const std::string section(names.substr(0, bar));
  const std::string key(bar == std::string_view::npos ? "" : names.substr(bar + 1));
  if (!WriteInput(lineEnd == std::string_view::npos ? "" : input.substr(lineEnd + 1))) return 0;

  vq::GetProfileString(section, key, "default", path);
  vq::GetProfileInt(section, key, -1, path);
  vq::GetProfileString("FOLDER", "TraceFolderNorm", "", path);
  vq::GetProfileInt("DEBUG", "PALETTE", 0, path);
  // A value written must read back as written, whatever else the file holds.
  if (vq::WriteProfileString(section, key, "written", path) &&
      vq::GetProfileString(section, key, "", path) != "written") {
    std::fprintf(stderr, "[%s] %s does not read back as written\n", section.c_str(), key.c_str());
    std::abort();
  }
  vq::DeleteProfileKey(section, key, path);
  return 0;
}
