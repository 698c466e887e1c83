#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/registrysettings.h"
#include "mainwindow/ctrltooldlg.h"
#include "support/cameraonport.h"
#include "support/fakecommunicationpanel.h"
#include "support/recorders.h"
#include "support/recordingprompt.h"
#include "support/stopwatch.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace vela::test {

// The main window started against the simulated camera, linked as COM1 (the port a
// fresh configuration opens).
class MainWindowTest : public ::testing::Test {
  protected:
    void StartCamera(sim::CameraOptions options = {}, sim::WireOptions wire = {}) {
        ASSERT_EQ(StartPtyCamera(camera, 1, options, wire), "");
    }
    // Constructs the window and runs its start-up; returns the milliseconds it took.
    std::uint32_t StartWindow(int controlMode = 0) {
        ControlMode::Instance().Set(controlMode);
        dlg = std::make_unique<CCtrlToolDlg>();
        dlg->SetCommunicationPanel(&panel);
        const vela::test::Stopwatch start;
        dlg->OnInitDialog();
        return start.Ms();
    }
    void TearDown() override {
        dlg.reset();
        if (camera) camera->Stop();
    }

    template <class W>
    W* Control(int ctrlId) {
        return qobject_cast<W*>(dlg->FindControl(ctrlId));
    }

    RecordingPrompt prompt;
    FakeCommunicationPanel panel;
    std::unique_ptr<sim::PtyCamera> camera;
    std::unique_ptr<CCtrlToolDlg> dlg;
};

// The queries of the whole-camera read, in control-table order.
inline Strings UserModeQueries() {
    return {"CBDRT?", "TG?",  "TI?",  "TA?",   "ARST?",  "EM?",  "PE?", "LR?",  "AL?", "BI?",
            "HB?",    "HBM?", "BA?",  "TAGM?", "CLC?",   "TS?",  "GA?", "ABG?", "BL?", "SDC?",
            "PGC?",   "PBC?", "LUN?", "GMA?",  "TMPS0?", "LS0?", "SS?", "MF?"};
}

inline Strings FactoryModeQueries() {
    Strings queries = UserModeQueries();
    for (const char* q : {"GA4A00?", "GA4B00?", "GA8K00?", "BL4A00?", "BL4B00?", "BL8K00?", "BAS00?", "BYP0?",
                          "GA00?", "PGC00?", "PBC00?"}) {
        queries.push_back(q);
    }
    return queries;
}

inline Strings Concat(Strings a, const Strings& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace vela::test
