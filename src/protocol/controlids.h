#pragma once

// Control ids of the main window and its pages. They key the control table, so the
// numbers are fixed; the names are only for reading the code.
namespace vela::ctl {

// Main window
inline constexpr int kMainStatusBar = 1069;
inline constexpr int kTabControl = 1089;

// Page "User A": trigger and exposure
inline constexpr int kTriggerOrigin = 1096;
inline constexpr int kTriggerInput = 1098;
inline constexpr int kTriggerActivation = 1099;
inline constexpr int kAutoResetMode = 1186;
inline constexpr int kExposureMode = 1092;
inline constexpr int kExposureTime = 1093;
inline constexpr int kExposureTimeSpin = 1094;
inline constexpr int kExposureMaxLabel = 1220;
inline constexpr int kExposureMinLabel = 1221;
inline constexpr int kExposureLimitsRead = 1222;
// line rate
inline constexpr int kLineRate = 1187;
inline constexpr int kLineRateSpin = 1188;
inline constexpr int kLinePeriodLabel = 1215;
inline constexpr int kLineFrequencyLabel = 1216;
inline constexpr int kLineRateMinLabel = 1218;
inline constexpr int kLineRateMinRead = 1219;
inline constexpr int kOnePush = 1191;
inline constexpr int kAutoLineRateRef = 1189;
inline constexpr int kAutoLineRateRefSpin = 1190;
// image format
inline constexpr int kBinningVLabel = 1130;
inline constexpr int kBinningV = 1122;
inline constexpr int kBinningHLabel = 1224;
inline constexpr int kBinningH = 1223;
inline constexpr int kBinningHModeLabel = 1226;
inline constexpr int kBinningHMode = 1225;
inline constexpr int kBitAllocation = 1100;
inline constexpr int kTapGeometry = 1123;
inline constexpr int kClClock = 1174;
inline constexpr int kTestPattern = 1119;
// gain and signal
inline constexpr int kGainLevel = 1041;
inline constexpr int kGainLevelSpin = 1045;
inline constexpr int kAnalogBaseGain = 1217;
inline constexpr int kBlackLevel = 1139;
inline constexpr int kBlackLevelSpin = 1140;
// created hidden and disabled, never shown
inline constexpr int kExposureAuto = 1172;
inline constexpr int kExposureAutoMax = 1111;
inline constexpr int kExposureAutoMaxSpin = 1114;
inline constexpr int kExposureAutoMin = 1112;
inline constexpr int kExposureAutoMinSpin = 1115;
inline constexpr int kGainAuto = 1173;
inline constexpr int kGainAutoMax = 1104;
inline constexpr int kGainAutoMaxSpin = 1108;
inline constexpr int kGainAutoMin = 1105;
inline constexpr int kGainAutoMinSpin = 1109;
inline constexpr int kAlcReference = 1102;
inline constexpr int kAlcReferenceSpin = 1106;
inline constexpr int kAlcSpeed = 1147;
inline constexpr int kAlcSpeedSpin = 1107;

// Page "User B"
inline constexpr int kShadingModeLabel = 1138;
inline constexpr int kShadingMode = 1120;
inline constexpr int kRecalibrateShading = 1121;
inline constexpr int kPixelGainMode = 1192;
inline constexpr int kRecalibratePixelGain = 1193;
inline constexpr int kPixelBlackMode = 1184;
inline constexpr int kRecalibratePixelBlack = 1183;
inline constexpr int kLutSelector = 1116;
inline constexpr int kOpenLutTable = 1132;
inline constexpr int kGammaLabel = 1141;
inline constexpr int kGamma = 1117;
inline constexpr int kGammaSpin = 1118;
inline constexpr int kLutIndex = 1160;
inline constexpr int kLutIndexSpin = 1161;
inline constexpr int kLutData = 1162;
inline constexpr int kLutDataSpin = 1163;
inline constexpr int kLutRead = 1164;
inline constexpr int kLutWrite = 1165;
inline constexpr int kTemperatureSensor = 1194;
inline constexpr int kTemperature = 1049;
inline constexpr int kTemperatureGet = 1125;
inline constexpr int kLineSource1 = 1101;
inline constexpr int kSensorSelect = 1195;
inline constexpr int kCameraBaudRate = 1124;
inline constexpr int kMedianFilter = 1227;

// Page "Factory A"
inline constexpr int kFactoryRecalibrateShading = 1127;
inline constexpr int kFactoryPixelGainMode = 1213;
inline constexpr int kFactoryRecalibratePixelGain = 1197;
inline constexpr int kFactoryPixelBlackMode = 1214;
inline constexpr int kFactoryRecalibratePixelBlack = 1198;
inline constexpr int kFactoryInGain = 1211;
inline constexpr int kFactoryInGainSpin = 1212;
inline constexpr int kIpBypass = 1177;
inline constexpr int kFactoryGain4KA = 1199;
inline constexpr int kFactoryGain4KASpin = 1200;
inline constexpr int kFactoryGain4KB = 1201;
inline constexpr int kFactoryGain4KBSpin = 1202;
inline constexpr int kFactoryGain8K = 1203;
inline constexpr int kFactoryGain8KSpin = 1204;
inline constexpr int kFactoryBlack4KA = 1205;
inline constexpr int kFactoryBlack4KASpin = 1206;
inline constexpr int kFactoryBlack4KB = 1207;
inline constexpr int kFactoryBlack4KBSpin = 1208;
inline constexpr int kFactoryBlack8K = 1209;
inline constexpr int kFactoryBlack8KSpin = 1210;
inline constexpr int kXmlMajor = 1178;
inline constexpr int kXmlMinor = 1179;
inline constexpr int kXmlRevision = 1180;
inline constexpr int kXmlWrite = 1181;
inline constexpr int kXmlRead = 1182;
inline constexpr int kBootAreaSet = 1128;
inline constexpr int kCameraModelList = 1142;
inline constexpr int kCameraModelSet = 1014;
inline constexpr int kCameraReset = 1012;
inline constexpr int kTerminal = 1010;
inline constexpr int kStoreAll = 1021;
inline constexpr int kSaveFactoryArea = 1126;  // created hidden and disabled, never shown

// Menu commands
inline constexpr int kMenuEditUserId = 30000;
inline constexpr int kMenuAbout = 30001;
inline constexpr int kMenuReload = 30002;
inline constexpr int kMenuStoreSettings = 30003;
inline constexpr int kMenuLoadSettings = 30004;
inline constexpr int kMenuEditCameraId = 30005;
inline constexpr int kMenuOpenLutFile = 30006;
inline constexpr int kMenuSaveLutFile = 30007;
inline constexpr int kMenuOpenSettingFile = 30008;
inline constexpr int kMenuLoadAllLut = 30009;
inline constexpr int kMenuOpenCommunication = 30010;
inline constexpr int kMenuSaveAllData = 30011;
inline constexpr int kMenuSaveShippingData = 30012;
inline constexpr int kMenuFastAnswers = 30013;
inline constexpr int kMenuExit = 2;  // the cancel id

}  // namespace vela::ctl
