#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <set>
#include <string>

#include "protocol/commandtable.h"

namespace vela {
namespace {

std::set<int> RowsWhere(bool (*pred)(const ControlEntry&)) {
    std::set<int> ids;
    for (int row = 0; row < kControlCount; ++row) {
        if (pred(g_controlTable[row])) ids.insert(g_controlTable[row].ctrlId);
    }
    return ids;
}

TEST(CommandTable, IdsArePositionsAndNamesAreUniqueWireNames) {
    std::set<std::string> names;
    for (int id = 0; id < kCommandCount; ++id) {
        const CommandEntry& e = g_commandTable[id];
        EXPECT_EQ(e.id, id);
        const std::string name = e.name;
        EXPECT_TRUE(names.insert(name).second) << name;
        EXPECT_GE(name.size(), 2u) << name;
        EXPECT_LE(name.size(), 6u) << name;
        EXPECT_TRUE(std::all_of(name.begin(), name.end(), [](char c) {
            return std::isupper(c) || std::isdigit(c);
        })) << name;
        EXPECT_EQ(e.decimals, 0) << name;
        EXPECT_NE(e.kind, ValueKind::Decimal) << name;
        EXPECT_EQ(FindCommand(name), id) << name;
    }
}

TEST(CommandTable, EveryIdNamesItsCommandWithItsKind) {
    // Written out from the command list, not from the table, so that two commands with
    // their names swapped (PEMAX and PEMIN, say) fail here.
    constexpr ValueKind I = ValueKind::Integer;
    constexpr ValueKind T = ValueKind::Text;
    const struct {
        const char* name;
        ValueKind kind;
    } rows[kCommandCount] = {
        {"EB", I},     {"ST", I},     {"HP", I},     {"VN", I},     {"PV", I},      // 0
        {"ID", T},     {"UD", T},     {"DVN", T},    {"MD", T},     {"DV", T},      // 5
        {"SBDRT", I},  {"CBDRT", I},  {"CRS00", I},  {"TG", I},     {"TI", I},      // 10
        {"TA", I},     {"ARST", I},   {"EM", I},     {"PE", I},     {"ASC", I},     // 15
        {"ASCEA", I},  {"ASCEI", I},  {"ASRS", I},   {"LR", I},     {"AR", I},      // 20
        {"AL", I},     {"ARMIN", I},  {"PEMAX", I},  {"PEMIN", I},  {"BI", I},      // 25
        {"HB", I},     {"HBM", I},    {"BA", I},     {"TAGM", I},   {"CLC", I},     // 30
        {"TS", I},     {"GA", I},     {"AGC", I},    {"ALCS", I},   {"AGCF", I},    // 35
        {"AGCGA", I},  {"AGCGI", I},  {"AGRS", I},   {"ABG", I},    {"BL", I},      // 40
        {"SDC", I},    {"SDR", I},    {"SDS", I},    {"PGC", I},    {"PGR", I},     // 45
        {"PGS", I},    {"PBC", I},    {"PBR", I},    {"PBS", I},    {"LUN", I},     // 50
        {"LUTI", I},   {"LUTD", I},   {"GMA", I},    {"TMP0", I},   {"TMPS0", I},   // 55
        {"LS0", I},    {"SS", I},     {"MF", I},     {"LD", I},     {"SA", I},      // 60
        {"EA", I},     {"SA00", I},   {"ST00", I},   {"ULCK", I},   {"ID00", T},    // 65
        {"MD00", T},   {"GA4A00", I}, {"GA4B00", I}, {"GA8K00", I}, {"BL4A00", I},  // 70
        {"BL4B00", I}, {"BL8K00", I}, {"BAS00", I},  {"SDR00", I},  {"SDS00", I},   // 75
        {"PGR00", I},  {"PGS00", I},  {"PBR00", I},  {"PBS00", I},  {"BYP0", I},    // 80
        {"XMLVR", I},  {"DV00", T},   {"GA00", I},   {"PGC00", I},  {"PBC00", I},   // 85
    };
    for (int id = 0; id < kCommandCount; ++id) {
        SCOPED_TRACE(id);
        EXPECT_STREQ(g_commandTable[id].name, rows[id].name);
        EXPECT_EQ(g_commandTable[id].kind, rows[id].kind);
    }
}

TEST(CommandTable, TextCommandsAreTheIdentityTexts) {
    std::set<std::string> text;
    for (const CommandEntry& e : g_commandTable) {
        if (e.kind == ValueKind::Text) text.insert(e.name);
    }
    EXPECT_EQ(text, (std::set<std::string>{"ID", "UD", "DVN", "MD", "DV", "ID00", "MD00", "DV00"}));
}

TEST(CommandTable, IdsOtherPartsUse) {
    EXPECT_STREQ(g_commandTable[kCmdEA].name, "EA");
    EXPECT_EQ(kCmdEA, 65);
    EXPECT_EQ(kCmdLD, 63);
    EXPECT_EQ(kCmdSA, 64);
    EXPECT_EQ(kCmdSA00, 66);
    EXPECT_EQ(kCmdMD, 8);
    EXPECT_EQ(kCmdCBDRT, 11);
    EXPECT_EQ(kCmdULCK, 68);
    EXPECT_EQ(kCmdXMLVR, 85);
    EXPECT_EQ(kCmdPBC00, 89);
}

TEST(CommandTable, NamesAreComparedWhole) {
    EXPECT_EQ(FindCommand("DV"), 9);
    EXPECT_EQ(FindCommand("DVN"), 7);
    EXPECT_EQ(FindCommand("DV00"), 86);
    EXPECT_EQ(FindCommand("GA"), 36);
    EXPECT_EQ(FindCommand("GA00"), 87);
    EXPECT_EQ(FindCommand("ga"), -1);  // callers upper-case first
    EXPECT_EQ(FindCommand("G"), -1);
    EXPECT_EQ(FindCommand(""), -1);
    EXPECT_EQ(CommandAt(-1), nullptr);
    EXPECT_EQ(CommandAt(90), nullptr);
}

TEST(ControlTable, FiftySevenRowsThenTheTerminator) {
    for (int row = 0; row < kControlCount; ++row) EXPECT_NE(g_controlTable[row].ctrlId, -1) << row;
    EXPECT_EQ(g_controlTable[kControlCount].ctrlId, -1);
}

TEST(ControlTable, RowsPointAtCommandsOfTheRightKind) {
    std::set<int> ctrlIds;
    int previousCmd = -1;
    for (int row = 0; row < kControlCount; ++row) {
        const ControlEntry& e = g_controlTable[row];
        SCOPED_TRACE(row);
        EXPECT_TRUE(ctrlIds.insert(e.ctrlId).second);
        EXPECT_GE(e.ctrlId, 1041);
        EXPECT_LE(e.ctrlId, 1227);
        ASSERT_NE(CommandAt(e.cmdId), nullptr);
        // Every bound command carries a number, and the rows follow the command ids.
        EXPECT_EQ(CommandAt(e.cmdId)->kind, ValueKind::Integer);
        EXPECT_GT(e.cmdId, previousCmd);
        previousCmd = e.cmdId;
        EXPECT_TRUE(e.kind == ComboBox || e.kind == SpinEdit || e.kind == Button);
        EXPECT_EQ(e.kind == Button, e.group == Action);
        EXPECT_EQ(e.option, 0);
        EXPECT_EQ(e.savedValue, 0);
        EXPECT_LE(e.minimum, e.maximum);
        if (e.kind == SpinEdit) {
            EXPECT_GE(e.value, e.minimum);
            EXPECT_LE(e.value, e.maximum);
        } else if (e.kind == Button) {
            EXPECT_EQ(e.file, 0);
            EXPECT_FALSE(e.read);
        }
        if (e.file) {
            EXPECT_TRUE(e.read);
        }
    }
}

TEST(ControlTable, DerivedCounts) {
    EXPECT_EQ(RowsWhere([](const ControlEntry& e) { return e.kind != Button; }).size(), 49u);
    EXPECT_EQ(RowsWhere([](const ControlEntry& e) { return e.kind != Button && e.group == User; }).size(),
              38u);
    EXPECT_EQ(RowsWhere([](const ControlEntry& e) { return e.file == 1; }).size(), 36u);
    EXPECT_EQ(RowsWhere([](const ControlEntry& e) { return e.read; }).size(), 39u);
    EXPECT_EQ(RowsWhere([](const ControlEntry& e) { return e.kind == Button; }),
              (std::set<int>{1191, 1121, 1193, 1183, 1126, 1127, 1197, 1198}));
    EXPECT_EQ(RowsWhere([](const ControlEntry& e) { return e.group == Factory; }),
              (std::set<int>{1199, 1201, 1203, 1205, 1207, 1209, 1128, 1177, 1211, 1213, 1214}));
    // Read from the camera but kept out of setting files: baud rate, test pattern, boot area.
    EXPECT_EQ(RowsWhere([](const ControlEntry& e) { return e.read && !e.file; }),
              (std::set<int>{1124, 1119, 1128}));
    // Only these start away from 0, so they count as changed before the first snapshot.
    EXPECT_EQ(RowsWhere([](const ControlEntry& e) { return e.value != 0; }),
              (std::set<int>{1041, 1147, 1102, 1104, 1105, 1117, 1199, 1201, 1203, 1211}));
}

struct Spot {
    int ctrlId;
    const char* command;
    int kind, group, minimum, maximum, value, file;
    bool read;
};

TEST(ControlTable, SpotChecksPerGroup) {
    const Spot spots[] = {
        {1124, "CBDRT", ComboBox, User, 0, 0, 0, 0, true},
        {1093, "PE", SpinEdit, User, 0, INT_MAX, 0, 1, true},
        {1172, "ASC", ComboBox, User, 0, 0, 0, 0, false},
        {1189, "AL", SpinEdit, User, 0, 1023, 0, 1, true},
        {1041, "GA", SpinEdit, User, 100, 1600, 100, 1, true},
        {1173, "AGC", ComboBox, User, 0, 2, 0, 0, false},
        {1147, "ALCS", SpinEdit, User, 1, 8, 4, 0, false},
        {1102, "AGCF", SpinEdit, User, 20, 95, 20, 0, false},
        {1104, "AGCGA", SpinEdit, User, 101, 1600, 1600, 0, false},
        {1105, "AGCGI", SpinEdit, User, 100, 1599, 100, 0, false},
        {1139, "BL", SpinEdit, User, -133, 255, 0, 1, true},
        {1160, "LUTI", SpinEdit, User, 0, 255, 0, 0, false},
        {1162, "LUTD", SpinEdit, User, 0, 4095, 0, 0, false},
        {1117, "GMA", SpinEdit, User, 0, 8, 8, 1, true},
        {1101, "LS0", ComboBox, User, 0, 0, 0, 1, true},
        {1227, "MF", ComboBox, User, 0, 0, 0, 1, true},
        {1191, "AR", Button, Action, 0, 0, 0, 0, false},
        {1126, "SA00", Button, Action, 0, 0, 0, 0, false},
        {1198, "PBR00", Button, Action, 0, 0, 0, 0, false},
        {1203, "GA8K00", SpinEdit, Factory, 50, 200, 50, 1, true},
        {1205, "BL4A00", SpinEdit, Factory, 0, 255, 0, 1, true},
        {1128, "BAS00", ComboBox, Factory, 0, 0, 0, 0, true},
        {1211, "GA00", SpinEdit, Factory, 50, 200, 50, 1, true},
        {1214, "PBC00", ComboBox, Factory, 0, 0, 0, 1, true},
    };
    for (const Spot& s : spots) {
        SCOPED_TRACE(s.ctrlId);
        const ControlEntry* e = nullptr;
        for (int row = 0; row < kControlCount; ++row) {
            if (g_controlTable[row].ctrlId == s.ctrlId) e = &g_controlTable[row];
        }
        ASSERT_NE(e, nullptr);
        EXPECT_STREQ(g_commandTable[e->cmdId].name, s.command);
        EXPECT_EQ(e->kind, s.kind);
        EXPECT_EQ(e->group, s.group);
        EXPECT_EQ(e->minimum, s.minimum);
        EXPECT_EQ(e->maximum, s.maximum);
        EXPECT_EQ(e->value, s.value);
        EXPECT_EQ(e->file, s.file);
        EXPECT_EQ(e->read, s.read);
    }
    EXPECT_EQ(g_controlTable[0].ctrlId, 1124);
    EXPECT_EQ(g_controlTable[20].ctrlId, 1041);
    EXPECT_EQ(g_controlTable[42].ctrlId, 1126);
    EXPECT_EQ(g_controlTable[56].ctrlId, 1214);
}

TEST(ControlTable, EveryRowBindsItsControlToItsCommand) {
    // Written out from the control list, not from the table, so that two rows with their
    // control ids or commands swapped fail here even where kind and range agree.
    const struct {
        int ctrlId;
        const char* command;
    } rows[kControlCount] = {
        {1124, "CBDRT"},  {1096, "TG"},     {1098, "TI"},     {1099, "TA"},     {1186, "ARST"},
        {1092, "EM"},     {1093, "PE"},     {1172, "ASC"},    {1111, "ASCEA"},  {1112, "ASCEI"},
        {1187, "LR"},     {1191, "AR"},     {1189, "AL"},     {1122, "BI"},     {1223, "HB"},
        {1225, "HBM"},    {1100, "BA"},     {1123, "TAGM"},   {1174, "CLC"},    {1119, "TS"},
        {1041, "GA"},     {1173, "AGC"},    {1147, "ALCS"},   {1102, "AGCF"},   {1104, "AGCGA"},
        {1105, "AGCGI"},  {1217, "ABG"},    {1139, "BL"},     {1120, "SDC"},    {1121, "SDR"},
        {1192, "PGC"},    {1193, "PGR"},    {1184, "PBC"},    {1183, "PBR"},    {1116, "LUN"},
        {1160, "LUTI"},   {1162, "LUTD"},   {1117, "GMA"},    {1194, "TMPS0"},  {1101, "LS0"},
        {1195, "SS"},     {1227, "MF"},     {1126, "SA00"},   {1199, "GA4A00"}, {1201, "GA4B00"},
        {1203, "GA8K00"}, {1205, "BL4A00"}, {1207, "BL4B00"}, {1209, "BL8K00"}, {1128, "BAS00"},
        {1127, "SDR00"},  {1197, "PGR00"},  {1198, "PBR00"},  {1177, "BYP0"},   {1211, "GA00"},
        {1213, "PGC00"},  {1214, "PBC00"},
    };
    for (int row = 0; row < kControlCount; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(g_controlTable[row].ctrlId, rows[row].ctrlId);
        EXPECT_STREQ(g_commandTable[g_controlTable[row].cmdId].name, rows[row].command);
    }
}

TEST(ControlTable, ResetRestoresInitialValues) {
    g_controlTable[20].value = 777;
    g_controlTable[20].savedValue = 555;
    ResetControlTable();
    EXPECT_EQ(g_controlTable[20].value, 100);
    EXPECT_EQ(g_controlTable[20].savedValue, 0);
    EXPECT_EQ(g_controlTable[kControlCount].ctrlId, -1);
}

}  // namespace
}  // namespace vela
