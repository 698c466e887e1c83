#pragma once

#include <string>

namespace vela {

class CameraModel;
class Command;

// What the whole-camera read needs from its window: the progress display and a way to
// let the windows repaint between two queries.
class ParameterReadProgress {
  public:
    virtual ~ParameterReadProgress() = default;
    virtual void Start(const std::string& message) = 0;
    virtual void SetPos(int percent) = 0;
    virtual void Finish() = 0;
    // Handles every waiting window message.
    virtual void DrainMessages() = 0;
};

inline constexpr const char* kReadingSettingsMessage = "Now, reading camera settings.";

// The parameter read of the whole-camera refresh, without widgets: queries every row of
// the control table marked for the read, in table order, skipping factory rows in the
// user control mode (`controlMode` 0) and everything for a model that is neither 4K nor
// 8K. A failed query leaves its row as it was. Progress counts every value row
// (`controlMode` 1) or every user value row (any other mode), so it ends below 100
// before Finish in modes 0 and 1.
// Returns the number of queries sent.
int ReadParameterRows(Command& command, const CameraModel& model, int controlMode,
                      ParameterReadProgress& progress);

}  // namespace vela
