// The menu table: panel keys, navigation keys and the function keys of every menu.
//
// Index (node ids by menu; 900-954 are the keys that open lower pages and the MORE keys):
// [SECTION] Row helpers
// [SECTION] Panel keys, RETURN, CANCEL .... 1-23, 29, 298, 1147
// [SECTION] SWEEP, CENTER, SPAN ........... 30-45, 58-60, 614, 1000
// [SECTION] LEVEL ......................... 61-68, 182, 387-389, 478-479, 550-554, 585-592,
//                                           900-904, 1001
// [SECTION] SETUP ......................... 56-57, 69-79, 360-366, 555, 606, 653, 670, 733,
//                                           768-773, 893-894, 905-910, 1002, 1146, 1159-1161,
//                                           1201, 1232-1236, 1312-1313, 1350, 1363-1365, 1380,
//                                           1395, 1397
// [SECTION] MARKER ........................ 82-95, 103, 911-913, 1020-1027
// [SECTION] PEAK SEARCH ................... 914-916, 1040-1051
// [SECTION] ANALYSIS ...................... 119, 917-921, 1060-1084
// [SECTION] TRACE ......................... 141-172, 183, 460-477, 486, 608-610, 777-779,
//                                           814-860, 922-933, 1100-1103, 1119
// [SECTION] DISPLAY, ZOOM ................. 178-188, 200, 536-539, 934-935, 1120-1128
// [SECTION] MEMORY, FILE .................. 235-257, 759, 936-943, 1162-1192, 1383
// [SECTION] PROGRAM ....................... 492, 944, 1202-1208
// [SECTION] SYSTEM, TEST MODE ............. 216-217, 320-323, 345-346, 487-489, 617, 623-624,
//                                           630, 648-649, 693-698, 945-952, 1209-1212,
//                                           1361-1374, 1396
// [SECTION] ADVANCE, USER ................. 480-483, 626-631, 953-954, 1237-1246
// [SECTION] Compile-time checks and accessor
//
// Ids the link mirrors keep the link's action numbers. Function keys have no handler yet: each
// subsystem binds its handler, painter and state query when it comes, so until then they show
// their labels greyed.
#include <string_view>

#include "resources/menu_tables.h"

namespace vq {

namespace {

// [SECTION] Row helpers

constexpr KeyVariant kPlain = KeyVariant::Plain;
constexpr KeyVariant kEntry = KeyVariant::Entry;
constexpr KeyVariant kToggle = KeyVariant::Toggle;

// A panel key: shows its page as the top of the stack.
constexpr MenuNodeDef Top(MenuId id, int16_t page, const char* l1, const char* l2 = "",
                          int16_t kind = kKindNavigation) {
  return {id, NodeAction::TopMenu, page, kind, KeyVariant::Plain, l1, l2};
}

// A soft key that pushes a lower page.
constexpr MenuNodeDef Lower(MenuId id, int16_t page, const char* l1, const char* l2 = "") {
  return {id, NodeAction::LowerPage, page, kKindNavigation, KeyVariant::LowerPage, l1, l2};
}

// The ninth key of a menu with more than eight functions: swaps in the sibling page.
constexpr MenuNodeDef More(MenuId id, int16_t page, const char* label) {
  return {id, NodeAction::MorePage, page, kKindNavigation, KeyVariant::Plain, label, ""};
}

// Back to the parent page.
constexpr MenuNodeDef Back(MenuId id, const char* label) {
  return {id, NodeAction::Return, -1, kKindNavigation, KeyVariant::Plain, label, ""};
}

constexpr MenuNodeDef Function(MenuId id, int16_t kind, KeyVariant variant, const char* l1,
                               const char* l2) {
  return {id, NodeAction::None, -1, kind, variant, l1, l2};
}

// Settings that a USER page may hold: an entry, a switch, or one value of a choice.
constexpr MenuNodeDef EntryKey(MenuId id, const char* l1, const char* l2 = "") {
  return Function(id, kKindRegistrable, kEntry, l1, l2);
}
constexpr MenuNodeDef ToggleKey(MenuId id, const char* l1, const char* l2 = "") {
  return Function(id, kKindRegistrable, kToggle, l1, l2);
}
constexpr MenuNodeDef ChoiceKey(MenuId id, const char* l1, const char* l2 = "") {
  return Function(id, kKindRegistrable, kPlain, l1, l2);
}
// One-shot actions: registrable, and run at once when chosen for a USER page.
constexpr MenuNodeDef RunKey(MenuId id, const char* l1, const char* l2 = "") {
  return Function(id, kKindRegistrableRun, kPlain, l1, l2);
}
// Keys that only make sense inside their own dialog or state (file lists, editors, service
// pages): refused by the USER registration.
constexpr MenuNodeDef LocalKey(MenuId id, KeyVariant variant, const char* l1, const char* l2 = "") {
  return Function(id, kKindRefused, variant, l1, l2);
}

// The standard labels.
constexpr const char* kCancel = "CANCEL";
constexpr const char* kExecute = "EXECUTE";

// clang-format off
constexpr MenuNodeDef kMenuNodes[] = {
    // [SECTION] Panel keys, RETURN, CANCEL
    Top(1, 0, "SWEEP"),
    Top(2, 1, "CENTER"),
    Top(3, 2, "SPAN"),
    Top(4, 3, "LEVEL"),
    Top(5, 8, "SETUP"),
    Top(6, 13, "MARKER"),
    Top(7, 19, "PEAK", "SEARCH"),
    Top(8, 46, "ANALYSIS"),
    Top(9, 21, "TRACE"),
    Top(10, 41, "DISPLAY"),
    Top(11, 65, "MEMORY"),
    Top(12, 70, "FILE"),
    Top(13, 95, "PROGRAM"),
    Top(14, 54, "SYSTEM"),
    Top(15, 86, "ADVANCE"),
    // USER stays a navigation key: registration needs it to reach the USER pages.
    Top(16, 107, "USER"),
    LocalKey(17, kPlain, "HELP"),
    LocalKey(18, kPlain, "COPY"),
    LocalKey(19, kPlain, "FEED"),
    LocalKey(20, kPlain, kLabelReturn),  // ends help, back to the saved menu state
    Top(21, 53, "ZOOM"),
    Back(22, kLabelReturn),
    Back(23, kCancel),
    LocalKey(29, kPlain, "UNDO/LOCAL"),
    Back(298, kLabelReturn),   // keeps the current node (no leave call)
    Back(1147, kLabelReturn),  // keeps the current node, from the resolution modes

    // [SECTION] SWEEP, CENTER, SPAN
    RunKey(30, "AUTO"),
    RunKey(31, "SINGLE"),
    RunKey(32, "REPEAT"),
    RunKey(33, "STOP"),
    RunKey(34, "SEGMENT", "MEASURE"),
    EntryKey(35, "SEGMENT", "POINT"),
    ToggleKey(36, "SWEEP", "MKR L1-L2"),
    EntryKey(37, "SWEEP", "INTERVAL"),
    EntryKey(38, "CENTER"),
    EntryKey(39, "START WL"),
    EntryKey(40, "STOP WL"),
    RunKey(41, "PEAK", "->CENTER"),
    ToggleKey(42, "AUTO", "CENTER"),
    RunKey(45, "MEAN WL", "->CENTER"),
    ToggleKey(614, "HORZN SCALE", "nm THz"),
    EntryKey(58, "SPAN"),
    RunKey(59, "WIDTH", "->SPAN"),
    EntryKey(60, "0nm SWEEP", "TIME"),
    RunKey(1000, "FULL SPAN"),

    // [SECTION] LEVEL
    EntryKey(61, "REF LEVEL"),
    EntryKey(62, "LOG SCALE"),
    RunKey(550, "LIN SCALE"),
    RunKey(63, "PEAK", "->REF LEVEL"),
    ToggleKey(64, "AUTO REF", "LEVEL"),
    ToggleKey(586, "LEVEL UNIT", "dBm dBm/nm"),
    EntryKey(478, "REF LEVEL", "POSITION"),
    Lower(901, 6, "Y SCALE", "DIVISION"),
    More(902, 4, "MORE 1/2"),
    Lower(903, 7, "SUB SCALE"),
    EntryKey(67, "OFFSET", "LEVEL"),
    EntryKey(479, "SUB REF", "POSITION"),
    ToggleKey(68, "AUTO SUB", "SCALE"),
    EntryKey(182, "NOISE MASK"),
    ToggleKey(1001, "MASK LINE", "VERT HRZN"),
    Lower(900, 5, "LIN SCALE", "SETTING"),
    More(904, 3, "MORE 2/2"),
    // The linear scale: base level and the unit of the reference level.
    EntryKey(585, "BASE LEVEL"),
    ChoiceKey(551, "REF UNIT", "mW"),
    ChoiceKey(552, "REF UNIT", "uW"),
    ChoiceKey(553, "REF UNIT", "nW"),
    ChoiceKey(554, "REF UNIT", "pW"),
    ChoiceKey(387, "8 DIV"),
    ChoiceKey(388, "10 DIV"),
    ChoiceKey(389, "12 DIV"),
    EntryKey(65, "SUB SCALE", "dB/D"),
    EntryKey(66, "SUB SCALE", "LINEAR"),
    EntryKey(587, "SUB SCALE", "dB/km"),
    EntryKey(588, "SUB SCALE", "%"),
    EntryKey(591, "SCALE MIN", "LINEAR"),
    EntryKey(592, "SCALE MIN", "%"),
    EntryKey(590, "OFFSET", "dB/km"),
    EntryKey(589, "LENGTH", "km"),

    // [SECTION] SETUP
    Lower(69, 10, "RESOLUTION"),
    Lower(70, 11, "SENS/MODE"),
    EntryKey(71, "AVERAGE", "TIMES"),
    EntryKey(72, "SAMPLING", "POINT"),
    RunKey(606, "SAMPLING", "POINT AUTO"),
    EntryKey(733, "SAMPLING", "INTERVAL"),
    Lower(905, 17, "PULSE LIGHT", "MEASURE"),
    More(906, 9, "MORE 1/2"),
    Lower(907, 122, "TRIGGER", "SETTING"),
    ToggleKey(653, "TLS SYNC", "SWEEP"),
    ToggleKey(555, "MEAS WL", "AIR VACUUM"),
    ToggleKey(1395, "SWEEP SPEED", "1x 2x"),
    Lower(908, 162, "MEAS", "OPTION"),
    More(909, 8, "MORE 2/2"),
    ChoiceKey(360, "0.02nm"),
    ChoiceKey(361, "0.05nm"),
    ChoiceKey(362, "0.1nm"),
    ChoiceKey(363, "0.2nm"),
    ChoiceKey(364, "0.5nm"),
    ChoiceKey(365, "1nm"),
    ChoiceKey(366, "2nm"),
    ToggleKey(670, "RESOLN", "CORRECT"),
    Lower(1146, 163, "RESOLN", "MODE"),
    ChoiceKey(1363, "RESOLN", "MODE 1"),
    ChoiceKey(1364, "RESOLN", "MODE 2"),
    ChoiceKey(1365, "RESOLN", "MODE 3"),
    ChoiceKey(768, "NORM/HOLD"),
    ChoiceKey(769, "NORM/AUTO"),
    ChoiceKey(770, "MID"),
    ChoiceKey(771, "HIGH1"),
    ChoiceKey(772, "HIGH2"),
    ChoiceKey(773, "HIGH3"),
    ChoiceKey(1201, "NORMAL"),
    Lower(910, 12, "CHOP MODE"),
    ChoiceKey(1159, "CHOP MODE", "OFF"),
    ChoiceKey(1161, "CHOP MODE", "SWITCH"),
    ChoiceKey(77, "PULSE LIGHT", "OFF"),
    EntryKey(78, "PEAK HOLD"),
    ChoiceKey(79, "EXT", "TRIGGER"),
    ToggleKey(893, "TRIG EDGE", "RISE FALL"),
    EntryKey(894, "TRIG DELAY"),
    ChoiceKey(1232, "TRIG INPUT", "SMPL TRIG"),
    ChoiceKey(1233, "TRIG INPUT", "SWEEP TRIG"),
    ChoiceKey(1397, "TRIG INPUT", "SWP ENABLE"),
    ChoiceKey(1236, "TRIG INPUT", "SMPL ENABLE"),
    ChoiceKey(56, "TRIG OUTPUT", "OFF"),
    ChoiceKey(57, "TRIG OUTPUT", "SWEEP STAT"),
    ToggleKey(1350, "FIBER TYPE"),
    ToggleKey(1380, "FIBER", "CONNECTOR"),
    ToggleKey(1002, "CORE SIZE", "SMALL LARGE"),
    ToggleKey(1313, "SMOOTHING"),
    EntryKey(1312, "SMOOTHING", "LEVEL"),

    // [SECTION] MARKER
    EntryKey(1020, "MOVING", "MARKER"),
    EntryKey(1021, "SET", "MARKER"),
    EntryKey(1022, "CLEAR", "MARKER"),
    RunKey(1023, "ALL MARKER", "CLEAR"),
    RunKey(82, "MARKER", "->CENTER"),
    RunKey(83, "MARKER", "->REF LEVEL"),
    RunKey(93, "MARKER", "->SPAN"),
    More(911, 14, "MORE 1/3"),
    EntryKey(89, "LINE", "MARKER 1"),
    EntryKey(90, "LINE", "MARKER 2"),
    EntryKey(1024, "LINE", "MARKER 3"),
    EntryKey(1025, "LINE", "MARKER 4"),
    RunKey(95, "LINE MARKER", "ALL OFF"),
    More(912, 15, "MORE 2/3"),
    ToggleKey(1026, "MARKER UNIT", "nm THz"),
    ToggleKey(1027, "MARKER", "DISPLAY"),
    ToggleKey(103, "MARKER", "AUTO UPDATE"),
    More(913, 13, "MORE 3/3"),

    // [SECTION] PEAK SEARCH
    RunKey(1040, "PEAK", "SEARCH"),
    RunKey(1041, "BOTTOM", "SEARCH"),
    RunKey(1042, "NEXT LEVEL", "SEARCH"),
    RunKey(1043, "NEXT SEARCH", "RIGHT"),
    RunKey(1044, "NEXT SEARCH", "LEFT"),
    EntryKey(1045, "MODE DIFF"),
    ToggleKey(1046, "AUTO SEARCH"),
    ToggleKey(1047, "SEARCH MODE", "SINGL MULTI"),
    More(914, 20, "MORE 1/2"),
    Lower(915, 16, "MULTI SRCH", "SETTING"),
    ToggleKey(1050, "SEARCH/ANA", "L1-L2"),
    ToggleKey(1051, "SEARCH/ANA", "ZOOM AREA"),
    More(916, 19, "MORE 2/2"),
    EntryKey(1048, "THRESH"),
    ToggleKey(1049, "SORT BY", "WL LVL"),

    // [SECTION] ANALYSIS
    Lower(917, 47, "SPECTRAL", "WIDTH"),
    Lower(918, 48, "ANALYSIS 1"),
    Lower(919, 49, "ANALYSIS 2"),
    RunKey(1060, "ANALYSIS", kExecute),
    ToggleKey(119, "AUTO", "ANALYSIS"),
    Lower(920, 50, "PARAMETER", "SETTING"),
    RunKey(1061, "SWITCH", "DISPLAY"),
    Lower(921, 52, "RESULT"),
    // The analysis items, in item order.
    ChoiceKey(1062, "THRESH"),
    ChoiceKey(1063, "ENVELOPE"),
    ChoiceKey(1064, "RMS"),
    ChoiceKey(1065, "PEAK RMS"),
    ChoiceKey(1066, "NOTCH"),
    ChoiceKey(1067, "DFB-LD"),
    ChoiceKey(1068, "FP-LD"),
    ChoiceKey(1069, "LED"),
    ChoiceKey(1070, "SMSR"),
    ChoiceKey(1071, "POWER"),
    ChoiceKey(1072, "PMD"),
    ChoiceKey(1073, "WDM"),
    ChoiceKey(1074, "EDFA-NF"),
    ChoiceKey(1075, "FILTER-PK"),
    ChoiceKey(1076, "FILTER-BTM"),
    ChoiceKey(1077, "WDM FIL-PK"),
    ChoiceKey(1078, "WDM FIL-BTM"),
    // The analysis setting window.
    LocalKey(1079, kEntry, "SELECT"),
    LocalKey(1080, kPlain, "DEFAULTS"),
    LocalKey(1081, kPlain, "NEXT", "PAGE"),
    LocalKey(1082, kPlain, "CLOSE", "WINDOW"),
    RunKey(1083, "RESULT", "PRINT"),
    RunKey(1084, "RESULT", "SAVE"),

    // [SECTION] TRACE
    Lower(922, 23, "ACTIVE", "TRACE"),
    ToggleKey(145, "VIEW", "DISP BLANK"),
    ChoiceKey(141, "WRITE"),
    ChoiceKey(142, "FIX"),
    ChoiceKey(471, "MAX HOLD"),
    ChoiceKey(472, "MIN HOLD"),
    EntryKey(470, "ROLL AVG"),
    Lower(777, 24, "CALCULATE"),
    More(923, 22, "MORE 1/2"),
    Lower(924, 35, "TRACE COPY"),
    Lower(925, 36, "TRACE", "CLEAR"),
    More(926, 21, "MORE 2/2"),
    ChoiceKey(146, "ACTIVE", "TRACE A"),
    ChoiceKey(154, "ACTIVE", "TRACE B"),
    ChoiceKey(160, "ACTIVE", "TRACE C"),
    ChoiceKey(474, "ACTIVE", "TRACE D"),
    ChoiceKey(475, "ACTIVE", "TRACE E"),
    ChoiceKey(476, "ACTIVE", "TRACE F"),
    ChoiceKey(477, "ACTIVE", "TRACE G"),
    // CALCULATE: one page per calculated trace.
    Lower(778, 25, "CALCULATE", "TRACE C"),
    Lower(779, 26, "CALCULATE", "TRACE F"),
    Lower(608, 27, "CALCULATE", "TRACE G"),
    ChoiceKey(168, "A-B(LOG)"),
    ChoiceKey(169, "B-A(LOG)"),
    ChoiceKey(856, "A+B(LOG)"),
    ChoiceKey(172, "A+B(LIN)"),
    ChoiceKey(170, "A-B(LIN)"),
    ChoiceKey(171, "B-A(LIN)"),
    EntryKey(460, "1-K(A/B)"),
    EntryKey(461, "1-K(B/A)"),
    Lower(927, 28, "LOG MATH"),
    Lower(928, 29, "LIN MATH"),
    ChoiceKey(827, "C-D(LOG)"),
    ChoiceKey(828, "D-C(LOG)"),
    ChoiceKey(857, "C+D(LOG)"),
    ChoiceKey(829, "D-E(LOG)"),
    ChoiceKey(830, "E-D(LOG)"),
    ChoiceKey(858, "D+E(LOG)"),
    ChoiceKey(831, "C+D(LIN)"),
    ChoiceKey(832, "C-D(LIN)"),
    ChoiceKey(833, "D-C(LIN)"),
    ChoiceKey(834, "D+E(LIN)"),
    ChoiceKey(835, "D-E(LIN)"),
    ChoiceKey(836, "E-D(LIN)"),
    Lower(929, 30, "LOG MATH"),
    Lower(930, 31, "LIN MATH"),
    Lower(931, 32, "NORMALIZE"),
    Lower(932, 33, "CURVE FIT"),
    Lower(933, 34, "PEAK CURVE", "FIT"),
    ChoiceKey(837, "C-F(LOG)"),
    ChoiceKey(838, "F-C(LOG)"),
    ChoiceKey(859, "C+F(LOG)"),
    ChoiceKey(839, "E-F(LOG)"),
    ChoiceKey(840, "F-E(LOG)"),
    ChoiceKey(860, "E+F(LOG)"),
    ChoiceKey(841, "C+F(LIN)"),
    ChoiceKey(842, "C-F(LIN)"),
    ChoiceKey(843, "F-C(LIN)"),
    ChoiceKey(844, "E+F(LIN)"),
    ChoiceKey(845, "E-F(LIN)"),
    ChoiceKey(846, "F-E(LIN)"),
    ChoiceKey(847, "NORM A"),
    ChoiceKey(848, "NORM B"),
    ChoiceKey(849, "NORM C"),
    ChoiceKey(850, "CRV FIT A"),
    ChoiceKey(851, "CRV FIT B"),
    ChoiceKey(852, "CRV FIT C"),
    ChoiceKey(1119, "MKR FIT"),
    EntryKey(609, "THRESH"),
    EntryKey(1100, "FITTING", "ALGO"),
    EntryKey(1101, "OPERATION", "AREA"),
    ChoiceKey(853, "PKCVFIT A"),
    ChoiceKey(854, "PKCVFIT B"),
    ChoiceKey(855, "PKCVFIT C"),
    EntryKey(610, "THRESH"),
    EntryKey(1102, "SOURCE", "TRACE"),
    EntryKey(1103, "DESTINATION", "TRACE"),
    RunKey(486, kExecute),
    RunKey(814, "CLEAR", "TRACE A"),
    RunKey(815, "CLEAR", "TRACE B"),
    RunKey(816, "CLEAR", "TRACE C"),
    RunKey(817, "CLEAR", "TRACE D"),
    RunKey(818, "CLEAR", "TRACE E"),
    RunKey(819, "CLEAR", "TRACE F"),
    RunKey(820, "CLEAR", "TRACE G"),
    RunKey(183, "ALL TRACE", "CLEAR"),

    // [SECTION] DISPLAY, ZOOM
    ChoiceKey(178, "NORMAL", "DISPLAY"),
    ChoiceKey(179, "SPLIT", "DISPLAY"),
    Lower(934, 42, "TRACE", "UP/LOW"),
    ToggleKey(187, "UPPER", "HOLD"),
    ToggleKey(188, "LOWER", "HOLD"),
    EntryKey(200, "LABEL"),
    ToggleKey(184, "TRACE A", "UP LOW"),
    ToggleKey(185, "TRACE B", "UP LOW"),
    ToggleKey(186, "TRACE C", "UP LOW"),
    ToggleKey(536, "TRACE D", "UP LOW"),
    ToggleKey(537, "TRACE E", "UP LOW"),
    ToggleKey(538, "TRACE F", "UP LOW"),
    ToggleKey(539, "TRACE G", "UP LOW"),
    EntryKey(1120, "ZOOM", "CENTER"),
    EntryKey(1121, "ZOOM SPAN"),
    EntryKey(1122, "ZOOM START"),
    EntryKey(1123, "ZOOM STOP"),
    Lower(935, 44, "OVERVIEW", "DISPLAY"),
    ToggleKey(1124, "OVERVIEW", "SIZE"),
    RunKey(1125, "INITIALIZE"),
    ChoiceKey(1126, "OVERVIEW", "OFF"),
    ChoiceKey(1127, "OVERVIEW", "LEFT"),
    ChoiceKey(1128, "OVERVIEW", "RIGHT"),

    // [SECTION] MEMORY, FILE
    EntryKey(1162, "MEMORY NO."),
    RunKey(1163, "SAVE", "TRACE->MEM"),
    RunKey(1164, "RECALL", "MEM->TRACE"),
    RunKey(1165, "CLEAR", "MEMORY"),
    ToggleKey(1166, "LIST PARAM", "LBL CONDTN"),
    Lower(936, 71, "ITEM", "SELECT"),
    Lower(937, 72, "WRITE"),
    Lower(938, 73, "READ"),
    Lower(939, 74, "FILE", "OPERATION"),
    LocalKey(1167, kToggle, "DRIVE", "INT EXT"),
    Lower(940, 75, "FILE SORT"),
    Lower(941, 78, "OUTPUT ITEM", "SETTING"),
    // The items, in the order of the item codes' keys.
    LocalKey(235, kPlain, "TRACE"),
    LocalKey(1383, kPlain, "ALL TRACE"),
    LocalKey(257, kPlain, "MEMORY"),
    LocalKey(248, kPlain, "GRAPHICS"),
    LocalKey(238, kPlain, "SETTING"),
    LocalKey(237, kPlain, "DATA"),
    LocalKey(236, kPlain, "PROGRAM"),
    LocalKey(759, kPlain, "TEMPLATE"),
    LocalKey(1168, kPlain, kExecute),
    LocalKey(1169, kEntry, "FILE NAME"),
    LocalKey(1170, kEntry, "SOURCE", "SELECT"),
    LocalKey(1171, kToggle, "FILE TYPE"),
    LocalKey(1172, kPlain, kExecute),
    LocalKey(1173, kEntry, "DESTINATION", "SELECT"),
    LocalKey(1174, kEntry, "RENAME"),
    LocalKey(1175, kEntry, "MAKE", "DIRECTORY"),
    Lower(942, 76, "COPY"),
    Lower(943, 77, "DELETE"),
    LocalKey(1176, kPlain, "SORT BY", "FILE NAME"),
    LocalKey(1177, kPlain, "SORT BY", "FILE TYPE"),
    LocalKey(1178, kPlain, "SORT BY", "FILE DATE"),
    LocalKey(1179, kPlain, "SORT BY", "FILE LABEL"),
    LocalKey(1180, kPlain, "FILE", "SELECT"),
    LocalKey(1181, kPlain, "ALL", "SELECT"),
    LocalKey(1182, kEntry, "COPY TO"),
    LocalKey(1183, kPlain, kExecute),
    LocalKey(1184, kPlain, kExecute),
    // What the DATA item writes.
    ToggleKey(1185, "DATE&TIME"),
    ToggleKey(1186, "LABEL"),
    ToggleKey(1187, "DATA AREA"),
    ToggleKey(1188, "CONDITION"),
    ToggleKey(1189, "TRACE DATA"),
    ToggleKey(1190, "OUTPUT", "WINDOW"),
    ToggleKey(1191, "WRITE MODE", "OVER ADD"),
    ToggleKey(1192, "FILE TYPE", "CSV DT6"),

    // [SECTION] PROGRAM
    EntryKey(1202, "PROGRAM", kExecute),
    Lower(944, 96, "PROGRAM", "EDIT"),
    LocalKey(1203, kEntry, "PROGRAM NO."),
    LocalKey(1204, kEntry, "PROGRAM", "NAME"),
    LocalKey(1205, kPlain, "LINE", "INSERT"),
    LocalKey(1206, kPlain, "LINE", "DELETE"),
    LocalKey(1207, kPlain, "FUNCTION", "SELECT"),
    LocalKey(1208, kPlain, "PROGRAM", "CLEAR"),
    LocalKey(492, kPlain, "STOP", "PROGRAM"),  // the ninth key while a program runs

    // [SECTION] SYSTEM, TEST MODE
    Lower(945, 55, "OPTICAL", "ALIGNMENT"),
    Lower(946, 56, "WL", "CALIBRATION"),
    EntryKey(320, "WL SHIFT"),
    EntryKey(321, "LEVEL SHIFT"),
    ToggleKey(322, "AUTO OFFSET"),
    EntryKey(1361, "OFFSET", "INTERVAL"),
    Lower(947, 57, "OFFSET", "TABLE"),
    LocalKey(1209, kPlain, "USER KEY", "REGIST"),
    More(948, 58, "MORE 1/2"),
    ToggleKey(216, "BUZZER", "CLICK"),
    ToggleKey(217, "BUZZER", "WARNING"),
    Lower(949, 59, "LEVEL DISP", "DIGIT"),
    ToggleKey(698, "UNCAL", "WARNING"),
    ToggleKey(648, "TRANSPARENT", "DISPLAY"),
    LocalKey(1374, kPlain, "SYSTEM", "INFORMATION"),
    Lower(950, 60, "SYSTEM", "INITIALIZE"),
    More(951, 54, "MORE 2/2"),
    LocalKey(693, kPlain, kExecute),
    LocalKey(1210, kToggle, "SOURCE", "INT EXT"),
    LocalKey(694, kPlain, "STOP"),
    LocalKey(345, kPlain, kExecute),
    LocalKey(1211, kEntry, "SOURCE"),
    LocalKey(1212, kEntry, "REF WL"),
    LocalKey(346, kPlain, "STOP"),
    LocalKey(623, kEntry, "WL OFFSET", "TABLE"),
    LocalKey(630, kEntry, "LVL OFFSET", "TABLE"),
    ChoiceKey(487, "1 DIGIT"),
    ChoiceKey(488, "2 DIGITS"),
    ChoiceKey(489, "3 DIGITS"),
    LocalKey(624, kPlain, kExecute),
    // TEST MODE: the alternate panel's key opens its page; node 323 switches the mode.
    Top(617, 108, "TEST MODE", "", kKindRefused),
    LocalKey(323, kPlain, "TEST MODE"),
    LocalKey(649, kEntry, "ALPHA", "CONSTANT"),
    Lower(952, 149, "SWEEP", "COUNTER"),
    LocalKey(1372, kEntry, "COUNT", "THRESHOLD"),
    LocalKey(1370, kPlain, "COUNT", "RESET"),
    LocalKey(1367, kPlain, "SWEEP", "COUNT"),
    LocalKey(1396, kPlain, "RESERVED"),  // on no page; always disabled

    // [SECTION] ADVANCE, USER
    Lower(953, 87, "TEMPLATE"),
    ToggleKey(1237, "GO/NO GO"),
    EntryKey(1238, "TYPE"),
    Lower(954, 88, "TEMPLATE", "EDIT"),
    EntryKey(1239, "WL SHIFT"),
    EntryKey(1240, "LEVEL SHIFT"),
    LocalKey(1241, kEntry, "LINE", "SELECT"),
    LocalKey(1242, kEntry, "VALUE", "EDIT"),
    LocalKey(1243, kPlain, "ALL", "DELETE"),
    LocalKey(1244, kToggle, "MODE", "ABS REL"),
    LocalKey(1245, kEntry, "EXTRAPOL"),
    LocalKey(1246, kToggle, "DISPLAY"),
    // Screen colours, put on the ADVANCE page when the palette editing is switched on.
    LocalKey(626, kEntry, "PALETTE NO."),
    LocalKey(627, kEntry, "RED"),
    LocalKey(628, kEntry, "GREEN"),
    LocalKey(629, kEntry, "BLUE"),
    LocalKey(631, kPlain, "PALETTE", "EXPORT"),
    // Node 480 + k opens USER page k; the ninth key of each USER page opens the next one. The
    // first eight keys of a USER page are registered at run time.
    More(480, 107, "MORE 4/4"),
    More(481, 109, "MORE 1/4"),
    More(482, 110, "MORE 2/4"),
    More(483, 111, "MORE 3/4"),
};
// clang-format on

// [SECTION] Compile-time checks and accessor

constexpr bool IdsValidAndUnique() {
  constexpr int n = static_cast<int>(std::size(kMenuNodes));
  for (int i = 0; i < n; ++i) {
    // Node 0 is the empty node: it is never listed.
    if (kMenuNodes[i].id <= 0 || kMenuNodes[i].id >= kMenuNodeCount) return false;
    for (int j = i + 1; j < n; ++j) {
      if (kMenuNodes[i].id == kMenuNodes[j].id) return false;
    }
  }
  return true;
}

constexpr bool LabelsFit() {
  for (const MenuNodeDef& d : kMenuNodes) {
    if (!d.line1 || !d.line2 || *d.line1 == '\0') return false;
    if (std::string_view(d.line1).size() > kLabelChars) return false;
    if (std::string_view(d.line2).size() > kLabelChars) return false;
  }
  return true;
}

constexpr bool PagesMatchActions() {
  for (const MenuNodeDef& d : kMenuNodes) {
    const bool opensPage = d.action == NodeAction::TopMenu || d.action == NodeAction::LowerPage ||
                           d.action == NodeAction::MorePage;
    if (opensPage && (d.page < 0 || d.page >= kSoftKeyPageCount)) return false;
    if (!opensPage && d.page != -1) return false;
    if (d.kind < kKindRegistrable || d.kind > kKindRegistrableRun) return false;
  }
  return true;
}

constexpr bool LabelIs(MenuId id, std::string_view line1, std::string_view line2 = "") {
  for (const MenuNodeDef& d : kMenuNodes) {
    if (d.id == id) return line1 == d.line1 && line2 == d.line2;
  }
  return false;
}

// The names that code uses must point at the keys they say.
constexpr bool NamesMatchLabels() {
  return LabelIs(kNodeSweep, "SWEEP") && LabelIs(kNodeAnalysis, "ANALYSIS") &&
         LabelIs(kNodeFile, "FILE") && LabelIs(kNodeSystem, "SYSTEM") &&
         LabelIs(kNodeUser, "USER") && LabelIs(kNodeHelp, "HELP") && LabelIs(kNodeCopy, "COPY") &&
         LabelIs(kNodeHelpReturn, kLabelReturn) && LabelIs(kNodeUndoLocal, "UNDO/LOCAL") &&
         LabelIs(kNodeReturnKeep, kLabelReturn) && LabelIs(kNodeTestMode, "TEST MODE") &&
         LabelIs(kFirstUserPageNode, "MORE 4/4") && LabelIs(kNodeProgramStop, "STOP", "PROGRAM") &&
         LabelIs(kNodeTestModeAlt, "TEST MODE") &&
         LabelIs(kNodePaletteExport, "PALETTE", "EXPORT") &&
         LabelIs(kNodeReturnKeepResolution, kLabelReturn) &&
         LabelIs(kNodeUserRegister, "USER KEY", "REGIST") && LabelIs(kNodeAllTrace, "ALL TRACE") &&
         LabelIs(kNodeReserved, "RESERVED");
}

static_assert(std::size(kMenuNodes) < kMenuNodeCount, "more rows than menu nodes");
static_assert(NamesMatchLabels(), "a node name points at a key with another label");
static_assert(IdsValidAndUnique(), "a node id is out of range or listed twice");
static_assert(LabelsFit(), "a label is missing or longer than its 15-character field");
static_assert(PagesMatchActions(), "a navigation node lacks its page, or a function has one");

}  // namespace

std::span<const MenuNodeDef> MenuNodeDefs() {
  return kMenuNodes;
}

}  // namespace vq
