// The message table: the texts of the numbered messages, block by block, one slot per code.
#include <iterator>

#include "resources/message_table.h"

namespace vq {
namespace {

// Warnings about settings and automatic functions: 0 to 20.
constexpr MessageSlot kSettingWarnings[] = {
    "",                                // 0
    "Unsuitable Resolution",           // 1
    "Unsuitable Level Scale",          // 2
    "Unsuitable Ref Level",            // 3
    "Unsuitable Marker Value",         // 4
    "<AUTO ANALYSIS> off",             // 5
    "<AUTO PEAK SRCH> off",            // 6
    "Each Trace resolution mismatch",  // 7
    "<HOLD> off",                      // 8
    "Trace * state changed",           // 9
    "<AUTO REF LEVEL> off",            // 10
    "<AUTO SUB SCALE> off",            // 11
    "<RESOLUTION CORRECT> off",        // 12
    "",                                // 13
    "Unsuitable sampling points",      // 14
    "",                                // 15
    "",                                // 16
    "",                                // 17
    "",                                // 18
    "",                                // 19
    "Input light power is too high.",  // 20
};

// Tunable light source synchronisation: 50 to 53.
constexpr MessageSlot kLightSource[] = {
    "TLS does not respond",         // 50
    "TLS is not connected",         // 51
    "Unsuitable TLS mode",          // 52
    "Unsuitable wavelength range",  // 53
};

// Sweep, trace and marker conditions: 101 to 111.
constexpr MessageSlot kSweepTraceMarker[] = {
    "All traces in FIXed state",          // 101
    "Sweep stopped",                      // 102
    "No data in active trace",            // 103
    "",                                   // 104
    "",                                   // 105
    "",                                   // 106
    "Unsuitable memory number",           // 107
    "Marker setting out of range",        // 108
    "Auto sweep failed",                  // 109
    "No data between marker and marker",  // 110
    "<G = MKR FIT> failed",               // 111
};

// Storage, files, calibration, templates: 120 to 146.
constexpr MessageSlot kStorage[] = {
    "USB Storage not inserted",     // 120
    "USB Storage not initialized",  // 121
    "USB Storage not initialized",  // 122
    "File not found",               // 123
    "Illegal directory name",       // 124
    "Illegal file name",            // 125
    "Directory already exists",     // 126
    "File already exists",          // 127
    "File is write protected",      // 128
    "Storage full",                 // 129
    "Directory full",               // 130
    "No data",                      // 131
    "File is not a trace file",     // 132
    "File is not a program file",   // 133
    "File is not a data file",      // 134
    "File is not a settings file",  // 135
    "",                             // 136
    "File is not a template file",  // 137
    "Cannot copy",                  // 138
    "Unsuitable Write item",        // 139
    "No paste possible",            // 140
    "No merge possible",            // 141
    "WL calibration failed",        // 142
    "Optical Alignment failed",     // 143
    "GO/NO GO judgement stopped",   // 144
    "No template data",             // 145
    "Template function stopped.",   // 146
};

// Printer, GP-IB and remote settings: 160 to 172.
constexpr MessageSlot kPrinterRemote[] = {
    "Printer paper empty",              // 160
    "Printer head up",                  // 161
    "Unsuitable output mode",           // 162
    "GP-IB error",                      // 163
    "Printer head temperature error",   // 164
    "",                                 // 165
    "GP-IB2 not system controller",     // 166
    "",                                 // 167
    "",                                 // 168
    "Setup is invalid.",                // 169
    "Illegal character.",               // 170
    "Illegal address.",                 // 171
    "This version is not compatible.",  // 172
};

// Instrument conditions, logged when shown: 200 to 240. The spellings are the instrument's own.
constexpr MessageSlot kConditions[] = {
    "Fan motor stopped!",                   // 200
    "Calibration data failed!",             // 201
    "Fan motor stopped!",                   // 202
    "Sweep count exceeded the threshold.",  // 203
    "",                                     // 204
    "Internal communication error!",        // 205
    "Internal communication error!",        // 206
    "Internal temparature over!",           // 207
    "",                                     // 208
    "",                                     // 209
    "Internal temparature warning!",        // 210
    "Auto offset error!",                   // 211
    "Auto offset error!",                   // 212
    "Auto temprature control error!",       // 213
    "Measurement sequence error!",          // 214
    "",                                     // 215
    "",                                     // 216
    "",                                     // 217
    "",                                     // 218
    "",                                     // 219
    "Boot sequence error!",                 // 220
    "Boot sequence error!",                 // 221
    "Emulation mode.",                      // 222
    "Boot sequence error!",                 // 223
    "Internal communication error!",        // 224
    "Internal communication error!",        // 225
    "Internal communication error!",        // 226
    "Internal communication error!",        // 227
    "",                                     // 228
    "",                                     // 229
    "Monochromator error!",                 // 230
    "Monochromator error!",                 // 231
    "Monochromator error!",                 // 232
    "Monochromator error!",                 // 233
    "Monochromator error!",                 // 234
    "Monochromator error!",                 // 235
    "Monochromator error!",                 // 236
    "",                                     // 237
    "",                                     // 238
    "",                                     // 239
    "",                                     // 240
};

// Program run errors, parameters and data: 300 to 307.
constexpr MessageSlot kProgramData[] = {
    "Parameter out of range",     // 300
    "",                           // 301
    "Scale unit mismatch",        // 302
    "No data in Active trace",    // 303
    "Marker value out of range",  // 304
    "No data in trace A or B",    // 305
    "Invalid data",               // 306
    "Unsuitable Write item",      // 307
};

// Program run errors, variables: 320 to 326.
constexpr MessageSlot kProgramVariables[] = {
    "Undefined variable",         // 320
    "Variable unit mismatch",     // 321
    "Overflow",                   // 322
    "Undefined marker variable",  // 323
    "",                           // 324
    "",                           // 325
    "F1 greater than F2",         // 326
};

// Program run errors, printer and options: 340 to 347.
constexpr MessageSlot kProgramPrinter[] = {
    "Printer paper empty",             // 340
    "Printer head up",                 // 341
    "",                                // 342
    "",                                // 343
    "Printer head temperature error",  // 344
    "Option does not respond",         // 345
    "Option is not connected",         // 346
    "GP-IB2 not system controller",    // 347
};

// Program run errors, storage and program flow: 360 to 383.
constexpr MessageSlot kProgramStorage[] = {
    "Storage full",                 // 360
    "USB Storage not inserted",     // 361
    "USB Storage not initialized",  // 362
    "USB Storage not initialized",  // 363
    "Directory full",               // 364
    "File not found",               // 365
    "File is write protected",      // 366
    "No data",                      // 367
    "File is not a trace file",     // 368
    "Illegal file name",            // 369
    "",                             // 370
    "Directory already exist",      // 371
    "",                             // 372
    "",                             // 373
    "",                             // 374
    "",                             // 375
    "",                             // 376
    "",                             // 377
    "",                             // 378
    "",                             // 379
    "Undefined program",            // 380
    "Syntax error",                 // 381
    "Program nesting over",         // 382
    "Program reentrant error",      // 383
};

static_assert(sizeof(MessageSlot) == 38, "a message slot is 38 bytes");
static_assert(std::size(kSettingWarnings) == 20 - 0 + 1);
static_assert(std::size(kLightSource) == 53 - 50 + 1);
static_assert(std::size(kSweepTraceMarker) == 111 - 101 + 1);
static_assert(std::size(kStorage) == 146 - 120 + 1);
static_assert(std::size(kPrinterRemote) == 172 - 160 + 1);
static_assert(std::size(kConditions) == 240 - 200 + 1);
static_assert(std::size(kProgramData) == 307 - 300 + 1);
static_assert(std::size(kProgramVariables) == 326 - 320 + 1);
static_assert(std::size(kProgramPrinter) == 347 - 340 + 1);
static_assert(std::size(kProgramStorage) == 383 - 360 + 1);

template <size_t N>
constexpr MessageBlock Block(int32_t firstCode, const MessageSlot (&texts)[N]) {
  return {firstCode, static_cast<int32_t>(N), texts};
}

// Each code has at most one slot: the blocks ascend without overlap.
constexpr bool BlocksAscend(const std::array<MessageBlock, kMessageBlockCount>& blocks) {
  for (size_t i = 1; i < blocks.size(); ++i) {
    if (blocks[i].firstCode < blocks[i - 1].firstCode + blocks[i - 1].count) return false;
  }
  return true;
}

}  // namespace

extern constexpr std::array<MessageBlock, kMessageBlockCount> kMessageBlocks = {
    Block(0, kSettingWarnings),  Block(50, kLightSource),       Block(101, kSweepTraceMarker),
    Block(120, kStorage),        Block(160, kPrinterRemote),    Block(200, kConditions),
    Block(300, kProgramData),    Block(320, kProgramVariables), Block(340, kProgramPrinter),
    Block(360, kProgramStorage),
};
static_assert(BlocksAscend(kMessageBlocks), "message blocks ascend without overlap");

}  // namespace vq
