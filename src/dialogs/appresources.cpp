#include "dialogs/appresources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitVelaResources() {
    Q_INIT_RESOURCE(vela);
}

namespace vela {

void InitResources() {
    static const bool done = (InitVelaResources(), true);
    (void)done;
}

}  // namespace vela
