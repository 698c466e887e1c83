#include "camera/valuecommit.h"

#include "protocol/command.h"
#include "protocol/commandtable.h"

namespace vela {
namespace {

constexpr int kValueTimeoutMs = 5000;

}  // namespace

int SendChangedValues(Command& command) {
    for (const ControlEntry& entry : command.Rows()) {
        if (entry.value == entry.savedValue) continue;
        if (!command.WriteValue(entry.cmdId, entry.value, kValueTimeoutMs)) return 0;
    }
    return 1;
}

CommitResult CommitOrRollBack(Command& command, int ctrlId) {
    return SettleChange(command, ctrlId, SendChangedValues(command) == 1);
}

CommitResult SettleChange(Command& command, int ctrlId, bool answered) {
    if (answered) {
        command.SaveDataValues();
        return {true, command.GetDataValue(ctrlId)};
    }
    const int prev = command.GetSavedDataValue(ctrlId);
    command.SetDataValue(ctrlId, prev);
    return {false, prev};
}

}  // namespace vela
