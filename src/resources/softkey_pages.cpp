// The soft-key page table: the nine keys and the title of every page of every menu.
//
// Index (page numbers by menu):
// [SECTION] SWEEP, CENTER, SPAN ..... 0-2
// [SECTION] LEVEL ................... 3-7
// [SECTION] SETUP ................... 8-12, 17, 122, 162-163
// [SECTION] MARKER, PEAK SEARCH ..... 13-16, 19-20
// [SECTION] TRACE ................... 21-36
// [SECTION] DISPLAY, ZOOM ........... 41-44, 53
// [SECTION] ANALYSIS ................ 46-52
// [SECTION] SYSTEM, TEST MODE ....... 54-60, 108, 149
// [SECTION] MEMORY, FILE ............ 65, 70-78
// [SECTION] ADVANCE, PROGRAM, USER .. 86-88, 95-96, 107, 109-111
// [SECTION] Pages of their own ...... 133 (waiting for the analyzer), 188 (help)
// [SECTION] Compile-time checks and accessor
//
// Targets are menu node ids (0 = no key); the ninth key is the page's exit: a RETURN on lower
// pages, a MORE key on menus of more than eight functions. Some slots are rewritten at start-up
// (page 10 key 8, page 86 keys 2-6, page 108 key 1, page 122 key 4, page 162 key 7); page 149
// key 3 and page 71 key 2 are taken away for analyzers that lack them.
#include <string_view>

#include "resources/menu_tables.h"

namespace vq {

namespace {

// clang-format off
constexpr PageDef kPages[] = {
    // [SECTION] SWEEP, CENTER, SPAN
    {0, {30, 31, 32, 33, 34, 35, 36, 37, 0}, "SWEEP"},
    {1, {38, 39, 40, 41, 45, 42, 614, 0, 0}, "CENTER"},
    {2, {58, 39, 40, 59, 1000, 60, 0, 0, 0}, "SPAN"},

    // [SECTION] LEVEL
    {3, {61, 62, 550, 63, 64, 586, 478, 901, 902}, "LEVEL"},
    {4, {903, 67, 479, 68, 182, 1001, 900, 0, 904}, "LEVEL"},
    {5, {585, 551, 552, 553, 554, 0, 0, 0, 22}, "LIN SCALE"},
    {6, {387, 388, 389, 0, 0, 0, 0, 0, 22}, "Y SCALE\nDIVISION"},
    {7, {65, 66, 587, 588, 591, 592, 590, 589, 22}, "SUB SCALE"},

    // [SECTION] SETUP
    {8, {69, 70, 71, 72, 606, 733, 905, 0, 906}, "SETUP"},
    {9, {907, 653, 555, 1395, 908, 0, 0, 0, 909}, "SETUP"},
    // Key 8 becomes the resolution modes (1146) with the new resolution setting.
    {10, {360, 361, 362, 363, 364, 365, 366, 670, 298}, "RESOLUTION"},
    {11, {768, 769, 770, 771, 772, 773, 1201, 910, 298}, "SENS/MODE"},
    {12, {1159, 1161, 0, 0, 0, 0, 0, 0, 22}, "CHOP MODE"},
    {17, {77, 78, 79, 893, 894, 0, 0, 0, 22}, "PULSE\nLIGHT"},
    {122, {1232, 1233, 1397, 1236, 56, 57, 0, 0, 22}, "TRIGGER"},
    {162, {1350, 1380, 1002, 670, 0, 1313, 1312, 0, 22}, "MEAS\nOPTION"},
    {163, {1363, 1364, 1365, 0, 0, 0, 0, 0, 1147}, "RESOLN\nMODE"},

    // [SECTION] MARKER, PEAK SEARCH
    {13, {1020, 1021, 1022, 1023, 82, 83, 93, 0, 911}, "MARKER"},
    {14, {89, 90, 1024, 1025, 95, 0, 0, 0, 912}, "MARKER"},
    {15, {1026, 1027, 103, 0, 0, 0, 0, 0, 913}, "MARKER"},
    {19, {1040, 1041, 1042, 1043, 1044, 1045, 1046, 1047, 914}, "PEAK\nSEARCH"},
    {20, {915, 1050, 1051, 0, 0, 0, 0, 0, 916}, "PEAK\nSEARCH"},
    {16, {1048, 1049, 0, 0, 0, 0, 0, 0, 22}, "MULTI SRCH\nSETTING"},

    // [SECTION] TRACE
    {21, {922, 145, 141, 142, 471, 472, 470, 777, 923}, "TRACE"},
    {22, {924, 925, 0, 0, 0, 0, 0, 0, 926}, "TRACE"},
    {23, {146, 154, 160, 474, 475, 476, 477, 0, 22}, "ACTIVE\nTRACE"},
    {24, {778, 779, 608, 0, 0, 0, 0, 0, 22}, "CALCULATE"},
    {25, {168, 169, 856, 172, 170, 171, 460, 461, 22}, "CALCULATE\nTRACE C"},
    {26, {927, 928, 0, 0, 0, 0, 0, 0, 22}, "CALCULATE\nTRACE F"},
    {27, {929, 930, 931, 932, 933, 0, 0, 0, 22}, "CALCULATE\nTRACE G"},
    {28, {827, 828, 857, 829, 830, 858, 0, 0, 22}, "LOG MATH"},
    {29, {831, 832, 833, 834, 835, 836, 0, 0, 22}, "LIN MATH"},
    {30, {837, 838, 859, 839, 840, 860, 0, 0, 22}, "LOG MATH"},
    {31, {841, 842, 843, 844, 845, 846, 0, 0, 22}, "LIN MATH"},
    {32, {847, 848, 849, 0, 0, 0, 0, 0, 22}, "NORMALIZE"},
    {33, {850, 851, 852, 1119, 609, 1100, 1101, 0, 22}, "CURVE FIT"},
    {34, {853, 854, 855, 610, 0, 0, 0, 0, 22}, "PEAK CURVE\nFIT"},
    {35, {1102, 1103, 486, 0, 0, 0, 0, 0, 22}, "TRACE\nCOPY"},
    {36, {814, 815, 816, 817, 818, 819, 820, 183, 22}, "TRACE\nCLEAR"},

    // [SECTION] DISPLAY, ZOOM
    {41, {178, 179, 934, 187, 188, 200, 0, 0, 0}, "DISPLAY"},
    {42, {184, 185, 186, 536, 537, 538, 539, 0, 22}, "TRACE\nUP/LOW"},
    {53, {1120, 1121, 1122, 1123, 935, 1124, 1125, 0, 0}, "ZOOM"},
    {44, {1126, 1127, 1128, 0, 0, 0, 0, 0, 22}, "OVERVIEW"},

    // [SECTION] ANALYSIS
    {46, {917, 918, 919, 1060, 119, 920, 1061, 921, 0}, "ANALYSIS"},
    {47, {1062, 1063, 1064, 1065, 1066, 0, 0, 0, 22}, "SPECTRAL\nWIDTH"},
    {48, {1067, 1068, 1069, 1070, 1071, 1072, 0, 0, 22}, "ANALYSIS 1"},
    {49, {1073, 1074, 1075, 1076, 1077, 1078, 0, 0, 22}, "ANALYSIS 2"},
    {50, {1079, 1080, 1081, 1082, 0, 0, 0, 0, 22}, "PARAMETER\nSETTING"},
    {52, {1083, 1084, 0, 0, 0, 0, 0, 0, 22}, "RESULT"},

    // [SECTION] SYSTEM, TEST MODE
    {54, {945, 946, 320, 321, 322, 1361, 947, 1209, 948}, "SYSTEM"},
    {58, {216, 217, 949, 698, 648, 1374, 950, 0, 951}, "SYSTEM"},
    {55, {693, 1210, 694, 0, 0, 0, 0, 0, 22}, "OPTICAL\nALIGNMENT"},
    {56, {345, 1211, 1212, 346, 0, 0, 0, 0, 22}, "WL CAL"},
    {57, {623, 630, 0, 0, 0, 0, 0, 0, 22}, "OFFSET\nTABLE"},
    {59, {487, 488, 489, 0, 0, 0, 0, 0, 22}, "LEVEL DISP\nDIGIT"},
    {60, {624, 0, 0, 0, 0, 0, 0, 0, 23}, "INITIALIZE"},
    // Key 1 is the alpha-version function (649) when its debug switch is on.
    {108, {0, 952, 0, 0, 0, 0, 0, 0, 0}, "TEST MODE"},
    {149, {1372, 1370, 1367, 0, 0, 0, 0, 0, 22}, "SWEEP\nCOUNTER"},

    // [SECTION] MEMORY, FILE
    {65, {1162, 1163, 1164, 1165, 1166, 0, 0, 0, 0}, "MEMORY"},
    {70, {936, 937, 938, 939, 1167, 940, 941, 0, 0}, "FILE"},
    {71, {235, 1383, 257, 248, 238, 237, 236, 759, 22}, "ITEM\nSELECT"},
    {72, {1168, 1169, 1170, 1171, 0, 0, 0, 0, 22}, "WRITE"},
    {73, {1172, 1173, 0, 0, 0, 0, 0, 0, 22}, "READ"},
    {74, {1174, 1175, 942, 943, 0, 0, 0, 0, 22}, "FILE\nOPERATION"},
    {75, {1176, 1177, 1178, 1179, 0, 0, 0, 0, 22}, "FILE SORT"},
    {76, {1180, 1181, 1182, 1183, 0, 0, 0, 0, 22}, "COPY"},
    {77, {1180, 1181, 1184, 0, 0, 0, 0, 0, 22}, "DELETE"},
    {78, {1185, 1186, 1187, 1188, 1189, 1190, 1191, 1192, 22}, "OUTPUT\nITEM"},

    // [SECTION] ADVANCE, PROGRAM, USER
    // Keys 2-6 are the palette keys (626-629, 631) when the palette editing is switched on.
    {86, {953, 0, 0, 0, 0, 0, 0, 0, 0}, "ADVANCE"},
    {87, {1237, 1238, 954, 1239, 1240, 0, 0, 0, 22}, "TEMPLATE"},
    {88, {1241, 1242, 1243, 1244, 1245, 1246, 0, 0, 22}, "TEMPLATE\nEDIT"},
    {95, {1202, 944, 0, 0, 0, 0, 0, 0, 0}, "PROGRAM"},
    {96, {1203, 1204, 1205, 1206, 1207, 1208, 0, 0, 22}, "PROGRAM\nEDIT"},
    // The USER pages: their first eight keys are registered at run time.
    {107, {0, 0, 0, 0, 0, 0, 0, 0, 481}, "USER"},
    {109, {0, 0, 0, 0, 0, 0, 0, 0, 482}, "USER"},
    {110, {0, 0, 0, 0, 0, 0, 0, 0, 483}, "USER"},
    {111, {0, 0, 0, 0, 0, 0, 0, 0, 480}, "USER"},

    // [SECTION] Pages of their own
    // Shown while the analyzer works on a request: no key can act.
    {133, {0, 0, 0, 0, 0, 0, 0, 0, 0}, "WAIT"},
    // Help owns the screen; its ninth key goes back to the menu it was called from.
    {188, {0, 0, 0, 0, 0, 0, 0, 0, 20}, "HELP"},
};
// clang-format on

// [SECTION] Compile-time checks and accessor

constexpr bool PagesValidAndUnique() {
  constexpr int n = static_cast<int>(std::size(kPages));
  for (int i = 0; i < n; ++i) {
    if (kPages[i].page < 0 || kPages[i].page >= kSoftKeyPageCount) return false;
    for (int j = i + 1; j < n; ++j) {
      if (kPages[i].page == kPages[j].page) return false;
    }
  }
  return true;
}

constexpr bool TitlesFit() {
  for (const PageDef& p : kPages) {
    if (!p.title || *p.title == '\0') return false;
    const std::string_view title(p.title);
    // 31 characters and the terminator fill the title field; one line feed splits two lines.
    if (title.size() > 31) return false;
    const size_t split = title.find('\n');
    if (split != std::string_view::npos && title.find('\n', split + 1) != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

constexpr bool TargetsInRange() {
  for (const PageDef& p : kPages) {
    for (int16_t t : p.targets) {
      if (t < 0 || t >= kMenuNodeCount) return false;
    }
  }
  return true;
}

static_assert(std::size(kPages) <= kSoftKeyPageCount, "more rows than soft-key pages");
static_assert(PagesValidAndUnique(), "a page number is out of range or listed twice");
static_assert(TitlesFit(), "a title is missing, too long or has more than two lines");
static_assert(TargetsInRange(), "a page target is outside the menu table");

// Soft keys entered directly instead of through GoToMenu. The ids of functions whose menus come
// later are listed already: the rule belongs to the key, not to its handler.
constexpr PressRuleRow kPressRules[] = {
    {294, PressRule::GoOnce},         {295, PressRule::EnterAsCurrent},
    {296, PressRule::EnterAsCurrent}, {613, PressRule::EnterAsCurrent},
    {696, PressRule::EnterAsCurrent}, {870, PressRule::EnterAsCurrent},
    {891, PressRule::EnterAsCurrent}, {346, PressRule::EnterAsCurrent},
    {694, PressRule::EnterAsCurrent}, {313, PressRule::EnterOnce},
    {424, PressRule::EnterOnce},      {425, PressRule::EnterOnce},
    {426, PressRule::EnterOnce},      {427, PressRule::EnterOnce},
    {428, PressRule::EnterOnce},      {429, PressRule::EnterOnce},
    {491, PressRule::EnterOnce},      {kNodeProgramStop, PressRule::EnterOnce},
};

// The palette keys 626 to 629 and the export key 631 replace the ADVANCE page's empty slots.
constexpr StartupPatch kStartupPatches[] = {
    {PatchSwitch::Alpha, 108, 0, 649},   {PatchSwitch::NewResolutionSetting, 10, 7, 1146},
    {PatchSwitch::Palette, 86, 1, 626},  {PatchSwitch::Palette, 86, 2, 627},
    {PatchSwitch::Palette, 86, 3, 628},  {PatchSwitch::Palette, 86, 4, 629},
    {PatchSwitch::Palette, 86, 5, 631},  {PatchSwitch::Always, 122, 3, 1236},
    {PatchSwitch::Always, 162, 6, 1312},
};

constexpr bool PatchesInRange() {
  for (const StartupPatch& p : kStartupPatches) {
    if (p.page < 0 || p.page >= kSoftKeyPageCount || p.slot < 0 || p.slot >= kSoftKeysPerPage ||
        p.target <= 0 || p.target >= kMenuNodeCount) {
      return false;
    }
  }
  return true;
}

constexpr bool PressRulesUnique() {
  for (size_t i = 0; i < std::size(kPressRules); ++i) {
    for (size_t j = i + 1; j < std::size(kPressRules); ++j) {
      if (kPressRules[i].node == kPressRules[j].node) return false;
    }
  }
  return true;
}

constexpr bool TitleIs(int page, std::string_view title) {
  for (const PageDef& p : kPages) {
    if (p.page == page) return title == p.title;
  }
  return false;
}

static_assert(PatchesInRange(), "a start-up patch names a page, slot or node out of range");
static_assert(PressRulesUnique(), "a soft key has two press rules");
static_assert(TitleIs(kPageFileItems, "ITEM\nSELECT") && TitleIs(kWaitPage, "WAIT") &&
                  TitleIs(kHelpPage, "HELP"),
              "a page name points at the wrong page");

}  // namespace

std::span<const PageDef> PageDefs() {
  return kPages;
}

std::span<const PressRuleRow> SoftKeyPressRules() {
  return kPressRules;
}

PressRule SoftKeyPressRule(MenuId target) {
  for (const PressRuleRow& r : kPressRules) {
    if (r.node == target) return r.rule;
  }
  return PressRule::GoToMenu;
}

std::span<const StartupPatch> StartupPatches() {
  return kStartupPatches;
}

}  // namespace vq
