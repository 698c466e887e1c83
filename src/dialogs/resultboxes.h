#pragma once

#include "camera/actionmessage.h"

namespace vela {

// The box for a camera procedure's message; nothing for an empty one.
void ShowActionMessage(const ActionMessage& message);
// The boxes of a procedure's messages in order; true when the procedure succeeded.
bool ShowActionReport(const ActionReport& report);

// Makes the window's engine, Command::Instance(), report what happens during its
// transactions (refusals, overflows, an unsupported model) in boxes. Called once by the
// program, and by the window tests' main, before any window talks to the camera.
void ShowEngineEventsAsBoxes();

}  // namespace vela
