#include "camera/parameterreader.h"

#include "platform/stoprequest.h"
#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"

namespace vela {

int ReadParameterRows(Command& command, const CameraModel& model, int controlMode,
                      ParameterReadProgress& progress) {
    // Only mode 0 leaves the factory rows out, while only mode 1 counts them for the
    // progress: a stored mode of 2 reads them like the factory mode.
    const bool factoryRows = controlMode != 0;
    const int total = controlMode == 1 ? command.CountValueParams() : command.CountUserValueParams();
    progress.Start(kReadingSettingsMessage);

    int queries = 0;
    int acc = 0;
    for (const ControlEntry& entry : command.Rows()) {
        if (StopRequested()) break;
        if (!model.Is4K() && !model.Is8K()) continue;
        if (!entry.read) continue;
        if (entry.group == Factory && !factoryRows) continue;
        int value = 0;
        ++queries;
        if (command.ReadValue(entry.cmdId, value, 5000) == 1) command.SetDataValue(entry.ctrlId, value);
        acc += 100;
        if (total > 0) progress.SetPos(acc / total);
        progress.DrainMessages();
    }
    progress.Finish();
    return queries;
}

}  // namespace vela
