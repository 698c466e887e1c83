#pragma once

namespace vela {

class Command;

// The camera's four flash areas: 0 the factory area, 1-3 the user areas.
inline constexpr int kFactoryArea = 0;
inline constexpr int kAreaCount = 4;

// "Factory Data", "User 1 Data", "User 2 Data", "User 3 Data"; "Unkown" for any other
// number (-1 stands for no answer).
const char* AreaName(int area);

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

}  // namespace vela
