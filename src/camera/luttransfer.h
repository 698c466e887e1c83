#pragma once

#include <string>

#include "camera/luttable.h"

namespace vela {

class Command;

// What a LUT transfer needs from its window: the progress display and a way to let the
// windows run between two entries.
class LutTransferProgress {
  public:
    virtual ~LutTransferProgress() = default;
    virtual void Start(const std::string& message) = 0;
    // The text the next SetPos shows.
    virtual void SetMessage(const std::string& message) = 0;
    virtual void SetPos(int percent) = 0;
    virtual void Finish() = 0;
    // Called after each entry: handles every waiting window message.
    virtual void EntryDone() = 0;
};

// The start texts; the reading one ends in two blanks.
inline constexpr const char* kReadingLutMessage = "Now, reading camera gamma data  ";
inline constexpr const char* kWritingLutMessage = "Now, writing camera gamma data.";
inline constexpr int kLutTransferTimeoutMs = 1000;

// Reads the camera's table entry by entry (LUTI = i, then LUTD?) into `table`. Values
// are brought into 0 .. 4095. Stops at the first failed LUTD query and keeps what was
// read before it; 1 when all 256 entries were read, 0 otherwise.
int ReadLutTable(Command& command, LutTable& table, LutTransferProgress& progress);

// What a table write does after an entry whose LUTI or LUTD write failed.
enum class LutWriteFailure {
    RunToEnd,  // the window's rule: every entry is sent whatever the camera answered
    Stop,      // a script's rule: a camera that stopped answering is not waited for 256 times
};

// Writes `table` to the camera entry by entry (LUTI = i, then LUTD = value). Returns the
// number of entries before the first one with a failed write (256 when all went through).
int WriteLutTable(Command& command, const LutTable& table, LutTransferProgress& progress,
                  LutWriteFailure onFailure = LutWriteFailure::RunToEnd);

}  // namespace vela
