#pragma once

#include <span>
#include <string>
#include <vector>

namespace vela {

// How a command's value is written and parsed.
enum class ValueKind { Integer = 0, Decimal = 1, Text = 2 };

// The kind of dialog control a control-table row is bound to.
enum ControlKind { ComboBox = 4, SpinEdit = 6, Button = 7 };

// Factory rows are read and loaded only in the factory control mode.
enum ParamGroup { Action = 0, User = 1, Factory = 2 };

// One row of the command table; `id` equals the row's position.
struct CommandEntry {
    int id;
    const char* name;  // as sent on the wire
    ValueKind kind;
    int decimals;  // digits after the point for Decimal commands
};

// One row of the control table. `value` is the tool's model of the camera's parameter,
// `savedValue` its value at the last snapshot. `read`: the whole-camera read queries it.
struct ControlEntry {
    int ctrlId;
    int cmdId;
    int kind;    // ControlKind
    int option;  // 1 widens the spin range by one at each end
    int group;   // ParamGroup
    int minimum;
    int maximum;
    int value;
    int savedValue;
    int file;  // 1: written to and loaded from setting files
    bool read;
};

inline constexpr int kCommandCount = 90;
inline constexpr int kControlCount = 57;  // rows before the terminator
inline constexpr int kControlTerminator = -1;

// Indexed by command id.
extern const CommandEntry g_commandTable[kCommandCount];
// The process-wide control table: 57 rows and a terminator row whose ctrlId is -1.
extern ControlEntry g_controlTable[kControlCount + 1];
// The 57 rows of the control table, without the terminator.
inline std::span<ControlEntry> ControlRows() {
    return {g_controlTable, static_cast<std::size_t>(kControlCount)};
}

// The row of a command id; nullptr outside 0-89.
const CommandEntry* CommandAt(int cmdId);
// Id of the command named `upperName` (compared whole and case-sensitively, in id
// order); -1 when there is none.
int FindCommand(const std::string& upperName);
// Puts every row of the control table back to its initial value and saved value 0.
void ResetControlTable();
// The rows as the table starts, for an engine's own value table.
std::vector<ControlEntry> InitialControlRows();

// Command ids.
inline constexpr int kCmdEB = 0;
inline constexpr int kCmdST = 1;
inline constexpr int kCmdHP = 2;
inline constexpr int kCmdVN = 3;
inline constexpr int kCmdPV = 4;
inline constexpr int kCmdID = 5;
inline constexpr int kCmdUD = 6;
inline constexpr int kCmdDVN = 7;
inline constexpr int kCmdMD = 8;
inline constexpr int kCmdDV = 9;
inline constexpr int kCmdSBDRT = 10;
inline constexpr int kCmdCBDRT = 11;
inline constexpr int kCmdCRS00 = 12;
inline constexpr int kCmdTG = 13;
inline constexpr int kCmdTI = 14;
inline constexpr int kCmdTA = 15;
inline constexpr int kCmdARST = 16;
inline constexpr int kCmdEM = 17;
inline constexpr int kCmdPE = 18;
inline constexpr int kCmdASC = 19;
inline constexpr int kCmdASCEA = 20;
inline constexpr int kCmdASCEI = 21;
inline constexpr int kCmdASRS = 22;
inline constexpr int kCmdLR = 23;
inline constexpr int kCmdAR = 24;
inline constexpr int kCmdAL = 25;
inline constexpr int kCmdARMIN = 26;
inline constexpr int kCmdPEMAX = 27;
inline constexpr int kCmdPEMIN = 28;
inline constexpr int kCmdBI = 29;
inline constexpr int kCmdHB = 30;
inline constexpr int kCmdHBM = 31;
inline constexpr int kCmdBA = 32;
inline constexpr int kCmdTAGM = 33;
inline constexpr int kCmdCLC = 34;
inline constexpr int kCmdTS = 35;
inline constexpr int kCmdGA = 36;
inline constexpr int kCmdAGC = 37;
inline constexpr int kCmdALCS = 38;
inline constexpr int kCmdAGCF = 39;
inline constexpr int kCmdAGCGA = 40;
inline constexpr int kCmdAGCGI = 41;
inline constexpr int kCmdAGRS = 42;
inline constexpr int kCmdABG = 43;
inline constexpr int kCmdBL = 44;
inline constexpr int kCmdSDC = 45;
inline constexpr int kCmdSDR = 46;
inline constexpr int kCmdSDS = 47;
inline constexpr int kCmdPGC = 48;
inline constexpr int kCmdPGR = 49;
inline constexpr int kCmdPGS = 50;
inline constexpr int kCmdPBC = 51;
inline constexpr int kCmdPBR = 52;
inline constexpr int kCmdPBS = 53;
inline constexpr int kCmdLUN = 54;
inline constexpr int kCmdLUTI = 55;
inline constexpr int kCmdLUTD = 56;
inline constexpr int kCmdGMA = 57;
inline constexpr int kCmdTMP0 = 58;
inline constexpr int kCmdTMPS0 = 59;
inline constexpr int kCmdLS0 = 60;
inline constexpr int kCmdSS = 61;
inline constexpr int kCmdMF = 62;
inline constexpr int kCmdLD = 63;
inline constexpr int kCmdSA = 64;
inline constexpr int kCmdEA = 65;
inline constexpr int kCmdSA00 = 66;
inline constexpr int kCmdST00 = 67;
inline constexpr int kCmdULCK = 68;
inline constexpr int kCmdID00 = 69;
inline constexpr int kCmdMD00 = 70;
inline constexpr int kCmdGA4A00 = 71;
inline constexpr int kCmdGA4B00 = 72;
inline constexpr int kCmdGA8K00 = 73;
inline constexpr int kCmdBL4A00 = 74;
inline constexpr int kCmdBL4B00 = 75;
inline constexpr int kCmdBL8K00 = 76;
inline constexpr int kCmdBAS00 = 77;
inline constexpr int kCmdSDR00 = 78;
inline constexpr int kCmdSDS00 = 79;
inline constexpr int kCmdPGR00 = 80;
inline constexpr int kCmdPGS00 = 81;
inline constexpr int kCmdPBR00 = 82;
inline constexpr int kCmdPBS00 = 83;
inline constexpr int kCmdBYP0 = 84;
inline constexpr int kCmdXMLVR = 85;
inline constexpr int kCmdDV00 = 86;
inline constexpr int kCmdGA00 = 87;
inline constexpr int kCmdPGC00 = 88;
inline constexpr int kCmdPBC00 = 89;

// Control ids of the control-table rows, named after their commands.
inline constexpr int kCtrlCBDRT = 1124;
inline constexpr int kCtrlTG = 1096;
inline constexpr int kCtrlTI = 1098;
inline constexpr int kCtrlTA = 1099;
inline constexpr int kCtrlARST = 1186;
inline constexpr int kCtrlEM = 1092;
inline constexpr int kCtrlPE = 1093;
inline constexpr int kCtrlASC = 1172;
inline constexpr int kCtrlASCEA = 1111;
inline constexpr int kCtrlASCEI = 1112;
inline constexpr int kCtrlLR = 1187;
inline constexpr int kCtrlAR = 1191;
inline constexpr int kCtrlAL = 1189;
inline constexpr int kCtrlBI = 1122;
inline constexpr int kCtrlHB = 1223;
inline constexpr int kCtrlHBM = 1225;
inline constexpr int kCtrlBA = 1100;
inline constexpr int kCtrlTAGM = 1123;
inline constexpr int kCtrlCLC = 1174;
inline constexpr int kCtrlTS = 1119;
inline constexpr int kCtrlGA = 1041;
inline constexpr int kCtrlAGC = 1173;
inline constexpr int kCtrlALCS = 1147;
inline constexpr int kCtrlAGCF = 1102;
inline constexpr int kCtrlAGCGA = 1104;
inline constexpr int kCtrlAGCGI = 1105;
inline constexpr int kCtrlABG = 1217;
inline constexpr int kCtrlBL = 1139;
inline constexpr int kCtrlSDC = 1120;
inline constexpr int kCtrlSDR = 1121;
inline constexpr int kCtrlPGC = 1192;
inline constexpr int kCtrlPGR = 1193;
inline constexpr int kCtrlPBC = 1184;
inline constexpr int kCtrlPBR = 1183;
inline constexpr int kCtrlLUN = 1116;
inline constexpr int kCtrlLUTI = 1160;
inline constexpr int kCtrlLUTD = 1162;
inline constexpr int kCtrlGMA = 1117;
inline constexpr int kCtrlTMPS0 = 1194;
inline constexpr int kCtrlLS0 = 1101;
inline constexpr int kCtrlSS = 1195;
inline constexpr int kCtrlMF = 1227;
inline constexpr int kCtrlSA00 = 1126;
inline constexpr int kCtrlGA4A00 = 1199;
inline constexpr int kCtrlGA4B00 = 1201;
inline constexpr int kCtrlGA8K00 = 1203;
inline constexpr int kCtrlBL4A00 = 1205;
inline constexpr int kCtrlBL4B00 = 1207;
inline constexpr int kCtrlBL8K00 = 1209;
inline constexpr int kCtrlBAS00 = 1128;
inline constexpr int kCtrlSDR00 = 1127;
inline constexpr int kCtrlPGR00 = 1197;
inline constexpr int kCtrlPBR00 = 1198;
inline constexpr int kCtrlBYP0 = 1177;
inline constexpr int kCtrlGA00 = 1211;
inline constexpr int kCtrlPGC00 = 1213;
inline constexpr int kCtrlPBC00 = 1214;

}  // namespace vela
