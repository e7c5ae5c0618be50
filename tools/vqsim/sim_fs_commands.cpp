// The commands over the analyzer's folders: drive selection, the current folder, the catalogues,
// an entry's date and size, and new folders. Their failures queue the file error numbers.
#include "sim_call.h"
#include "sim_fs.h"
#include "sim_text.h"

namespace vq {

namespace {

constexpr const char kNoDate[] = "0000,00,00,00,00,00";

void FileError(Call& c, int code) {
  QueueError(c.session, code, SimFsErrorText(code));
}

// The one quoted name of a command.
std::string NameParameter(const Call& c) {
  return Parameters(c.command.args)[0];
}

// A hostile name of the catalogue answers its queries as an ordinary file does.
bool IsHostileName(const SimFileSystem& fs, const std::string& name) {
  if (!fs.hostileNames) return false;
  for (const std::string& hostile : SimHostileNames()) {
    if (hostile == name) return true;
  }
  return false;
}

}  // namespace

// ":MMEM:CDR INT|EXT": the top folder of that drive; EXT without USB storage is refused.
void SelectDrive(Call& c) {
  const std::string drive = Upper(NameParameter(c));
  if (drive != "INT" && drive != "EXT") {
    return QueueError(c.session, -224, "Illegal parameter value");
  }
  const int selected = SimSelectDrive(c.sim.state.fs, drive == "EXT" ? kSimExt : kSimInt);
  if (selected != kFsOk) FileError(c, selected);
}

void StoragePresent(Call& c) {
  c.answers.push_back(c.sim.state.fs.usbPresent ? "1" : "0");
}

void ChangeFolder(Call& c) {
  const int changed = SimChangeFolder(c.sim.state.fs, NameParameter(c));
  if (changed != kFsOk) FileError(c, changed);
}

void CurrentFolder(Call& c) {
  c.answers.push_back(SimCurrentFolderText(c.sim.state.fs));
}

void FolderCatalogue(Call& c) {
  c.answers.push_back(SimCatalogue(c.sim.state.fs, true));
}

void FileCatalogue(Call& c) {
  c.answers.push_back(SimCatalogue(c.sim.state.fs, false));
}

void EntryDate(Call& c) {
  const SimFileSystem& fs = c.sim.state.fs;
  const std::string name = NameParameter(c);
  if (const SimEntry* entry = SimFindEntry(fs, name)) return c.answers.push_back(entry->modified);
  if (IsHostileName(fs, name)) return c.answers.push_back(fs.seedDate);
  FileError(c, kFsNotFound);
  c.answers.push_back(kNoDate);
}

// ":MMEM:FSIZ? "NAME"" and "FSIZE? 'NAME'": the bytes of a file; a folder holds none.
void EntrySize(Call& c) {
  const SimFileSystem& fs = c.sim.state.fs;
  const std::string name = NameParameter(c);
  size_t size = 0;
  if (const SimEntry* entry = SimFindEntry(fs, name)) {
    size = entry->bytes.size();
  } else if (IsHostileName(fs, name)) {
    size = sizeof kSimHostileBytes - 1;
  } else {
    FileError(c, kFsNotFound);
  }
  c.answers.push_back(std::to_string(size));
}

void MakeFolder(Call& c) {
  const int made = SimMakeFolder(c.sim.state.fs, NameParameter(c));
  if (made != kFsOk) FileError(c, made);
}

}  // namespace vq
