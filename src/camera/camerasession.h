#pragma once

#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "transport/comport.h"
#include "transport/seriallink.h"

namespace vela {

// What a conversation with one camera needs: a COM port of its own, the link over it (and
// the Camera Link library channels), the engine with its own value table and online state,
// and the camera's model. A value: a script or a test makes one per port, any number in a
// process, each used from one thread at a time. The window holds exactly one, made of the
// process-wide objects (Command::Instance() and the others).
struct CameraSession {
    // `libraries` are the Camera Link channels by kind (nullptr: none); the COM port is the
    // session's own.
    explicit CameraSession(LibraryChannel* cl2000 = nullptr, LibraryChannel* cl2001 = nullptr,
                           LibraryChannel* clVer11 = nullptr)
        : link(SerialLink::Channels{&port, cl2000, cl2001, clVer11}, nullptr) {}
    ~CameraSession() { link.Close(); }
    CameraSession(const CameraSession&) = delete;
    CameraSession& operator=(const CameraSession&) = delete;

    ComPort port;
    SerialLink link;
    Command command{link};
    CameraModel model{command};
};

}  // namespace vela
