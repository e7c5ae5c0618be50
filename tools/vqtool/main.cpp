// vqtool: the instrument's core without a window, for automation and tests.
#include <cstdio>
#include <exception>
#include <string>

#include <CLI/CLI.hpp>

#include "commands.h"

namespace {

// "vqtool" and the subcommand being parsed, to begin an error line.
std::string Where(const CLI::App& app) {
  std::string where = app.get_name();
  for (const CLI::App* sub : app.get_subcommands()) where += " " + sub->get_name();
  return where;
}

// One line on stderr and exit code 2, for whatever the parse or the run refused.
int Fail(const std::string& where, std::string message) {
  for (char& c : message) {
    if (c == '\n') c = ' ';
  }
  std::fprintf(stderr, "%s: %s\n", where.c_str(), message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("The VQ7000B viewer's core without a window, for automation and tests.", "vqtool");
  app.set_version_flag("--version", "vqtool " VQ_PRODUCT_VERSION);
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);  // the last counts
  vq::AddRenderCommand(app);
  vq::AddConvertCommand(app);
  vq::AddAnalyzeCommand(app);
  vq::AddSearchCommand(app);
  vq::AddSettingsCommand(app);
  vq::AddCalcCommand(app);
  vq::AddJudgeCommand(app);
  vq::AddTransferCommand(app);  // file transfer
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --help or --version: the text on stdout, exit code 0
  } catch (const CLI::RuntimeError& e) {
    return e.get_exit_code();  // the subcommand has printed its error
  } catch (const CLI::Error& e) {
    return Fail(Where(app), e.what());
  } catch (const std::exception& e) {
    return Fail(Where(app), e.what());
  }
  // Without a subcommand the parse finds nothing wrong: say what is missing.
  if (app.get_subcommands().empty())
    return Fail("vqtool", "a subcommand is required (vqtool --help)");
  return 0;
}
