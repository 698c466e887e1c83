#pragma once

namespace vela {

class Command;

// Writes every row of the control table whose value differs from its saved value, in
// table order, and stops at the first write the camera does not answer with COMPLETE.
// Returns 1 when every write was answered, 0 otherwise.
int SendChangedValues(Command& command);

// What became of one operator change.
struct CommitResult {
    bool committed;  // every changed row was written and the snapshot taken
    int value;       // the row's value afterwards: the new one, or the saved one restored
};

// The rule for a change already stored in the table: send the changed rows; when all
// were answered, take the snapshot (SaveDataValues); otherwise only `ctrlId`'s row goes
// back to its saved value, so the window shows what the camera still holds.
CommitResult CommitOrRollBack(Command& command, int ctrlId);

// The same rule for a change its caller has sent its own way: `answered` is whether the
// camera took it.
CommitResult SettleChange(Command& command, int ctrlId, bool answered);

}  // namespace vela
