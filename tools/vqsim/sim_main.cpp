// vqsim: the analyzer's side of the instrument link on 127.0.0.1, for demonstrations and tests.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "sim_server.h"
#include "sim_session.h"

namespace {

int Fail(std::string message) {
  for (char& c : message) {
    if (c == '\n') c = ' ';
  }
  std::fprintf(stderr, "vqsim: %s\n", message.c_str());
  return 2;
}

// The four comma-separated fields of an identity: maker, model, serial number, firmware.
bool IsIdentity(const std::string& idn) {
  int commas = 0;
  for (char c : idn) commas += c == ',';
  return commas == 3 && idn.find_first_of("\r\n;") == std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
  vq::SimAnalyzer sim;
  vq::SimOptions& o = sim.options;
  std::vector<std::string> faultTexts;
  CLI::App app("The VQ7000B analyzer's remote interface, simulated on 127.0.0.1.", "vqsim");
  app.set_version_flag("--version", "vqsim " VQ_PRODUCT_VERSION);
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.add_option("--port", o.port, "TCP port; 0 picks a free one (default 10001)")
      ->check(CLI::Range(0, 65535));
  app.add_option("--user", o.user, "User name of the remote account (default \"user\")");
  app.add_option("--password", o.password, "Password of the remote account (default \"pass\")");
  app.add_option("--idn", o.idn, "Answer to *IDN?: \"MAKER,MODEL,SERIAL,FIRMWARE\"");
  app.add_option("--points", o.points, "Points of the traces that hold data (default 50001)")
      ->check(CLI::Range(1, 50001));
  app.add_option("--login-case", o.loginCase,
                 "Letter case of the login's answers: as-is (default), lower, upper")
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, int>{{"as-is", 0}, {"lower", 1}, {"upper", 2}}));
  app.add_flag("--system-error", o.systemError, "Report a system error (RSMNORM? answers 1)");
  app.add_option(
         "--fault", faultTexts,
         "KIND[=COMMAND]: close-mid-reply, stall, oversize, bad-block-header, split-crlf, "
         "drip (on COMMAND, default *IDN?), wrong-idn, bad-login, close-mid-sweep, hostile-names; "
         "repeatable")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--error", o.startErrors,
                 "CODE,\"TEXT\": an entry of the error queue at each login; repeatable")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--log", o.logPath, "Write every command line received to this file");
  app.add_flag("--verbose", o.verbose, "Report connections on standard error");
  // The analyzer's own settings and traces, as the viewer finds them on connecting.
  vq::SimState& state = sim.state;
  std::string traceLetters = "A";
  app.add_option("--center", state.centre, "Centre wavelength in nm (default 1550)")
      ->check(CLI::Range(600.0, 1750.0));
  app.add_option("--span", state.span, "Span in nm (default 10)")->check(CLI::Range(0.0, 1200.0));
  app.add_option("--traces", traceLetters,
                 "Letters of the traces that hold data, e.g. A or ACG; \"\" for none (default A)");
  app.add_option("--meas-area", state.measArea, "Measurement-area mode (MEASAREA? answers it + 1)")
      ->check(CLI::Range(0, 9));
  app.add_option("--sweep-ms", o.sweepMs, "How long one sweep takes, in ms (default 1000)")
      ->check(CLI::Range(1, 600000));
  // The file system: the USB storage, the drives' sizes and the files they hold at start.
  vq::SimFileSystem& fs = state.fs;
  bool noUsb = false;
  std::string intFiles, extFiles;
  int catalogueSize = 0;
  fs.drives[vq::kSimInt].capacity = 64ull << 20;
  fs.drives[vq::kSimExt].capacity = 256ull << 20;
  app.add_flag("--no-usb", noUsb, "No USB storage present: EXT cannot be selected");
  app.add_option("--storage-bytes", fs.drives[vq::kSimInt].capacity,
                 "Capacity of the internal memory INT in bytes (default 64 MiB)")
      ->check(CLI::Range(uint64_t{0}, uint64_t{1} << 40));
  app.add_option("--ext-storage-bytes", fs.drives[vq::kSimExt].capacity,
                 "Capacity of the USB storage EXT in bytes (default 256 MiB)")
      ->check(CLI::Range(uint64_t{0}, uint64_t{1} << 40));
  app.add_option("--files", intFiles, "Copy this folder tree into INT's top folder at start")
      ->check(CLI::ExistingDirectory);
  app.add_option("--ext-files", extFiles, "Copy this folder tree into EXT's top folder at start")
      ->check(CLI::ExistingDirectory);
  app.add_option("--catalogue-size", catalogueSize,
                 "Add this many small generated files (GEN00000.TXT, ...) to INT's top folder")
      ->check(CLI::Range(0, static_cast<int>(vq::kSimFolderLimit)));
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    return app.exit(e);
  } catch (const CLI::Error& e) {
    return Fail(e.what());
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  if (!IsIdentity(o.idn)) return Fail("--idn needs four comma-separated fields: " + o.idn);
  for (const std::string& entry : o.startErrors) {
    if (!vq::IsErrorEntry(entry)) return Fail("--error needs CODE,\"TEXT\": " + entry);
  }
  for (const std::string& text : faultTexts) {
    std::string error;
    const std::optional<vq::Fault> fault = vq::ParseFault(text, error);
    if (!fault) return Fail(error);
    o.faults.push_back(*fault);
    if (fault->kind == vq::FaultKind::HostileNames) fs.hostileNames = true;
  }
  fs.usbPresent = !noUsb;
  std::string seedError;
  if (!intFiles.empty() && !vq::SimSeedFromHost(fs, vq::kSimInt, intFiles, seedError)) {
    return Fail("--files: " + seedError);
  }
  if (!extFiles.empty() && !vq::SimSeedFromHost(fs, vq::kSimExt, extFiles, seedError)) {
    return Fail("--ext-files: " + seedError);
  }
  vq::SimSeedGenerated(fs, catalogueSize);
  fs.seeding = false;  // from now on entries take the time they are made

  std::FILE* log = nullptr;
  if (!o.logPath.empty()) {
    log = std::fopen(o.logPath.c_str(), "w");
    if (log == nullptr) return Fail("cannot write the log " + o.logPath);
  }
  state.points = o.points;
  std::string stateError;
  if (!vq::PrepareSimState(state, traceLetters, stateError)) {
    vq::EndSimState();
    return Fail(stateError);
  }
  int port = 0;
  std::string error;
  const int listener = vq::OpenListener(o.port, port, error);
  if (listener < 0) {
    vq::EndSimState();
    return Fail(error);
  }
  std::printf("listening on 127.0.0.1:%d\n", port);
  std::fflush(stdout);
  const int code = vq::Serve(sim, listener, log);
  close(listener);
  vq::EndSimState();
  if (log != nullptr) std::fclose(log);
  return code;
}
