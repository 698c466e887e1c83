#pragma once

#include <string>
#include <vector>

#include "camera/actionmessage.h"

namespace vela {

class Command;

// The camera's four flash areas: 0 the factory area, 1-3 the user areas.
inline constexpr int kFactoryArea = 0;
inline constexpr int kAreaCount = 4;

// Time-outs of the main window's area procedures.
inline constexpr int kStoreAreaTimeoutMs = 8000;
inline constexpr int kLoadAreaTimeoutMs = 10000;
inline constexpr int kStoreAllTimeoutMs = 10000;
inline constexpr int kStoreFactoryAreaTimeoutMs = 500;
// The pause before each store of "Store All".
inline constexpr int kStoreAllSpacingMs = 20;

// "Factory Data", "User 1 Data", "User 2 Data", "User 3 Data"; "Unkown" for any other
// number (-1 stands for no answer).
const char* AreaName(int area);

// The items of the area selection dialog: "Factory", "User 1", "User 2", "User 3";
// nullptr outside 0-3.
const char* AreaItemText(int area);
// The area an item text names; -1 for any other text.
int AreaFromItemText(const std::string& text);
// The areas the selection dialog offers, in order: the factory area only when loading or
// in the factory control mode (1), then the user areas.
std::vector<int> SelectableAreas(bool loadMode, int controlMode);

// The write that stores the working settings into `area`: SA00 with 0 for the factory
// area, SA with the area number for a user area. cmdId is -1 for any other number.
struct AreaWrite {
    int cmdId = -1;
    int value = 0;
};
AreaWrite StoreAreaCommand(int area);

// The transactions; 1 when the camera answered COMPLETE (or, for ReadCurrentArea, with a
// number). An area without a store command sends nothing and returns 0.
int StoreArea(Command& command, int area, int timeoutMs);
int LoadArea(Command& command, int area, int timeoutMs);
// The area the camera runs from; -1 in `area` when it did not answer.
int ReadCurrentArea(Command& command, int& area, int timeoutMs);

// "Store All": the user areas 3, 2, 1, then the factory area, each after a pause of
// kStoreAllSpacingMs; a failure does not stop the rest. Returns the number of failures.
int StoreAllAreas(Command& command, int timeoutMs = kStoreAllTimeoutMs);

// The main window's procedures once the area is chosen, and the message each ends with.
// "Store settings": "Selected invalid area !" for a number outside 0-3, "Completed saving
// current setting data !" on success; none on a failure, which the transaction reports.
ActionMessage StoreSettingsToArea(Command& command, int area);
// "Store All" after its question: one message for the whole run.
ActionMessage StoreAllWithReport(Command& command);

}  // namespace vela
