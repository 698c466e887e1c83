#pragma once

#include <functional>

#include "camera/parameterreader.h"

class QWidget;

namespace vela {

// The progress window and the message pump of a long camera operation run from a window.
class DialogProgress final : public ParameterReadProgress {
  public:
    // `beforeFinish` runs before the window shows 100 % and closes: the pages' refresh.
    explicit DialogProgress(QWidget* owner, std::function<void()> beforeFinish = {})
        : m_owner(owner), m_beforeFinish(std::move(beforeFinish)) {}
    void Start(const std::string& message) override;
    void SetPos(int percent) override;
    void Finish() override;
    void DrainMessages() override;

  private:
    QWidget* m_owner;
    std::function<void()> m_beforeFinish;
};

}  // namespace vela
