#include "camera/baudprobe.h"

#include "platform/stoprequest.h"
#include "protocol/cameramodel.h"
#include "transport/seriallink.h"

namespace vela {

int ProbeBaudRates(SerialLink& link, CameraModel& model, const std::function<void(int index)>& onRate) {
    for (int index = 4; index >= 0 && !StopRequested(); --index) {
        link.SetBaudRate(SerialLink::BaudRateFromIndex(index));
        if (onRate) onRate(index);
        if (model.Read() != 0) return 1;
    }
    return 0;
}

}  // namespace vela
