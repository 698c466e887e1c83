#include "camera/flashareas.h"

#include "platform/clock.h"
#include "platform/prompt.h"
#include "platform/stoprequest.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"

namespace vela {
namespace {

constexpr const char* kAreaItemTexts[kAreaCount] = {"Factory", "User 1", "User 2", "User 3"};

}  // namespace

const char* AreaName(int area) {
    // "Unkown" is spelled as the tool has always shown it; what reads the field may rely on it.
    static constexpr const char* kNames[kAreaCount] = {"Factory Data", "User 1 Data", "User 2 Data",
                                                       "User 3 Data"};
    return area >= 0 && area < kAreaCount ? kNames[area] : "Unkown";
}

const char* AreaItemText(int area) {
    return area >= 0 && area < kAreaCount ? kAreaItemTexts[area] : nullptr;
}

int AreaFromItemText(const std::string& text) {
    for (int area = 0; area < kAreaCount; ++area) {
        if (text == kAreaItemTexts[area]) return area;
    }
    return -1;
}

std::vector<int> SelectableAreas(bool loadMode, int controlMode) {
    std::vector<int> areas;
    if (loadMode || controlMode == 1) areas.push_back(kFactoryArea);
    for (int area = 1; area < kAreaCount; ++area) areas.push_back(area);
    return areas;
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

int StoreAllAreas(Command& command, int timeoutMs) {
    int failures = 0;
    for (int area = kAreaCount - 1; area >= 0; --area) {
        if (StopRequested()) return failures + area + 1;
        SleepMs(kStoreAllSpacingMs);
        if (StoreArea(command, area, timeoutMs) != 1) ++failures;
    }
    return failures;
}

ActionMessage StoreSettingsToArea(Command& command, int area) {
    if (StoreAreaCommand(area).cmdId < 0) return {"Selected invalid area !", PromptIcon::Stop};
    if (StoreArea(command, area, kStoreAreaTimeoutMs) != 1) return {};
    return {"Completed saving current setting data !", PromptIcon::Information};
}

ActionMessage StoreAllWithReport(Command& command) {
    if (StoreAllAreas(command) == 0)
        return {"Completed to store current setting data!", PromptIcon::Information};
    return {"Couldn't store current setting data!", PromptIcon::Exclamation};
}

}  // namespace vela
