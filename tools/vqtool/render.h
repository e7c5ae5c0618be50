// `vqtool render`: start the instrument headless, capture the screen and report its state.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace vq {

struct RenderOptions {
  std::string home;
  std::vector<std::string> drops;
  std::string out;
  int width = 800;
  std::string state;
};

// Parses the arguments after "render"; false with a one-line error in `error`.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);

// The state of the current context as JSON.
nlohmann::json StateJson();

// Runs the render command; returns the exit code (0, or 2 with a one-line error on stderr).
int RunRender(const RenderOptions& options);

extern const char* const kRenderHelp;

}  // namespace vq
