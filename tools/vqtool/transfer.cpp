// `vqtool transfer`: the File Transfer window's commands from the command line. It connects as
// the FileTransfer menu command does and runs the window's own functions on its lists.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "frame/frame.h"
#include "frame/headless_loop.h"
#include "instrument.h"
#include "link/connection.h"
#include "link/file_transfer.h"
#include "tool_run.h"

namespace fs = std::filesystem;

namespace vq {

namespace {

struct TransferOptions {
  std::string connect;
  std::string user;
  std::string password;
  std::string memory = "INT";
  std::string pcFolder = ".";
  std::string overwrite = "yes";
  bool json = false;
  std::vector<std::string> command;  // the command word and its names
};

// Where the log lines go: stdout, or stderr while stdout carries JSON.
FILE* gLogOut = stdout;

void PrintLogLine(const std::string& line) {
  std::fprintf(gLogOut, "%s\n", line.c_str());
}

int Refuse(const std::string& why) {
  std::fprintf(stderr, "vqtool transfer: %s\n", why.c_str());
  return 2;
}

// One line for a runtime failure that is no log line; exit code 1.
int Report(const std::string& why) {
  std::fprintf(stderr, "vqtool transfer: %s\n", why.c_str());
  return 1;
}

OverwriteChoice ChoiceOf(const std::string& word) {
  if (word == "all") return OverwriteChoice::YesAll;
  if (word == "no") return OverwriteChoice::No;
  if (word == "cancel") return OverwriteChoice::Cancel;
  return OverwriteChoice::Yes;
}

// Names grouped by their folder part (before the last `separator`), in the order first seen.
std::vector<std::pair<std::string, std::vector<std::string>>> ByFolder(
    const std::vector<std::string>& names, char separator) {
  std::vector<std::pair<std::string, std::vector<std::string>>> groups;
  for (const std::string& name : names) {
    const size_t cut = name.rfind(separator);
    const std::string folder = cut == std::string::npos ? "" : name.substr(0, cut);
    const std::string leaf = cut == std::string::npos ? name : name.substr(cut + 1);
    auto it = std::find_if(groups.begin(), groups.end(),
                           [&](const auto& g) { return g.first == folder; });
    if (it == groups.end()) it = groups.insert(groups.end(), {folder, {}});
    it->second.push_back(leaf);
  }
  return groups;
}

// Opens an analyzer folder path ("SUB\DEEPER") from the current folder, a part at a time.
bool OpenAnalyzerPath(const std::string& path, std::string& error) {
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find('\\', start), path.size());
    const std::string part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    bool folder = part == "..";
    for (const TransferEntry& e : GInstrument->transfer.analyzer.entries) {
      if (e.name == part && e.kind == kTransferFolder) folder = true;
    }
    if (!folder) {
      error = "no folder " + part + " on the analyzer";
      return false;
    }
    if (!OpenFolder(TransferSide::Analyzer, part)) {
      error = "the analyzer list cannot be read";
      return false;
    }
  }
  return true;
}

void PrintList(bool json) {
  const std::vector<TransferEntry>& entries = GInstrument->transfer.analyzer.entries;
  if (json) {
    nlohmann::json list = nlohmann::json::array();
    for (const TransferEntry& e : entries) {
      if (e.name == "..") continue;
      list.push_back({{"name", e.name},
                      {"kind", e.kind == kTransferFolder ? "folder" : "file"},
                      {"size", e.size},
                      {"date", e.dateText}});
    }
    const std::string text = list.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    std::printf("%s\n", text.c_str());
    return;
  }
  std::printf("%s\n", GInstrument->transfer.analyzerDirectory.c_str());
  for (const TransferEntry& e : entries) {
    std::printf("%-40s %10s  %-12s %s\n", e.name.c_str(), TransferSizeText(e).c_str(),
                e.typeText.c_str(), e.dateText.c_str());
  }
}

// The command inside the open window; the exit code it earns besides the log's errors.
int RunInWindow(HeadlessHost& host, const TransferOptions& o) {
  const std::string& word = o.command[0];
  const std::vector<std::string> names(o.command.begin() + 1, o.command.end());
  host.browseAnswers = {fs::absolute(o.pcFolder).lexically_normal().string()};
  BrowsePcFolder();
  if (o.memory == "EXT") {
    if (!SelectMemory(TransferMemory::Ext)) return Report("the analyzer list cannot be read");
    if (CurrentMemory() != TransferMemory::Ext)
      return Report("no USB storage: the memory stays INT");
  }
  std::string error;
  int code = 0;
  if (word == "list") {
    PrintList(o.json);
  } else if (word == "cd") {
    if (!OpenAnalyzerPath(names[0], error)) return Report(error);
    PrintList(o.json);
  } else if (word == "get" || word == "rm" || word == "mkdir") {
    for (const auto& [folder, leaves] : ByFolder(names, '\\')) {
      if (!OpenAnalyzerPath(folder, error)) return Report(error);
      SetTransferFocus(TransferSide::Analyzer);
      if (word == "mkdir") {
        host.folderNameAnswers = {leaves[0]};
        NewFolderCommand();
      } else {
        // Names the analyzer does not list (or refused to) are reported; the others go on.
        for (const std::string& name : SelectNames(TransferSide::Analyzer, leaves)) {
          code = Report("no " + name + " on the analyzer");
        }
        const bool selected = TransferButtonStates().download;
        if (selected && word == "get") DownloadCommand();
        if (selected && word == "rm") {
          host.boxAnswers = {BoxAnswer::Ok};  // "Are you sure?"
          DeleteCommand();
        }
      }
      if (GInstrument->transfer.closeRequested) return code;
      // Back to the folder the command started in, for the next group.
      for (size_t depth = folder.empty() ? 0 : 1 + std::count(folder.begin(), folder.end(), '\\');
           depth > 0; --depth) {
        if (!OpenFolder(TransferSide::Analyzer, "..")) return code;
      }
    }
  } else if (word == "put") {
    for (const auto& [folder, leaves] : ByFolder(names, '/')) {
      const fs::path base = fs::path(o.pcFolder) / (folder.empty() ? "." : folder);
      host.browseAnswers = {fs::absolute(base).lexically_normal().string()};
      BrowsePcFolder();
      SetTransferFocus(TransferSide::Pc);
      for (const std::string& name : SelectNames(TransferSide::Pc, leaves)) {
        code = Report("no " + name + " in " + base.string());
      }
      if (TransferButtonStates().upload) UploadCommand();
      if (GInstrument->transfer.closeRequested) return code;
    }
  }
  return code;
}

int RunTransfer(const TransferOptions& o) {
  const std::string& word = o.command[0];
  const size_t args = o.command.size() - 1;
  if (word == "list" && args != 0) return Refuse("list takes no names");
  if ((word == "cd" || word == "mkdir") && args != 1) return Refuse(word + " takes one name");
  if ((word == "get" || word == "put" || word == "rm") && args == 0) {
    return Refuse(word + " needs at least one name");
  }
  if (word != "list" && word != "cd" && word != "get" && word != "put" && word != "rm" &&
      word != "mkdir") {
    return Refuse("unknown command " + word + " (list, get, put, rm, mkdir, cd)");
  }
  if (o.json && word != "list" && word != "cd") return Refuse("--json goes with list and cd");
  std::error_code fsError;
  if (!fs::is_directory(o.pcFolder, fsError)) return Refuse("no folder " + o.pcFolder);

  Run run("transfer");
  if (!run.Started()) return run.Fail("the instrument did not start");
  HeadlessHost& host = run.Host();
  Instrument& g = *GInstrument;
  gLogOut = o.json ? stderr : stdout;
  g.transfer.log.echo = PrintLogLine;
  host.overwriteDefault = ChoiceOf(o.overwrite);

  ReadConnectIni();
  ConnectFields typed{o.connect, g.link.rowValues[kRowPort], o.user, o.password};
  if (const size_t colon = o.connect.rfind(':'); colon != std::string::npos) {
    typed.host = o.connect.substr(0, colon);
    typed.port = o.connect.substr(colon + 1);
  }
  host.connectAnswers = {typed};
  int code = 0;
  host.transferScript = [&] { code = RunInWindow(host, o); };
  WindowProc(WM_COMMAND, kCmdFileTransfer, 0);
  PumpUntilIdle(host);
  g.transfer.log.echo = nullptr;
  if (host.transferWindows == 0 || g.link.lastError != 0) {
    return ReportConnectionError("transfer", g.link.lastError != 0 ? g.link.lastError : 1, " ");
  }
  if (code != 0) return code;
  return g.transfer.errorLines > 0 ? 1 : 0;
}

}  // namespace

void AddTransferCommand(CLI::App& app) {
  auto o = std::make_shared<TransferOptions>();
  CLI::App* c = app.add_subcommand(
      "transfer", "Copy files between a PC folder and the analyzer, as the File Transfer window");
  c->footer(
      "Connects as the FileTransfer menu command does and runs one of the window's commands:\n"
      "  list            the analyzer's current folder (with --json: name, kind, size, date)\n"
      "  cd NAME         open an analyzer folder (\"..\" goes up; SUB\\DEEPER), then list it\n"
      "  get NAME...     download analyzer files and folders into the PC folder\n"
      "  put PATH...     upload PC files and folders (relative to the PC folder)\n"
      "  rm NAME...      delete analyzer files and folders\n"
      "  mkdir NAME      make an analyzer folder\n"
      "NAME may name a subfolder's entry as SUB\\NAME. The transfer log is printed as the window\n"
      "shows it. Exit codes: 0 done, 1 the log reports errors, 2 a bad command line, 3 the\n"
      "connection failed or was lost.");
  c->add_option("--connect", o->connect, "the analyzer to connect to")
      ->type_name("HOST[:PORT]")
      ->required();
  c->add_option("--user", o->user, "user name of the analyzer account")->type_name("U");
  c->add_option("--password", o->password, "password of the analyzer account")->type_name("P");
  c->add_option("--memory", o->memory, "the analyzer's memory (default INT)")
      ->type_name("INT|EXT")
      ->check(CLI::IsMember({"INT", "EXT"}).description(""));
  c->add_option("--pc-folder", o->pcFolder, "the PC folder (default: the current folder)")
      ->type_name("DIR");
  c->add_option("--overwrite", o->overwrite,
                "the answer to every \"Overwrite?\" question (default yes)")
      ->type_name("yes|all|no|cancel")
      ->check(CLI::IsMember({"yes", "all", "no", "cancel"}).description(""));
  c->add_flag("--json", o->json, "list and cd print the analyzer entries as JSON");
  c->add_option("command", o->command,
                "list | cd NAME | get NAME... | put PATH... | rm NAME... | "
                "mkdir NAME")
      ->required()
      ->expected(1, -1);
  c->callback([o] {
    if (const int code = RunTransfer(*o)) throw CLI::RuntimeError(code);
  });
}

}  // namespace vq
