#include "transport/seriallink.h"

namespace vela {

// Until the Camera Link adapters exist there is no library channel: opening such a
// kind fails and its port count is 0, as with a missing library.
LibraryChannel* DefaultLibraryChannel(int) { return nullptr; }

}  // namespace vela
