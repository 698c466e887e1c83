#pragma once

#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "transport/cameralinkseriallibrary.h"
#include "transport/comport.h"
#include "transport/seriallink.h"

namespace vela {

// What a conversation with one camera needs: a COM port and a channel to each Camera Link
// serial library of its own (a channel holds one open port), the link over them with its
// own log, the engine with its own value table and online state, and the camera's model. A
// value: a script or a test makes one per port, any number in a process, each used from
// one thread at a time. The window holds exactly one, made of the process-wide objects
// (Command::Instance() and the others).
struct CameraSession {
    CameraSession() : link(SerialLink::Channels{&port, &cl2000, &cl2001, &clVer11}, nullptr) {}
    ~CameraSession() { link.Close(); }
    CameraSession(const CameraSession&) = delete;
    CameraSession& operator=(const CameraSession&) = delete;

    ComPort port;
    CameraLink2000Library cl2000;
    CameraLink2001Library cl2001;
    CameraLinkVer11Library clVer11;
    SerialLink link;
    Command command{link};
    CameraModel model{command};
};

}  // namespace vela
