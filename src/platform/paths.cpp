// The configuration and user data folders, and small file-system helpers.
#include "platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace vq {

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// $HOME, else the password database's home (services may run without HOME), else /tmp.
std::string HomeFolder() {
  std::string home = Env("HOME");
  if (home.empty()) {
    const passwd* entry = getpwuid(getuid());
    if (entry && entry->pw_dir) home = entry->pw_dir;
  }
  return home.empty() ? "/tmp" : home;
}

}  // namespace

std::string ConfigFolder() {
  const std::string vqHome = Env("VQ_HOME");
  if (!vqHome.empty()) return WithTrailingSlash(vqHome);
  const std::string xdg = Env("XDG_CONFIG_HOME");
  if (!xdg.empty()) return WithTrailingSlash(xdg) + "VQ7000B/";
  return WithTrailingSlash(HomeFolder()) + ".config/VQ7000B/";
}

std::string DefaultUserDataFolder() {
  return WithTrailingSlash(HomeFolder()) + "VQ7000B/";
}

std::string WithTrailingSlash(const std::string& dir) {
  if (dir.empty() || dir.back() == '/') return dir;
  return dir + "/";
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

bool MakeFolders(const std::string& dir) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  return std::filesystem::is_directory(dir, error);
}

}  // namespace vq
