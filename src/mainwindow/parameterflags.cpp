#include "mainwindow/parameterflags.h"

#include <cstdio>

#include "platform/prompt.h"
#include "protocol/commandtable.h"

namespace vela {

int IsFactoryParam(int ctrlId) {
    for (const ControlEntry& entry : ControlRows()) {
        if (entry.ctrlId == ctrlId) return entry.group == Factory ? 1 : 0;
    }
    char text[128];
    std::snprintf(text, sizeof text,
                  "ERROR: IsFactoryParam(): Control id \"%d: 0x%x\" is not registered in database table",
                  ctrlId, static_cast<unsigned>(ctrlId));
    ShowMessage(text, PromptIcon::Exclamation);
    return 0;
}

int IsFileParam(int ctrlId) {
    for (const ControlEntry& entry : ControlRows()) {
        if (entry.ctrlId == ctrlId) return entry.file;
    }
    return 0;
}

}  // namespace vela
