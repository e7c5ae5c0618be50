// The one context that holds all state of the instrument, grouped by subsystem. Every layer above
// the state headers sees it; the functions that act on a part live in that part's folder.
#pragma once

#include <memory>
#include <thread>

#include "platform/host.h"
#include "state/analysis_state.h"
#include "state/calc_state.h"
#include "state/condition_state.h"
#include "state/entry_state.h"
#include "state/file_state.h"
#include "state/frame_state.h"
#include "state/link_state.h"
#include "state/menu_state.h"
#include "state/screen_state.h"
#include "state/template_state.h"
#include "state/trace_state.h"
#include "state/transfer_state.h"  // file transfer

namespace vq {

struct Instrument {
  Host* host = nullptr;
  ConfigState config;
  FrameState frame;
  ScreenState screen;
  LinkState link;
  ProgramState program;
  MenuState menu;
  PopupState popup;
  MouseState mouse;
  ConditionState conditions;
  TraceStore traces;
  MessageState messages;
  EntryState entry;
  WaveformState waveform;
  AnalysisState analysis;
  CalcState calc;
  FileState files;
  MemoryState memory;
  TemplateState templates;
  TransferState transfer;   // file transfer: the window's lists, folders and log
  std::jthread busyThread;  // last: stopped and joined before the rest goes away

  Instrument() = default;
  Instrument(const Instrument&) = delete;
  Instrument& operator=(const Instrument&) = delete;
  ~Instrument();
};

extern Instrument* GInstrument;

// Makes a fresh context current (tests: one per test) and drops it.
std::unique_ptr<Instrument> CreateInstrument(Host& host);
void DestroyInstrument(std::unique_ptr<Instrument>& instrument);

// A full drawing pass now, and the window's close, through the calls the frame set at start-up.
void RedrawNow();
void CloseWindowNow();

}  // namespace vq
