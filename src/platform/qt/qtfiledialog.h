#pragma once

#include "platform/filedialog.h"

namespace vela {

// The common file dialog as QFileDialog, owned by the active window.
class QtFileDialog final : public FileDialog {
  public:
    FileDialogResult Run(const FileDialogRequest& request) override;
};

}  // namespace vela
