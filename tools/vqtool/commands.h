// The subcommands of vqtool: each declares its options on the command line and runs on parse.
#pragma once

namespace CLI {
class App;
}

namespace vq {

// Each adds one subcommand to `app`: its options, its --help text and a callback that runs it.
// A run that fails prints its one-line error and leaves the parse with CLI::RuntimeError(2).
void AddRenderCommand(CLI::App& app);
void AddConvertCommand(CLI::App& app);
void AddAnalyzeCommand(CLI::App& app);
void AddSearchCommand(CLI::App& app);
void AddSettingsCommand(CLI::App& app);
void AddCalcCommand(CLI::App& app);
void AddJudgeCommand(CLI::App& app);
void AddTransferCommand(CLI::App& app);  // file transfer

// A connection error of a command: the dialog's text on stderr, its CR LF pairs as `lineBreak`,
// and exit code 3.
int ReportConnectionError(const char* command, int error, const char* lineBreak);

}  // namespace vq
