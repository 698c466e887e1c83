#pragma once

#include <functional>

namespace vela {

class CameraModel;
class SerialLink;

// Tries the link at 115200 bit/s down to 9600 bit/s until the camera answers the model
// query. `onRate` hears each baud-rate index (4 down to 0) before its query, so a window
// can show the rate being tried. Returns 1 when the camera answered, 0 when no rate did;
// the link then stays at 9600 bit/s.
int ProbeBaudRates(SerialLink& link, CameraModel& model, const std::function<void(int index)>& onRate);

}  // namespace vela
