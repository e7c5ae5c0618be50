// `vqtool render`: start the instrument headless, capture the screen and report its state.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace vq {

// One key of --keys: a command or character as the keyboard sends it, a mouse action, or a soft
// key named by its label (found on the page shown when it is pressed).
struct KeyAction {
  enum Kind { Command, Char, Click, RightClick, Wheel, Soft } kind = Command;
  int code = 0;  // the command or character code; the wheel's notches
  int x = 0;
  int y = 0;
  std::string label;  // Soft: the label with '_' for each blank
};

// Parses the --keys text (blank-separated names); false with a one-line error in `error`.
bool ParseKeys(const std::string& text, std::vector<KeyAction>& keys, std::string& error);

struct RenderOptions {
  std::string home;
  std::vector<std::string> drops;
  std::vector<KeyAction> keys;
  std::string out;
  int width = 800;
  std::string state;
  bool noSave = false;  // skip the state backup at the end
  // --connect HOST[:PORT]: the Connection dialog's Connect before the drops and keys.
  std::string connect;
  std::optional<std::string> user;  // unset: the stored account
  std::optional<std::string> password;
  bool answerOk = true;  // the "Initialized" dialog's answer
  int runMs = 0;         // real time the loop runs after the keys
  // --save-traces DIR: each trace holding data written as DIR/A.wv8 .. G.wv8 at the end.
  std::string saveTraces;
};

// Writes each trace that holds data as FOLDER/A.wv8 .. G.wv8 (binary trace files): true, or
// false after a one-line error on stderr (save_traces.cpp).
bool SaveTraces(const std::string& folder);

// The state of the current context as JSON.
nlohmann::json StateJson();

// Runs the render command; returns the exit code (0; 2 with a one-line error on stderr; 3 when
// the connection failed or the link was lost, with the connection's error text on stderr).
int RunRender(const RenderOptions& options);

}  // namespace vq
