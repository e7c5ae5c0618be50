// The analyzer's two drives as trees of folders and files, and the path rules of its commands.
#include "sim_fs.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sim_text.h"

namespace vq {

namespace {

struct ErrorText {
  int code;
  const char* text;
};
constexpr ErrorText kErrorTexts[] = {
    {120, "USB Storage not inserted"},
    {121, "USB Storage not initialized"},
    {122, "USB Storage not initialized"},
    {123, "File not found"},
    {124, "Illegal directory name"},
    {125, "Illegal file name"},
    {126, "Directory already exists"},
    {127, "File already exists"},
    {128, "File is write protected"},
    {129, "Storage full"},
    {130, "Directory full"},
    {131, "No data"},
};

constexpr bool ErrorTextsInOrder() {
  for (size_t i = 0; i < std::size(kErrorTexts); ++i) {
    if (kErrorTexts[i].code != 120 + static_cast<int>(i)) return false;
  }
  return std::size(kErrorTexts) == 12;
}
static_assert(ErrorTextsInOrder(), "one text for each file error number from 120 to 131");

constexpr size_t kNameLimit = 255;

// The parts of a path between backslashes; empty parts (a doubled or trailing backslash) go.
std::vector<std::string> PathParts(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find('\\', start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

SimEntry* Child(const SimEntry& folder, const std::string& name) {
  const auto it = folder.index.find(Upper(name));
  return it == folder.index.end() ? nullptr : it->second;
}

// The folder at `parts` below `root`, "." staying and ".." going up; null when one is missing
// or is a file. `names` gets the folders' names as they were made.
SimEntry* Walk(const SimEntry& root, const std::vector<std::string>& parts,
               std::vector<std::string>* names) {
  // The tree's entries are owned by their folders; the walk hands out the one asked for.
  std::vector<SimEntry*> trail = {const_cast<SimEntry*>(&root)};
  std::vector<std::string> path;
  for (const std::string& part : parts) {
    if (part == ".") continue;
    if (part == "..") {
      if (trail.size() == 1) return nullptr;
      trail.pop_back();
      path.pop_back();
      continue;
    }
    SimEntry* next = Child(*trail.back(), part);
    if (next == nullptr || !next->folder) return nullptr;
    trail.push_back(next);
    path.push_back(next->name);
  }
  if (names != nullptr) *names = path;
  return trail.back();
}

// A path relative to the current folder, or from the drive's top when it starts with "\", as
// the parts below the top. An empty name names nothing, not the current folder.
std::vector<std::string> Absolute(const SimFileSystem& fs, const std::string& path) {
  std::vector<std::string> below = PathParts(path);
  if (below.empty()) return {};
  std::vector<std::string> parts = path.starts_with('\\') ? std::vector<std::string>{} : fs.folder;
  for (std::string& part : below) parts.push_back(std::move(part));
  return parts;
}

bool LegalName(const std::string& name) {
  if (name.empty() || name.size() > kNameLimit || name == "." || name == "..") return false;
  for (char ch : name) {
    if (static_cast<unsigned char>(ch) < 32 ||
        std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

SimDate Now(const SimFileSystem& fs) {
  if (fs.seeding) return fs.seedDate;
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y,%m,%d,%H,%M,%S", &local);
  return text;
}

SimEntry* AddChild(SimFileSystem& fs, SimEntry& folder, const std::string& name, bool isFolder) {
  auto entry = std::make_unique<SimEntry>();
  entry->name = name;
  entry->folder = isFolder;
  entry->modified = Now(fs);
  SimEntry* raw = entry.get();
  folder.index[Upper(name)] = raw;
  folder.children.push_back(std::move(entry));
  return raw;
}

// Splits `parts` into the folder that holds the last part and that part's name.
int ParentOf(SimFileSystem& fs, int drive, std::vector<std::string> parts, SimEntry*& parent,
             std::string& name) {
  if (parts.empty()) return kFsBadName;
  name = parts.back();
  parts.pop_back();
  parent = Walk(fs.drives[drive].root, parts, nullptr);
  return parent == nullptr ? kFsBadFolder : kFsOk;
}

int Remove(SimFileSystem& fs, int drive, const std::vector<std::string>& parts) {
  SimEntry* parent = nullptr;
  std::string name;
  if (ParentOf(fs, drive, parts, parent, name) != kFsOk) return kFsNotFound;
  SimEntry* entry = Child(*parent, name);
  if (entry == nullptr) return kFsNotFound;
  if (entry->folder && !entry->children.empty()) return kFsBadFolder;
  fs.drives[drive].used -= entry->bytes.size();
  parent->index.erase(Upper(name));
  std::erase_if(parent->children, [entry](const auto& c) { return c.get() == entry; });
  return kFsOk;
}

bool SeedFolder(SimFileSystem& fs, int drive, SimEntry& into, const std::filesystem::path& host,
                std::string& error) {
  std::error_code ec;
  std::vector<std::filesystem::directory_entry> entries;
  for (const auto& e : std::filesystem::directory_iterator(host, ec)) entries.push_back(e);
  if (ec) {
    error = "cannot read " + host.string() + ": " + ec.message();
    return false;
  }
  std::sort(entries.begin(), entries.end());  // a stable order of creation
  for (const auto& e : entries) {
    const std::string name = e.path().filename().string();
    if (!LegalName(name) || Child(into, name) != nullptr) {
      error = "not a name the analyzer takes: " + e.path().string();
      return false;
    }
    if (into.children.size() >= kSimFolderLimit) {
      error = "more than " + std::to_string(kSimFolderLimit) + " entries in " + host.string();
      return false;
    }
    if (e.is_directory()) {
      if (!SeedFolder(fs, drive, *AddChild(fs, into, name, true), e.path(), error)) return false;
    } else if (e.is_regular_file()) {
      std::ifstream in(e.path(), std::ios::binary);
      std::string bytes{std::istreambuf_iterator<char>(in), {}};
      if (!in.good() && !in.eof()) {
        error = "cannot read " + e.path().string();
        return false;
      }
      if (fs.drives[drive].used + bytes.size() > fs.drives[drive].capacity) {
        error = "the files do not fit the drive: " + e.path().string();
        return false;
      }
      fs.drives[drive].used += bytes.size();
      AddChild(fs, into, name, false)->bytes = std::move(bytes);
    }
  }
  return true;
}

}  // namespace

const char* SimFsErrorText(int code) {
  for (const ErrorText& e : kErrorTexts) {
    if (e.code == code) return e.text;
  }
  return "Error";
}

std::string SimCurrentFolderText(const SimFileSystem& fs) {
  std::string text = fs.drive == kSimExt ? "EXT:\\" : "INT:\\";
  for (size_t i = 0; i < fs.folder.size(); ++i) text += (i == 0 ? "" : "\\") + fs.folder[i];
  return text;
}

int SimSelectDrive(SimFileSystem& fs, int drive) {
  if (drive == kSimExt && !fs.usbPresent) return kFsNoUsb;
  fs.drive = drive;
  fs.folder.clear();
  return kFsOk;
}

int SimChangeFolder(SimFileSystem& fs, const std::string& text) {
  int drive = fs.drive;
  std::string path = text;
  const std::string head = Upper(text.substr(0, 4));
  if (head == "INT:" || head == "EXT:") {
    drive = head == "EXT:" ? kSimExt : kSimInt;
    path = "\\" + text.substr(4);
  }
  if (path.empty()) return kFsBadFolder;
  if (drive == kSimExt && !fs.usbPresent) return kFsNoUsb;
  const std::vector<std::string> parts =
      path.starts_with('\\') ? PathParts(path) : Absolute(fs, path);
  std::vector<std::string> names;
  if (Walk(fs.drives[drive].root, parts, &names) == nullptr) return kFsBadFolder;
  fs.drive = drive;
  fs.folder = std::move(names);
  return kFsOk;
}

std::string SimCatalogue(const SimFileSystem& fs, bool folders) {
  const SimVolume& v = fs.drives[fs.drive];
  std::string out = std::to_string(v.used) + "," + std::to_string(v.capacity - v.used);
  const SimEntry* folder = Walk(v.root, fs.folder, nullptr);
  for (const auto& child : folder->children) {
    if (child->folder == folders) out += "," + child->name;
  }
  if (!folders && fs.hostileNames) {
    for (const std::string& name : SimHostileNames()) out += "," + name;
  }
  return out;
}

const SimEntry* SimFindEntry(const SimFileSystem& fs, const std::string& name) {
  std::vector<std::string> parts = Absolute(fs, name);
  if (parts.empty()) return nullptr;
  const std::string last = parts.back();
  parts.pop_back();
  const SimEntry* parent = Walk(fs.drives[fs.drive].root, parts, nullptr);
  return parent == nullptr ? nullptr : Child(*parent, last);
}

const SimEntry* SimFindOnDrive(const SimFileSystem& fs, int drive, const std::string& path) {
  std::vector<std::string> parts = PathParts(path);
  if (parts.empty()) return nullptr;
  const std::string last = parts.back();
  parts.pop_back();
  const SimEntry* parent = Walk(fs.drives[drive].root, parts, nullptr);
  return parent == nullptr ? nullptr : Child(*parent, last);
}

int SimMakeFolder(SimFileSystem& fs, const std::string& name) {
  SimEntry* parent = nullptr;
  std::string leaf;
  if (const int e = ParentOf(fs, fs.drive, Absolute(fs, name), parent, leaf); e != kFsOk) return e;
  if (!LegalName(leaf)) return kFsBadName;
  if (const SimEntry* existing = Child(*parent, leaf)) {
    return existing->folder ? kFsFolderExists : kFsFileExists;
  }
  if (parent->children.size() >= kSimFolderLimit) return kFsFolderFull;
  AddChild(fs, *parent, leaf, true);
  return kFsOk;
}

int SimDeleteEntry(SimFileSystem& fs, const std::string& name, int drive) {
  if (drive == kSimExt && !fs.usbPresent) return kFsNoUsb;
  const int result =
      drive < 0 ? Remove(fs, fs.drive, Absolute(fs, name)) : Remove(fs, drive, PathParts(name));
  // The current folder itself may have gone: the drive's top is current then.
  if (Walk(fs.drives[fs.drive].root, fs.folder, nullptr) == nullptr) fs.folder.clear();
  return result;
}

int SimWriteFile(SimFileSystem& fs, int drive, const std::string& path, std::string bytes) {
  if (drive == kSimExt && !fs.usbPresent) return kFsNoUsb;
  SimEntry* parent = nullptr;
  std::string leaf;
  if (const int e = ParentOf(fs, drive, PathParts(path), parent, leaf); e != kFsOk) return e;
  if (!LegalName(leaf)) return kFsBadName;
  SimEntry* file = Child(*parent, leaf);
  if (file != nullptr && file->folder) return kFsFolderExists;
  SimVolume& v = fs.drives[drive];
  const uint64_t replaced = file == nullptr ? 0 : file->bytes.size();
  if (v.used - replaced + bytes.size() > v.capacity) return kFsStorageFull;
  if (file == nullptr) {
    if (parent->children.size() >= kSimFolderLimit) return kFsFolderFull;
    file = AddChild(fs, *parent, leaf, false);
  }
  v.used = v.used - replaced + bytes.size();
  file->bytes = std::move(bytes);
  file->modified = Now(fs);
  return kFsOk;
}

const std::vector<std::string>& SimHostileNames() {
  static const std::vector<std::string> names = {
      "..",          "../escape.txt", "a/b.txt", "sub\\x.txt",
      "/etc/passwd", "\\abs.txt",     "",        std::string(296, 'L') + ".txt"};
  return names;
}

bool SimSeedFromHost(SimFileSystem& fs, int drive, const std::string& hostFolder,
                     std::string& error) {
  return SeedFolder(fs, drive, fs.drives[drive].root, hostFolder, error);
}

void SimSeedGenerated(SimFileSystem& fs, int count) {
  SimEntry& top = fs.drives[kSimInt].root;
  for (int i = 0; i < count && top.children.size() < kSimFolderLimit; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "GEN%05d.TXT", i);
    if (Child(top, name) != nullptr) continue;
    std::string bytes = std::string("generated file ") + name + "\r\n";
    if (fs.drives[kSimInt].used + bytes.size() > fs.drives[kSimInt].capacity) return;
    fs.drives[kSimInt].used += bytes.size();
    AddChild(fs, top, name, false)->bytes = std::move(bytes);
  }
}

}  // namespace vq
