// Where the viewer keeps its configuration and the user's data on Linux.
#pragma once

#include <string>

namespace vq {

// The configuration folder with a trailing '/': $VQ_HOME when set, else
// $XDG_CONFIG_HOME/VQ7000B/, else ~/.config/VQ7000B/. Not created here.
std::string ConfigFolder();

// The default user data folder with a trailing '/': ~/VQ7000B/.
std::string DefaultUserDataFolder();

// Appends '/' when missing (empty stays empty).
std::string WithTrailingSlash(const std::string& dir);

bool FileExists(const std::string& path);
// Creates the folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& dir);

}  // namespace vq
