#include "camera/portsearch.h"

#include "platform/stoprequest.h"
#include "protocol/cameramodel.h"
#include "protocol/onlinestatusregistry.h"
#include "transport/seriallink.h"

namespace vela {

int SearchCameraPort(SerialLink& link, CameraModel& model, OnlineStatusRegistry& status) {
    for (int index = 0; index < kPortSearchCount && !StopRequested(); ++index) {
        // A port that fails to open has said so itself; a silent one costs the query's time-out.
        if (link.SelectPort(index) == 1 && model.Read() == 1) {
            status.SetOnline();
            return index;
        }
    }
    status.SetOffline();
    return -1;
}

ActionMessage NoCameraFoundMessage() {
    return {"No answer from Camera! (Timeout error)\nCheck power on Camera or serial cable connection.",
            PromptIcon::Exclamation, "Communication Error"};
}

}  // namespace vela
