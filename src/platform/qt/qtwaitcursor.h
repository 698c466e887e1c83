#pragma once

#include "platform/waitcursor.h"

namespace vela {

// The wait cursor as Qt's override cursor.
class QtWaitCursor final : public WaitCursor {
  public:
    void Begin() override;
    void End() override;
};

}  // namespace vela
