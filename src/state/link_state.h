// State of the instrument link: the transport and its modes, the shared reply buffer, the one-shot
// link timers, and the connection with its settings rows, identity and flags.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/transport.h"

namespace vq {

using StateQueryFn = int16_t (*)();  // a soft key's state query, as the menu tables hold it

constexpr size_t kReplyBufferBytes = 1253376;  // one 1 MB file with its block header

// Link timer identifiers (one-shot; their expiry is noted, never routed to the timer step).
constexpr int kTimerLinkPoll = 11;        // status polling interval
constexpr int kTimerLinkTracePoll = 12;   // trace-data polling interval
constexpr int kTimerLinkBusy = 13;        // busy indicator, 50 ms after the last command
constexpr int kTimerLinkSweepCheck = 14;  // sweep-state check, 1000 ms
constexpr int kSweepCheckMs = 1000;
constexpr int kLinkTimerFirst = 11;
constexpr int kLinkTimerCount = 4;

// Terminator modes: CR LF, LF alone, CR alone.
constexpr int16_t kTerminatorCrLf = 0;
constexpr int16_t kTerminatorLf = 1;
constexpr int16_t kTerminatorCr = 2;

// One reply: text replies end with a zero behind their terminator; blocks are raw bytes.
struct LinkReply {
  std::vector<char> bytes;  // kReplyBufferBytes + 2 once the link is used
  size_t size = 0;
  std::string_view Text() const { return {bytes.data(), size}; }
};

struct LinkTimer {
  bool running = false;
  int32_t expired = 0;  // -1 after the timer fired, 0 while it runs or after it was stopped
};

// The connection rows of Connect.ini, in order.
enum ConnectRow { kRowHost, kRowPort, kRowPolling, kRowTracePolling, kConnectRowCount };

struct AnalyzerIdentity {
  std::string maker;
  std::string model;
  std::string serial;  // at most 15 characters
  std::string firmware;
};

struct LinkState {
  // Read by the frame and the busy thread too.
  std::atomic<int16_t> connected{0};  // link-connected flag: login, identity and set-up done
  std::atomic<int16_t> syncPending{0};
  std::atomic<int16_t> wake{0};  // 0 nothing, 1 the link asks to be woken, 2 wake-up posted
  std::atomic<int16_t> zeroing{0};
  std::atomic<int16_t> statusPollInFlight{0};
  std::atomic<int16_t> syncInFlight{0};
  std::atomic<int32_t> analyzerSweeping{0};  // mirrored sweep word of the connected analyzer

  // Transport, made at LinkOpen by makeTransport: null = the socket transport; tests swap it.
  std::unique_ptr<Transport> transport;
  std::unique_ptr<Transport> (*makeTransport)() = nullptr;
  int32_t open = 0;
  int16_t terminatorMode = kTerminatorCrLf;
  int32_t blockReplyMode = 0;  // 1 just around a definite-length block query
  int16_t commandFormat = 0;   // 0 standard command set, 1 the older one
  LinkReply reply;             // ReplyBuffer: every guarded query's reply
  int exchangeDepth = 0;       // > 0 while an exchange waits (no nested link work)
  std::array<LinkTimer, kLinkTimerCount> timers;
  int16_t busy = 0;
  bool longTimeouts = false;  // error-queue and sweep queries wait 15 s instead of 10 s
  // Run by a failed guarded query after the transport closed: the disconnection clean-up.
  void (*onQueryFailed)(int code) = nullptr;

  // Connection.
  int16_t analyzerSystemError = 0;
  int16_t remoteStateWord = 0;
  int32_t connectOpener = 0;  // 40067 Connect or 40073 FileTransfer (beyond int16_t)
  int16_t pullInProgress = 0;
  int16_t shellCommand = 0;  // a viewer menu command 40067..40074 runs
  int16_t remoteSweep = 0;
  int16_t offsetAdjustPending = 0;
  std::array<std::string, kConnectRowCount> rowValues;  // value texts of the Connect.ini rows
  int32_t pollPeriodMs = 200;
  int32_t tracePollPeriodMs = 1000;
  std::string host;  // the host and port of the last connection attempt
  uint16_t port = 0;
  std::string userName;  // the analyzer account (kept in the credentials file, never logged)
  std::string password;
  AnalyzerIdentity identity;
  int16_t modelCode = 4;
  std::array<int16_t, 10> featureFlags{1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  std::string pulledSettingsBase;     // "$$$VQ7000Bview"
  std::string settingsWorkFile;       // "$$$VQ7000Bview.st8"
  int lastError = 0;                  // error text number 0..4 of the last connection attempt
  std::string productVersionAtStart;  // the viewer's own version text, while the analyzer's shows

  // Synchronisation with the analyzer: pulls, pushes and the hand-back (sync.cpp, pull_file.cpp,
  // push_file.cpp).
  int16_t measAreaMode = 0;            // measurement-area mode the viewer works in
  int16_t savedMeasAreaMode = -1;      // the viewer's own before the first synchronisation; -1 none
  int16_t warningBuzzer = 1;           // the warning buzzer setting, silenced during the reads
  std::array<bool, 7> pulledTraces{};  // traces marked for the trace-file pull
  std::array<uint8_t, 488> receivedRecord{};    // condition record of the last pulled file
  std::string lastRemoteFile;                   // "\NAME" of the last file pulled and loaded
  std::array<uint16_t, 2> traceDisplayWords{};  // the two display-mode words of the settings
  // Set at start-up by the link: a settings or trace file just opened goes to the analyzer too
  // (the file menus reach the link only through it). Trace -1 for a settings file.
  void (*mirrorOpenedFile)(const std::string& path, int trace) = nullptr;
  // Remote mirroring and polling (remoteSweep above is the sweep word of the running sweep).
  int16_t sweepFlag = 0;  // 0 idle, 1 a viewer-started sweep runs, 2 the last poll found it ended
  int16_t restartSweep = 0;         // a changed setting needs the running sweep restarted
  int16_t actionBusy = 0;           // an action is being applied: the poll waits
  int16_t offsetRunning = 0;        // the analyzer's offset adjustment runs
  int16_t sweepPending = 0;         // a sweep asked for while the offset adjustment runs
  int32_t lastPoint = 0;            // first point number of the next incremental read
  int64_t offsetDueMs = -1;         // when the automatic offset adjustment is next due; -1 stopped
  int16_t autoOffset = 0;           // automatic offset adjustment on
  int16_t autoOffsetMinutes = 0;    // its interval; 0 = every 10 minutes
  std::vector<double> sweepBuffer;  // the incoming sweep, linear levels by point
  std::vector<std::pair<int16_t, StateQueryFn>> greyedKeys;        // nodes greyed for this analyzer
  std::vector<std::pair<int, std::array<int16_t, 9>>> savedPages;  // page targets laid out anew
  int (*remoteAction)(int id) = nullptr;  // set at start-up: the key engine's way to the mirror
  bool (*mirrorsAction)(int id) = nullptr;
};

}  // namespace vq
