// What a command handler of the simulator's table sees: the analyzer, the connection, the parsed
// command and the answers of its line; shared by the handler files.
#pragma once

#include <string>
#include <vector>

#include "sim_session.h"

namespace vq {

// One command of a line: its header (upper case, without the leading colon) and its parameters.
struct Command {
  std::string header;
  std::string args;  // as sent, blanks trimmed
};

struct Call {
  SimAnalyzer& sim;
  SimSession& session;
  const Command& command;
  std::vector<std::string>& answers;
};
using Handler = void (*)(Call&);

// Puts an entry in the error queue and sets the status bits it raises.
void QueueError(SimSession& s, int code, const char* text);

// The parameters of a command split at the commas outside quotes, each trimmed and unquoted.
std::vector<std::string> Parameters(const std::string& args);

// The file, synchronisation and automatics commands (sim_files.cpp).
void MeasurementArea(Call& c);
void FileRead(Call& c);
void BinarySendOn(Call& c);
void StoreSettings(Call& c);
void StoreTrace(Call& c);
void LoadSettings(Call& c);
void LoadTrace(Call& c);
void DeleteFile(Call& c);
void AxisValue(Call& c);
void SetAutomatic(Call& c);
void SetWarningBuzzer(Call& c);
void SetActiveTrace(Call& c);
void SetTraceAttribute(Call& c);
void SetTriggerInput(Call& c);
void TraceLevels(Call& c);
// The file system's folder, catalogue and drive commands (sim_fs_commands.cpp).
void SelectDrive(Call& c);
void StoragePresent(Call& c);
void ChangeFolder(Call& c);
void CurrentFolder(Call& c);
void FolderCatalogue(Call& c);
void FileCatalogue(Call& c);
void EntryDate(Call& c);
void EntrySize(Call& c);
void MakeFolder(Call& c);
// A "filewrite" line: the name and the definite-length block behind it; true when it was one.
bool HandleFileWrite(SimAnalyzer& sim, SimSession& session, const std::string& line);

}  // namespace vq
