#pragma once

#include <QApplication>
#include <QWidget>
#include <string>
#include <vector>

#include "dialogs/dialogregistry.h"
#include "transport/commandlog.h"

namespace vela::test {

// The registered windows (dialog registry) that are enabled now.
inline int EnabledRegisteredWindows() {
    int enabled = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        const auto* registered = dynamic_cast<RegisteredDialog*>(w);
        if (registered && registered->HasWindow() && w->isEnabled()) ++enabled;
    }
    return enabled;
}

// Joined to the communication log while it lives: every line that crosses the link, and
// those that crossed while a registered window was enabled.
struct WindowsDuringLines : CommandLogSink {
    WindowsDuringLines() { CommandLog::Instance().Join(this); }
    ~WindowsDuringLines() override { CommandLog::Instance().Leave(this); }
    WindowsDuringLines(const WindowsDuringLines&) = delete;
    WindowsDuringLines& operator=(const WindowsDuringLines&) = delete;
    void OnLogLine(const std::string& line) override {
        lines.push_back(line);
        if (EnabledRegisteredWindows() > 0) withAWindowEnabled.push_back(line);
    }
    std::vector<std::string> lines;
    std::vector<std::string> withAWindowEnabled;
};

}  // namespace vela::test
