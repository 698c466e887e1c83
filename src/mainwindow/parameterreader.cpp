#include "mainwindow/parameterreader.h"

#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"

namespace vela {

int ReadParameterRows(Command& command, const CameraModel& model, int controlMode,
                      ParameterReadProgress& progress) {
    const bool factoryMode = controlMode == 1;
    const int total = factoryMode ? command.CountValueParams() : command.CountUserValueParams();
    progress.Start(kReadingSettingsMessage);

    int queries = 0;
    int acc = 0;
    for (int row = 0; g_controlTable[row].ctrlId != kControlTerminator; ++row) {
        const ControlEntry& entry = g_controlTable[row];
        if (!model.Is4K() && !model.Is8K()) continue;
        if (!entry.read) continue;
        if (entry.group == Factory && !factoryMode) continue;
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
