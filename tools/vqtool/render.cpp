// `vqtool render`: start the instrument headless, capture the screen and report its state.
#include "render.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "file_list_json.h"
#include "frame/frame.h"
#include "frame/headless_loop.h"
#include "frame/key_names.h"
#include "instrument.h"
#include "link/connection.h"
#include "marker_state.h"
#include "memory_json.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/messages.h"
#include "menu/popup_menu.h"
#include "platform/headless_host.h"
#include "platform/image_files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "screen/renderer.h"
#include "screen/screen_areas.h"
#include "screen/waveform.h"

namespace vq {

namespace {

KeyAction MakeKey(KeyAction::Kind kind, int code, int x = 0, int y = 0) {
  KeyAction key;
  key.kind = kind;
  key.code = code;
  key.x = x;
  key.y = y;
  return key;
}

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", v);
  return text;
}

// Comma-separated integers, all of them; a leading '+' is allowed.
bool ParseInts(std::string_view text, std::vector<int>& values) {
  values.clear();
  while (true) {
    const size_t comma = text.find(',');
    std::string_view part = text.substr(0, comma);
    if (part.starts_with('+')) part.remove_prefix(1);
    int v = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), v);
    if (part.empty() || error != std::errc() || end != part.data() + part.size()) return false;
    values.push_back(v);
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

// A mouse key: "Click:X,Y", "RightClick:X,Y" or "Wheel:X,Y,N" on the 800 by 600 screen.
bool ParseMouseKey(const std::string& name, KeyAction& key) {
  struct Form {
    const char* prefix;
    KeyAction::Kind kind;
    size_t count;
  };
  constexpr Form kForms[] = {{"Click:", KeyAction::Click, 2},
                             {"RightClick:", KeyAction::RightClick, 2},
                             {"Wheel:", KeyAction::Wheel, 3}};
  for (const Form& f : kForms) {
    if (!name.starts_with(f.prefix)) continue;
    std::vector<int> v;
    if (!ParseInts(std::string_view(name).substr(std::strlen(f.prefix)), v) ||
        v.size() != f.count || v[0] < 0 || v[0] >= kScreenWidth || v[1] < 0 ||
        v[1] >= kScreenHeight) {
      return false;
    }
    if (f.kind == KeyAction::Wheel && (v[2] == 0 || v[2] < -100 || v[2] > 100)) return false;
    key = MakeKey(f.kind, f.kind == KeyAction::Wheel ? v[2] : 0, v[0], v[1]);
    return true;
  }
  return false;
}

// Runs the loop until nothing is pending. While a button is held the loop never settles (the
// auto-repeat keeps it awake), so then a few passes draw what the press changed.
void Settle(HeadlessHost& host) {
  constexpr int kHeldPasses = 20;
  if (GInstrument->frame.mouseHeldElement != 0) {
    PumpUntilIdle(host, kHeldPasses);
  } else {
    PumpUntilIdle(host);
  }
}

void Send(HeadlessHost& host, uint32_t message, uintptr_t wParam, const KeyAction& at) {
  WindowProc(message, wParam, static_cast<intptr_t>(at.x | at.y << 16));
  Settle(host);
}

// Delivers a key as the window would: commands and characters, or the pointer moved to the
// point before its buttons.
void PressKey(HeadlessHost& host, const KeyAction& key) {
  switch (key.kind) {
    case KeyAction::Command:
    case KeyAction::Char:
      WindowProc(key.kind == KeyAction::Command ? WM_COMMAND : WM_CHAR,
                 static_cast<uintptr_t>(key.code), 0);
      Settle(host);
      return;
    case KeyAction::Click:
      Send(host, WM_MOUSEMOVE, 0, key);
      Send(host, WM_LBUTTONDOWN, 0, key);
      Send(host, WM_LBUTTONUP, 0, key);
      return;
    case KeyAction::RightClick:
      Send(host, WM_MOUSEMOVE, 0, key);
      Send(host, WM_RBUTTONDOWN, 0, key);
      return;
    case KeyAction::Wheel:
      Send(host, WM_MOUSEMOVE, 0, key);
      Send(host, WM_MOUSEWHEEL, static_cast<uintptr_t>(static_cast<uint16_t>(key.code)) << 16, key);
      return;
    case KeyAction::Soft:
      return;  // resolved by the caller against the page shown now
  }
}

// Presses the soft key of a Soft: name on the page shown now; false with the error printed.
bool PressSoftKeyByLabel(HeadlessHost& host, const KeyAction& key) {
  std::string labels;
  const int slot = FindSoftKey(key.label, labels);
  if (slot < 0) {
    std::fprintf(stderr, "vqtool render: no soft key Soft:%s on this page (soft keys: %s)\n",
                 key.label.c_str(), labels.empty() ? "none" : labels.c_str());
    return false;
  }
  PressKey(host, MakeKey(KeyAction::Command, kCmdSoftKey1 + slot));
  return true;
}

// Every text of the state comes from the instrument: Latin-1 bytes, made UTF-8 for JSON.
void ToUtf8(nlohmann::json& j) {
  if (j.is_string()) {
    j = InstrumentTextToUtf8(j.get_ref<const std::string&>());
  } else if (j.is_structured()) {
    for (auto& item : j) ToUtf8(item);
  }
}

std::string Trimmed(const char* text, size_t size) {
  std::string s(text, strnlen(text, size));
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The fields of a condition record that tell which window and scale a trace was taken with.
nlohmann::json RecordJson(const MeasCondition& c) {
  return {{"label", Trimmed(c.label, 56)},
          {"centre", c.centre},
          {"span", c.span},
          {"start", c.start},
          {"stop", c.stop},
          {"resolution", c.resolution},
          {"refLevel", c.refLevel},
          {"logScale", c.logScale},
          {"sensitivity", c.sensitivity},
          {"samplingPoints", c.samplingPoints},
          {"storedPoints", c.storedPoints},
          {"frequencyMode", c.frequencyMode}};
}

// Each trace's state, record and a summary of its levels (mW) over its sampling points.
nlohmann::json TracesJson() {
  const TraceStore& store = GInstrument->traces;
  nlohmann::json traces = nlohmann::json::array();
  for (int t = 0; t < kTraceCount; ++t) {
    const Trace& trace = store.traces[t];
    const int points = std::clamp(trace.condition.samplingPoints, 0, kMaxPoints);
    nlohmann::json j = {{"trace", std::string(1, static_cast<char>('A' + t))},
                        {"attribute", store.state.attribute[t]},
                        {"fixedFrom", store.state.fixedFrom[t]},
                        {"display", store.state.display[t]},
                        {"pane", store.state.pane[t]},
                        {"record", RecordJson(trace.condition)},
                        {"points", points}};
    if (points > 0) {
      const auto peak = std::max_element(trace.level.begin(), trace.level.begin() + points);
      j["firstLevel"] = trace.level[0];
      j["lastLevel"] = trace.level[points - 1];
      j["peakLevel"] = *peak;
      j["peakIndex"] = peak - trace.level.begin();
    }
    traces.push_back(j);
  }
  return traces;
}

// The connection, never the password.
nlohmann::json LinkJson() {
  const LinkState& link = GInstrument->link;
  nlohmann::json j = {{"connected", link.connected.load()},
                      {"host", link.host},
                      {"port", link.port},
                      {"error", link.lastError},
                      {"remote_state", link.remoteStateWord},
                      {"identity",
                       {{"maker", link.identity.maker},
                        {"model", link.identity.model},
                        {"serial", link.identity.serial},
                        {"firmware", link.identity.firmware}}},
                      {"command_format", link.commandFormat}};
  // Mirroring: the remote sweep flag and word, and the first point the next read asks for.
  j["sweep"] = {{"flag", link.sweepFlag}, {"word", link.remoteSweep}};
  j["last_point"] = link.lastPoint;
  return j;
}

int ConnectionFailed(int error) {
  return ReportConnectionError("render", error, "\n");
}

// Runs the Connection dialog's Connect with HOST[:PORT] and the account; the boxes left out keep
// what the dialog shows (Connect.ini's port, the stored account). The "Initialized" dialog is
// answered as asked.
void Connect(HeadlessHost& host, const RenderOptions& o) {
  const LinkState& link = GInstrument->link;
  ReadConnectIni();
  ConnectFields typed{o.connect, link.rowValues[kRowPort], o.user.value_or(link.userName),
                      o.password.value_or(link.password)};
  if (const size_t colon = o.connect.rfind(':'); colon != std::string::npos) {
    typed.host = o.connect.substr(0, colon);
    typed.port = o.connect.substr(colon + 1);
  }
  host.connectAnswers = {typed};  // one press; after a failure the dialog is cancelled
  host.boxAnswers = {o.answerOk ? BoxAnswer::Ok : BoxAnswer::Cancel};
  WindowProc(WM_COMMAND, kCmdConnect, 0);
  host.boxAnswers.clear();
  PumpUntilIdle(host);
}

}  // namespace

int ReportConnectionError(const char* command, int error, const char* lineBreak) {
  std::string text = ConnectionErrorText(error);
  for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, lineBreak);
  text.erase(text.find_last_not_of(' ') + 1);
  std::fprintf(stderr, "vqtool %s: %s\n", command, text.c_str());
  return 3;
}

bool ParseKeys(const std::string& text, std::vector<KeyAction>& keys, std::string& error) {
  std::istringstream words(text);
  std::string name;
  while (words >> name) {
    KeyAction key;
    if (name.size() == 1 && name[0] > ' ' && name[0] < 0x7F) {
      key = MakeKey(KeyAction::Char, name[0]);
    } else if (name == "Space") {
      key = MakeKey(KeyAction::Char, ' ');
    } else if (const int command = KeyNameCommand(name)) {
      key = MakeKey(KeyAction::Command, command);
    } else if (name.starts_with("Soft:")) {
      key = MakeKey(KeyAction::Soft, 0);
      key.label = name.substr(5);
      if (key.label.empty()) {
        error = "bad soft key " + name + " (Soft:LABEL, with _ for each blank of the label)";
        return false;
      }
    } else if (!ParseMouseKey(name, key)) {
      error = name.find(':') == std::string::npos
                  ? "unknown key name " + name
                  : "bad mouse key " + name +
                        " (Click:X,Y, RightClick:X,Y or Wheel:X,Y,N with X below 800, Y below 600)";
      return false;
    }
    keys.push_back(key);
  }
  return true;
}

nlohmann::json StateJson() {
  const Instrument& g = *GInstrument;
  nlohmann::json j;
  j["title"] = g.frame.title;
  j["appState"] = g.frame.appState.load();
  j["redrawFlags"] = Hex(g.frame.redrawFlags);
  j["exitRequest"] = g.frame.exitRequest;
  j["screenMode"] = g.screen.screenMode;
  j["colourScheme"] = g.screen.scheme;
  j["overlayId"] = g.screen.overlayId.load();
  j["busyAngle"] = g.frame.busyAngle.load();
  j["linkConnected"] = g.link.connected.load();
  j["captureCounter"] = g.config.captureCounter;
  j["productVersion"] = g.config.productVersion;
  j["revision"] = g.config.revisionText;
  nlohmann::json slots = nlohmann::json::array();
  for (uint32_t c : g.screen.colours) slots.push_back(Hex(c));
  j["colourSlots"] = slots;

  const MenuState& m = g.menu;
  j["currentMenu"] = m.currentMenu;
  j["page"] = m.page;
  j["pageTitle"] = PageTitle(m.page);
  j["depth"] = m.depth;
  nlohmann::json stack = nlohmann::json::array();
  for (int i = 0; i < std::min(m.depth, kMaxPageDepth); ++i) {
    stack.push_back({{"page", m.parents[i]}, {"title", PageTitle(m.parents[i])}});
  }
  j["pageStack"] = stack;
  nlohmann::json keys = nlohmann::json::array();
  for (int slot = 0; slot < kSoftKeysPerPage; ++slot) {
    const SoftKeySlot& k = m.keySlots[slot];
    nlohmann::json lines = nlohmann::json::array();
    for (const char* line : k.lines) lines.push_back(std::string(line, strnlen(line, 16)));
    keys.push_back(
        {{"target", k.target}, {"state", k.state}, {"lines", lines}, {"pressed", m.pressed[slot]}});
  }
  j["softKeys"] = keys;
  j["selectionMode"] = m.selectionMode;
  j["currentMessage"] = g.messages.currentMessage;
  j["currentMessageText"] = MessageText(g.messages.currentMessage);

  const PopupState& p = g.popup;
  int itemCount = 0;
  const PopupItem* items = PopupItems(&itemCount);
  const bool selected = p.open && p.selected >= 0 && p.selected < itemCount;
  j["popup"] = {{"open", p.open},
                {"x", p.x},
                {"y", p.y},
                {"width", p.width},
                {"height", p.height},
                {"selected", p.selected},
                {"selectedLabel", selected ? Trimmed(items[p.selected].label, 16) : ""}};
  const EntryState& e = g.entry;
  j["entry"] = {{"parameter", e.parameter},
                {"state", e.state},
                {"value", e.value},
                {"digits", std::string(e.digits, strnlen(e.digits, sizeof e.digits))}};
  j["mouseHeldElement"] = g.frame.mouseHeldElement;
  j["activeTrace"] = g.traces.state.activeTrace;
  j["traces"] = TracesJson();
  j["settingRecord"] = RecordJson(g.conditions.setting);
  j["measuredRecord"] = RecordJson(g.conditions.measured);
  nlohmann::json levels = nlohmann::json::array();
  for (int graph = 0; graph < GraphCount(g.screen.screenMode); ++graph) {
    levels.push_back(LevelLabelTexts(graph));
  }
  j["levelLabels"] = levels;
  j["markers"] = MarkersJson();
  j["analysis"] = AnalysisJson();
  j["markerRow"] = MarkerRowJson();
  j["dataArea"] = DataAreaJson();
  j["memory"] = MemoryJson();
  j["link"] = LinkJson();
  if (nlohmann::json files = FilesJson(); !files.is_null()) j["files"] = std::move(files);
  return j;
}

int RunRender(const RenderOptions& o) {
  HeadlessHost host;
  auto context = CreateInstrument(host);
  const Instrument& g = *context;
  StartOptions start;
  start.home = o.home;
  start.singleInstance = false;  // the tool runs beside a viewer
  start.saveState = !o.noSave;
  const StartResult started = StartUp(host, start);
  if (!started.running) {
    const std::string why = host.boxes.empty() ? "start-up failed" : host.boxes.back().text;
    std::fprintf(stderr, "vqtool render: %s\n", why.c_str());
    DestroyInstrument(context);
    return 2;
  }
  int code = 0;
  if (!PumpUntilIdle(host)) {
    std::fprintf(stderr, "vqtool render: the screen did not settle\n");
    code = 2;
  }
  if (code == 0 && !o.connect.empty()) {
    Connect(host, o);
    if (const int error = g.link.lastError; error != 0) {
      WindowProc(WM_CLOSE, 0, 0);
      PumpUntilIdle(host);
      DestroyInstrument(context);
      return ConnectionFailed(error);
    }
  }
  for (const std::string& file : o.drops) {
    SetDroppedFiles({file});
    WindowProc(WM_DROPFILES, 0, 0);
    PumpUntilIdle(host);
  }
  for (const KeyAction& key : o.keys) {
    if (g.frame.windowDestroyed) break;  // a key ended the program (Alt+Q)
    if (key.kind != KeyAction::Soft) {
      PressKey(host, key);
    } else if (!PressSoftKeyByLabel(host, key)) {
      code = 2;
      break;
    }
  }
  if (code == 0 && o.runMs > 0 && !g.frame.windowDestroyed) RunHeadlessLoopFor(host, o.runMs);
  if (code == 0 && !o.out.empty() && g.frame.windowDestroyed) {
    std::fprintf(stderr, "vqtool render: the keys closed the window; no screen to capture\n");
    code = 2;
  }
  if (code == 0 && !o.out.empty()) {
    const bool ok =
        EndsWith(o.out, ".png") ? CaptureToPngFile(o.out, o.width) : CaptureToFile(o.out, o.width);
    if (!ok) {
      std::fprintf(stderr, "vqtool render: cannot write %s\n", o.out.c_str());
      code = 2;
    }
    PumpUntilIdle(host);
  }
  if (code == 0 && !o.state.empty()) {
    // Written whole or not at all: a failed write keeps the file that was there.
    nlohmann::json state = StateJson();
    ToUtf8(state);
    const std::string text = state.dump(2) + "\n";
    if (!WriteFileAtomic(o.state, std::vector<uint8_t>(text.begin(), text.end()))) {
      std::fprintf(stderr, "vqtool render: cannot write %s\n", o.state.c_str());
      code = 2;
    }
  }
  // The traces as they stand at the end (also those a lost link left on the screen).
  if (code == 0 && !o.saveTraces.empty() && !SaveTraces(o.saveTraces)) code = 2;
  // A link lost during the keys or the run: its error after the state was written.
  const int linkError = o.connect.empty() ? 0 : g.link.lastError;
  WindowProc(WM_CLOSE, 0, 0);
  PumpUntilIdle(host);
  DestroyInstrument(context);
  if (code == 0 && linkError != 0) return ConnectionFailed(linkError);
  return code;
}

void AddRenderCommand(CLI::App& app) {
  auto o = std::make_shared<RenderOptions>();
  CLI::App* render = app.add_subcommand(
      "render", "Start headless, press keys, capture the screen and write the state as JSON");
  render->footer(
      "Starts the instrument as the viewer does, without a window: drops each file on the\n"
      "window, presses the keys one by one, runs until nothing is pending, captures the screen\n"
      "(BMP or PNG, the whole 800 pixels or 700 without the soft-key column) and writes the\n"
      "state as JSON. The state backup of the configuration folder is restored at start and\n"
      "saved at the end, as the viewer does (--no-save skips the save).\n"
      "Key names: F1..F9, Shift+F1.., Alt+F1.., Up, Down, Left, Right, Enter, Shift+Enter,\n"
      "Backspace, Delete, Insert, Apps, Ctrl+Home, Alt+N, Alt+Q, Ctrl+Alt+B, one printable\n"
      "character (typed), Space (a typed blank), Click:X,Y, RightClick:X,Y, Wheel:X,Y,+1 or\n"
      "Wheel:X,Y,-1 (screen pixels), Soft:LABEL (the soft key of the page shown then whose\n"
      "label lines, joined by one blank, are LABEL, written with _ for each blank:\n"
      "Soft:ITEM_SELECT).\n"
      "With --connect the Connection dialog's Connect runs first (then the drops and keys, the\n"
      "--run-ms time, the capture and the state); the end disconnects as the viewer's exit does.\n"
      "A connection error, or a link lost later, prints its text and exits with 3.\n"
      "Example: vqtool render --drop samples/dfb_laser.csv --keys \"Shift+F4 F2\" --out s.png");
  render
      ->add_option("--home", o->home,
                   "configuration folder (default: $VQ_HOME or ~/.config/VQ7000B)")
      ->type_name("DIR");
  // One file per --drop, as often as wanted.
  render->add_option("--drop", o->drops, "drop FILE on the window (repeatable)")
      ->type_name("FILE")
      ->allow_extra_args(false)
      ->check(CLI::ExistingFile.description(""));
  // Every --keys text is parsed when it is read, so a bad name fails before anything runs.
  render
      ->add_option_function<std::vector<std::string>>(
          "--keys",
          [o](const std::vector<std::string>& texts) {
            std::string error;
            for (const std::string& text : texts) {
              if (!ParseKeys(text, o->keys, error)) throw CLI::ValidationError(error);
            }
          },
          "key names separated by blanks, pressed after the drops")
      ->type_name("KEYS")
      ->allow_extra_args(false);
  render->add_option("--out", o->out, "capture the screen to FILE.bmp or FILE.png")
      ->type_name("FILE")
      ->check(CLI::Validator(
          [](std::string& v) {
            return EndsWith(v, ".bmp") || EndsWith(v, ".png")
                       ? std::string()
                       : "must name a .bmp or .png file: " + v;
          },
          "", "image file"));
  render
      ->add_option_function<std::string>(
          "--width", [o](const std::string& v) { o->width = std::stoi(v); },
          "capture width: 800, or 700 without the soft-key column")
      ->type_name("800|700")
      ->check(CLI::IsMember({"800", "700"}).description(""));
  render->add_option("--state", o->state, "write the state as JSON to FILE")->type_name("FILE");
  render->add_flag("--no-save", o->noSave,
                   "do not save the state backup at the end (it is restored at start either way)");
  render
      ->add_option("--connect", o->connect,
                   "connect to the analyzer first, as the Connection dialog's Connect does")
      ->type_name("HOST[:PORT]");
  render
      ->add_option("--user", o->user, "user name of the analyzer account (default: the stored one)")
      ->type_name("U");
  render
      ->add_option("--password", o->password,
                   "password of the analyzer account (default: the stored one)")
      ->type_name("P");
  render
      ->add_option_function<std::string>(
          "--answer", [o](const std::string& v) { o->answerOk = v == "ok"; },
          "the answer to the \"Initialized\" dialog (default ok)")
      ->type_name("ok|cancel")
      ->check(CLI::IsMember({"ok", "cancel"}).description(""));
  render->add_option("--run-ms", o->runMs, "let the loop run this long after the keys (real time)")
      ->type_name("N")
      ->check(CLI::Range(0, 3600000).description(""));
  // The scripting path: connect, run a sweep, save the traces.
  render
      ->add_option("--save-traces", o->saveTraces,
                   "write each trace that holds data as DIR/A.wv8 .. G.wv8 at the end")
      ->type_name("DIR")
      ->check(CLI::ExistingDirectory.description(""));
  render->callback([o] {
    if (const int code = RunRender(*o)) throw CLI::RuntimeError(code);
  });
}

}  // namespace vq
