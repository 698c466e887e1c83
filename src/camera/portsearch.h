#pragma once

#include "camera/actionmessage.h"

namespace vela {

class CameraModel;
class OnlineStatusRegistry;
class SerialLink;

// Port indices the search tries, whatever the kind reports: a library may list fewer
// ports than it can open.
inline constexpr int kPortSearchCount = 16;

// Opens port 0, 1, ... 15 of the link's current kind at its current rate and asks each
// for the camera model. Returns the first index that answered; the bars go green. With no
// answer the bars go red and it returns -1 (the caller shows NoCameraFoundMessage()); the
// link is then left on the last index tried.
int SearchCameraPort(SerialLink& link, CameraModel& model, OnlineStatusRegistry& status);
// "No answer from Camera! (Timeout error)...", for a search that found nothing.
ActionMessage NoCameraFoundMessage();

}  // namespace vela
