#include "protocol/commandtable.h"

#include <algorithm>
#include <iterator>

namespace vela {

const CommandEntry g_commandTable[kCommandCount] = {
    {0, "EB", ValueKind::Integer, 0},      {1, "ST", ValueKind::Integer, 0},
    {2, "HP", ValueKind::Integer, 0},      {3, "VN", ValueKind::Integer, 0},
    {4, "PV", ValueKind::Integer, 0},      {5, "ID", ValueKind::Text, 0},
    {6, "UD", ValueKind::Text, 0},         {7, "DVN", ValueKind::Text, 0},
    {8, "MD", ValueKind::Text, 0},         {9, "DV", ValueKind::Text, 0},
    {10, "SBDRT", ValueKind::Integer, 0},  {11, "CBDRT", ValueKind::Integer, 0},
    {12, "CRS00", ValueKind::Integer, 0},  {13, "TG", ValueKind::Integer, 0},
    {14, "TI", ValueKind::Integer, 0},     {15, "TA", ValueKind::Integer, 0},
    {16, "ARST", ValueKind::Integer, 0},   {17, "EM", ValueKind::Integer, 0},
    {18, "PE", ValueKind::Integer, 0},     {19, "ASC", ValueKind::Integer, 0},
    {20, "ASCEA", ValueKind::Integer, 0},  {21, "ASCEI", ValueKind::Integer, 0},
    {22, "ASRS", ValueKind::Integer, 0},   {23, "LR", ValueKind::Integer, 0},
    {24, "AR", ValueKind::Integer, 0},     {25, "AL", ValueKind::Integer, 0},
    {26, "ARMIN", ValueKind::Integer, 0},  {27, "PEMAX", ValueKind::Integer, 0},
    {28, "PEMIN", ValueKind::Integer, 0},  {29, "BI", ValueKind::Integer, 0},
    {30, "HB", ValueKind::Integer, 0},     {31, "HBM", ValueKind::Integer, 0},
    {32, "BA", ValueKind::Integer, 0},     {33, "TAGM", ValueKind::Integer, 0},
    {34, "CLC", ValueKind::Integer, 0},    {35, "TS", ValueKind::Integer, 0},
    {36, "GA", ValueKind::Integer, 0},     {37, "AGC", ValueKind::Integer, 0},
    {38, "ALCS", ValueKind::Integer, 0},   {39, "AGCF", ValueKind::Integer, 0},
    {40, "AGCGA", ValueKind::Integer, 0},  {41, "AGCGI", ValueKind::Integer, 0},
    {42, "AGRS", ValueKind::Integer, 0},   {43, "ABG", ValueKind::Integer, 0},
    {44, "BL", ValueKind::Integer, 0},     {45, "SDC", ValueKind::Integer, 0},
    {46, "SDR", ValueKind::Integer, 0},    {47, "SDS", ValueKind::Integer, 0},
    {48, "PGC", ValueKind::Integer, 0},    {49, "PGR", ValueKind::Integer, 0},
    {50, "PGS", ValueKind::Integer, 0},    {51, "PBC", ValueKind::Integer, 0},
    {52, "PBR", ValueKind::Integer, 0},    {53, "PBS", ValueKind::Integer, 0},
    {54, "LUN", ValueKind::Integer, 0},    {55, "LUTI", ValueKind::Integer, 0},
    {56, "LUTD", ValueKind::Integer, 0},   {57, "GMA", ValueKind::Integer, 0},
    {58, "TMP0", ValueKind::Integer, 0},   {59, "TMPS0", ValueKind::Integer, 0},
    {60, "LS0", ValueKind::Integer, 0},    {61, "SS", ValueKind::Integer, 0},
    {62, "MF", ValueKind::Integer, 0},     {63, "LD", ValueKind::Integer, 0},
    {64, "SA", ValueKind::Integer, 0},     {65, "EA", ValueKind::Integer, 0},
    {66, "SA00", ValueKind::Integer, 0},   {67, "ST00", ValueKind::Integer, 0},
    {68, "ULCK", ValueKind::Integer, 0},   {69, "ID00", ValueKind::Text, 0},
    {70, "MD00", ValueKind::Text, 0},      {71, "GA4A00", ValueKind::Integer, 0},
    {72, "GA4B00", ValueKind::Integer, 0}, {73, "GA8K00", ValueKind::Integer, 0},
    {74, "BL4A00", ValueKind::Integer, 0}, {75, "BL4B00", ValueKind::Integer, 0},
    {76, "BL8K00", ValueKind::Integer, 0}, {77, "BAS00", ValueKind::Integer, 0},
    {78, "SDR00", ValueKind::Integer, 0},  {79, "SDS00", ValueKind::Integer, 0},
    {80, "PGR00", ValueKind::Integer, 0},  {81, "PGS00", ValueKind::Integer, 0},
    {82, "PBR00", ValueKind::Integer, 0},  {83, "PBS00", ValueKind::Integer, 0},
    {84, "BYP0", ValueKind::Integer, 0},   {85, "XMLVR", ValueKind::Integer, 0},
    {86, "DV00", ValueKind::Text, 0},      {87, "GA00", ValueKind::Integer, 0},
    {88, "PGC00", ValueKind::Integer, 0},  {89, "PBC00", ValueKind::Integer, 0},
};

// Rows in their fixed order: lookups walk them and the first match wins. Expanded twice,
// for the live table and for the copy that resets it.
#define VELA_CONTROL_ROWS                                                    \
    {1124, kCmdCBDRT, ComboBox, 0, User, 0, 0, 0, 0, 0, true},               \
        {1096, kCmdTG, ComboBox, 0, User, 0, 0, 0, 0, 1, true},              \
        {1098, kCmdTI, ComboBox, 0, User, 0, 0, 0, 0, 1, true},              \
        {1099, kCmdTA, ComboBox, 0, User, 0, 0, 0, 0, 1, true},              \
        {1186, kCmdARST, ComboBox, 0, User, 0, 0, 0, 0, 1, true},            \
        {1092, kCmdEM, ComboBox, 0, User, 0, 0, 0, 0, 1, true},              \
        {1093, kCmdPE, SpinEdit, 0, User, 0, 2147483647, 0, 0, 1, true},     \
        {1172, kCmdASC, ComboBox, 0, User, 0, 0, 0, 0, 0, false},            \
        {1111, kCmdASCEA, SpinEdit, 0, User, 0, 2147483647, 0, 0, 0, false}, \
        {1112, kCmdASCEI, SpinEdit, 0, User, 0, 2147483647, 0, 0, 0, false}, \
        {1187, kCmdLR, SpinEdit, 0, User, 0, 2147483647, 0, 0, 1, true},     \
        {1191, kCmdAR, Button, 0, Action, 0, 0, 0, 0, 0, false},             \
        {1189, kCmdAL, SpinEdit, 0, User, 0, 1023, 0, 0, 1, true},           \
        {1122, kCmdBI, ComboBox, 0, User, 0, 0, 0, 0, 1, true},              \
        {1223, kCmdHB, ComboBox, 0, User, 0, 0, 0, 0, 1, true},              \
        {1225, kCmdHBM, ComboBox, 0, User, 0, 0, 0, 0, 1, true},             \
        {1100, kCmdBA, ComboBox, 0, User, 0, 0, 0, 0, 1, true},              \
        {1123, kCmdTAGM, ComboBox, 0, User, 0, 0, 0, 0, 1, true},            \
        {1174, kCmdCLC, ComboBox, 0, User, 0, 0, 0, 0, 1, true},             \
        {1119, kCmdTS, ComboBox, 0, User, 0, 0, 0, 0, 0, true},              \
        {1041, kCmdGA, SpinEdit, 0, User, 100, 1600, 100, 0, 1, true},       \
        {1173, kCmdAGC, ComboBox, 0, User, 0, 2, 0, 0, 0, false},            \
        {1147, kCmdALCS, SpinEdit, 0, User, 1, 8, 4, 0, 0, false},           \
        {1102, kCmdAGCF, SpinEdit, 0, User, 20, 95, 20, 0, 0, false},        \
        {1104, kCmdAGCGA, SpinEdit, 0, User, 101, 1600, 1600, 0, 0, false},  \
        {1105, kCmdAGCGI, SpinEdit, 0, User, 100, 1599, 100, 0, 0, false},   \
        {1217, kCmdABG, ComboBox, 0, User, 0, 0, 0, 0, 1, true},             \
        {1139, kCmdBL, SpinEdit, 0, User, -133, 255, 0, 0, 1, true},         \
        {1120, kCmdSDC, ComboBox, 0, User, 0, 0, 0, 0, 1, true},             \
        {1121, kCmdSDR, Button, 0, Action, 0, 0, 0, 0, 0, false},            \
        {1192, kCmdPGC, ComboBox, 0, User, 0, 0, 0, 0, 1, true},             \
        {1193, kCmdPGR, Button, 0, Action, 0, 0, 0, 0, 0, false},            \
        {1184, kCmdPBC, ComboBox, 0, User, 0, 0, 0, 0, 1, true},             \
        {1183, kCmdPBR, Button, 0, Action, 0, 0, 0, 0, 0, false},            \
        {1116, kCmdLUN, ComboBox, 0, User, 0, 0, 0, 0, 1, true},             \
        {1160, kCmdLUTI, SpinEdit, 0, User, 0, 255, 0, 0, 0, false},         \
        {1162, kCmdLUTD, SpinEdit, 0, User, 0, 4095, 0, 0, 0, false},        \
        {1117, kCmdGMA, SpinEdit, 0, User, 0, 8, 8, 0, 1, true},             \
        {1194, kCmdTMPS0, ComboBox, 0, User, 0, 0, 0, 0, 1, true},           \
        {1101, kCmdLS0, ComboBox, 0, User, 0, 0, 0, 0, 1, true},             \
        {1195, kCmdSS, ComboBox, 0, User, 0, 0, 0, 0, 1, true},              \
        {1227, kCmdMF, ComboBox, 0, User, 0, 0, 0, 0, 1, true},              \
        {1126, kCmdSA00, Button, 0, Action, 0, 0, 0, 0, 0, false},           \
        {1199, kCmdGA4A00, SpinEdit, 0, Factory, 50, 200, 50, 0, 1, true},   \
        {1201, kCmdGA4B00, SpinEdit, 0, Factory, 50, 200, 50, 0, 1, true},   \
        {1203, kCmdGA8K00, SpinEdit, 0, Factory, 50, 200, 50, 0, 1, true},   \
        {1205, kCmdBL4A00, SpinEdit, 0, Factory, 0, 255, 0, 0, 1, true},     \
        {1207, kCmdBL4B00, SpinEdit, 0, Factory, 0, 255, 0, 0, 1, true},     \
        {1209, kCmdBL8K00, SpinEdit, 0, Factory, 0, 255, 0, 0, 1, true},     \
        {1128, kCmdBAS00, ComboBox, 0, Factory, 0, 0, 0, 0, 0, true},        \
        {1127, kCmdSDR00, Button, 0, Action, 0, 0, 0, 0, 0, false},          \
        {1197, kCmdPGR00, Button, 0, Action, 0, 0, 0, 0, 0, false},          \
        {1198, kCmdPBR00, Button, 0, Action, 0, 0, 0, 0, 0, false},          \
        {1177, kCmdBYP0, ComboBox, 0, Factory, 0, 0, 0, 0, 1, true},         \
        {1211, kCmdGA00, SpinEdit, 0, Factory, 50, 200, 50, 0, 1, true},     \
        {1213, kCmdPGC00, ComboBox, 0, Factory, 0, 0, 0, 0, 1, true},        \
        {1214, kCmdPBC00, ComboBox, 0, Factory, 0, 0, 0, 0, 1, true},        \
        {kControlTerminator, 0, 0, 0, 0, 0, 0, 0, 0, 0, false},

namespace {
constexpr ControlEntry kInitialControlTable[kControlCount + 1] = {VELA_CONTROL_ROWS};
}  // namespace

ControlEntry g_controlTable[kControlCount + 1] = {VELA_CONTROL_ROWS};

#undef VELA_CONTROL_ROWS

const CommandEntry* CommandAt(int cmdId) {
    if (cmdId < 0 || cmdId >= kCommandCount) return nullptr;
    return &g_commandTable[cmdId];
}

int FindCommand(const std::string& upperName) {
    for (const CommandEntry& entry : g_commandTable) {
        if (upperName == entry.name) return entry.id;
    }
    return -1;
}

std::vector<ControlEntry> InitialControlRows() {
    return {std::begin(kInitialControlTable), std::begin(kInitialControlTable) + kControlCount};
}

void ResetControlTable() {
    std::copy(std::begin(kInitialControlTable), std::end(kInitialControlTable), std::begin(g_controlTable));
}

}  // namespace vela
