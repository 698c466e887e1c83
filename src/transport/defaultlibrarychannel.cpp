#include "transport/cameralinkseriallibrary.h"
#include "transport/seriallink.h"

namespace vela {

// One adapter per generation for the whole process; its destruction at process end closes
// the port and unloads the library.
LibraryChannel* DefaultLibraryChannel(int kind) {
    switch (kind) {
        case CameraLink2000: {
            static CameraLink2000Library library;
            return &library;
        }
        case CameraLink2001: {
            static CameraLink2001Library library;
            return &library;
        }
        case CameraLinkVer11: {
            static CameraLinkVer11Library library;
            return &library;
        }
        default:
            return nullptr;
    }
}

}  // namespace vela
