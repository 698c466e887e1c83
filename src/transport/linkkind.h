#pragma once

namespace vela {

enum LinkKind : int {
    ComPortKind = 0,
    CameraLink2000 = 1,
    CameraLink2001 = 2,
    CameraLinkVer11 = 3,
};

inline bool IsValidLinkKind(int kind) {
    return kind >= 0 && kind <= 3;
}
inline bool IsLibraryKind(int kind) {
    return kind >= 1 && kind <= 3;
}

}  // namespace vela
