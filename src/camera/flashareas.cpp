#include "camera/flashareas.h"

#include "protocol/command.h"
#include "protocol/commandtable.h"

namespace vela {

const char* AreaName(int area) {
    // "Unkown" is spelled as the tool has always shown it; what reads the field may rely on it.
    static constexpr const char* kNames[kAreaCount] = {"Factory Data", "User 1 Data", "User 2 Data",
                                                       "User 3 Data"};
    return area >= 0 && area < kAreaCount ? kNames[area] : "Unkown";
}

AreaWrite StoreAreaCommand(int area) {
    if (area == kFactoryArea) return {kCmdSA00, 0};
    if (area > kFactoryArea && area < kAreaCount) return {kCmdSA, area};
    return {};
}

int StoreArea(Command& command, int area, int timeoutMs) {
    const AreaWrite write = StoreAreaCommand(area);
    if (write.cmdId < 0) return 0;
    return command.WriteValue(write.cmdId, write.value, timeoutMs);
}

int LoadArea(Command& command, int area, int timeoutMs) {
    return command.WriteValue(kCmdLD, area, timeoutMs);
}

int ReadCurrentArea(Command& command, int& area, int timeoutMs) {
    int value = 0;
    if (!command.ReadValue(kCmdEA, value, timeoutMs)) {
        area = -1;
        return 0;
    }
    area = value;
    return 1;
}

}  // namespace vela
