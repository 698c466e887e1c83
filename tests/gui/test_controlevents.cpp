// Operator changes on the pages against the simulated camera on a pseudo-terminal: what
// crosses the wire, and what the controls and the value table show afterwards.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "mainwindow/ctrltooldlg.h"
#include "mainwindow/paramcombobox.h"
#include "mainwindow/spineditbox.h"
#include "mainwindow/tabsheetdialog.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"
#include "protocol/controlids.h"
#include "support/cameraonport.h"
#include "support/fakecommunicationpanel.h"
#include "support/recordingprompt.h"
#include "support/stopwatch.h"
#include "transport/seriallink.h"

namespace vela::test {
namespace {

using namespace ctl;
using Lines = std::vector<std::string>;
using sim::FailureMode;

class ControlEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(StartPtyCamera(camera, 1), "");
        dlg = std::make_unique<CCtrlToolDlg>();
        dlg->OnInitDialog();
        dlg->SetCommunicationPanel(&communication);
        dlg->show();
        QApplication::setActiveWindow(dlg.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        // The start-up found the camera and read it.
        ASSERT_EQ(SerialLink::Instance().GetBaudRate(), 9600);
        ASSERT_FALSE(camera->ReceivedLines().empty());
        ASSERT_EQ(prompt.entries().size(), 0u) << prompt.texts().front();
        camera->ClearLines();
    }
    void TearDown() override {
        dlg.reset();
        if (camera) camera->Stop();
    }

    template <class T>
    T* Control(int ctrlId) {
        auto* control = qobject_cast<T*>(dlg->FindControl(ctrlId));
        EXPECT_NE(control, nullptr) << ctrlId;
        return control;
    }

    // Brings the page that holds `ctrlId` to the front, as a click on its tab does.
    void ShowPageOf(int ctrlId) {
        QTabWidget* tabs = dlg->TabControl();
        for (int position = 0; position < tabs->count(); ++position) {
            const int page = tabs->tabBar()->tabData(position).toInt();
            if (dlg->Page(page)->ControlById(ctrlId)) {
                tabs->setCurrentIndex(position);
                QApplication::processEvents();
                return;
            }
        }
        FAIL() << "no tab shows " << ctrlId;
    }

    // Opens the list and clicks the item, as the operator does.
    void Pick(int ctrlId, int index) {
        ShowPageOf(ctrlId);
        auto* combo = Control<ParamComboBox>(ctrlId);
        ASSERT_TRUE(combo);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        ASSERT_TRUE(view->isVisible());
        const QRect item = view->visualRect(view->model()->index(index, 0));
        ASSERT_TRUE(item.isValid());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
        ASSERT_FALSE(view->isVisible());
    }

    SpinEditBox* FocusSpin(int editId) {
        ShowPageOf(editId);
        auto* spin = Control<SpinEditBox>(editId);
        spin->setFocus(Qt::MouseFocusReason);
        EXPECT_TRUE(spin->hasFocus());
        return spin;
    }
    // Moves the focus off the field, as a click elsewhere does.
    void LeaveField() {
        QWidget* elsewhere = Control<QComboBox>(kTriggerOrigin);
        ShowPageOf(kTriggerOrigin);
        elsewhere->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(elsewhere->hasFocus());
    }
    // Keys go where a keyboard sends them: to the widget that has the focus.
    static void Type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    static void Key(Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, mods);
    }

    static int Value(int ctrlId) { return Command::Instance().GetDataValue(ctrlId); }
    static int Saved(int ctrlId) { return Command::Instance().GetSavedDataValue(ctrlId); }
    long long CameraValue(const char* name) {
        return camera->WithCore([name](sim::CameraCore& core) { return core.Value(name).value_or(-1); });
    }
    int CameraRate() {
        return camera->WithCore([](sim::CameraCore& core) { return core.BaudRate(); });
    }
    int ComboIndex(int ctrlId) { return Control<QComboBox>(ctrlId)->currentIndex(); }

    RecordingPrompt prompt;
    std::unique_ptr<sim::PtyCamera> camera;
    FakeCommunicationPanel communication;
    std::unique_ptr<CCtrlToolDlg> dlg;
};

TEST_F(ControlEvents, LineSourceWritesItsItemDataAndARefusalReturnsToTheSavedItem) {
    Pick(kLineSource1, 3);  // "Lval"
    EXPECT_EQ(camera->ReceivedLines(), Lines{"LS0=5"});
    EXPECT_EQ(CameraValue("LS0"), 5);
    EXPECT_EQ(Value(kLineSource1), 5);
    EXPECT_EQ(Saved(kLineSource1), 5);
    EXPECT_TRUE(prompt.entries().empty());

    camera->ClearLines();
    camera->SetFailure(FailureMode::RefuseWrites);
    Pick(kLineSource1, 4);  // "TTL_In"
    EXPECT_EQ(camera->ReceivedLines(), Lines{"LS0=6"});
    EXPECT_EQ(ComboIndex(kLineSource1), 3);
    EXPECT_EQ(Control<QComboBox>(kLineSource1)->currentText().toStdString(), "Lval");
    EXPECT_EQ(Value(kLineSource1), 5);
    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].caption, "Communication Error");
    EXPECT_EQ(prompt.entries()[0].text, "ERROR");
    EXPECT_EQ(prompt.entries()[0].icon, PromptIcon::Exclamation);
}

TEST_F(ControlEvents, ASelectionMadeByTheProgramWritesNothing) {
    dlg->ShowValue(kLineSource1, 5);
    Control<QComboBox>(kTestPattern)->setCurrentIndex(2);
    QApplication::processEvents();
    EXPECT_TRUE(camera->ReceivedLines().empty());
}

TEST_F(ControlEvents, LeavingASpinEditWritesATypedValueOnceAndNothingWhenUnchanged) {
    SpinEditBox* gain = FocusSpin(kGainLevel);
    LeaveField();
    EXPECT_TRUE(camera->ReceivedLines().empty());

    FocusSpin(kGainLevel);
    Key(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("250"));
    LeaveField();
    EXPECT_EQ(camera->ReceivedLines(), Lines{"GA=250"});
    EXPECT_EQ(CameraValue("GA"), 250);
    EXPECT_EQ(gain->EditText().toStdString(), "250");
    EXPECT_EQ(Saved(kGainLevel), 250);

    // Enter commits without waiting for the focus to leave; leaving then sends nothing more.
    FocusSpin(kGainLevel);
    Key(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("300"));
    Key(Qt::Key_Return);
    EXPECT_EQ(camera->ReceivedLines(), (Lines{"GA=250", "GA=300"}));
    EXPECT_TRUE(dlg->isVisible());
    LeaveField();
    EXPECT_EQ(camera->ReceivedLines(), (Lines{"GA=250", "GA=300"}));
    EXPECT_EQ(CameraValue("GA"), 300);
}

TEST_F(ControlEvents, AValueTypedOutsideTheRangeIsNotWrittenInPart) {
    // Cutting "2000" to the "200" that still fits would write a value nobody typed.
    SpinEditBox* gain = FocusSpin(kGainLevel);
    Key(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("2000"));
    LeaveField();
    EXPECT_TRUE(camera->ReceivedLines().empty());
    EXPECT_EQ(gain->EditText().toStdString(), "100");
    EXPECT_EQ(CameraValue("GA"), 100);
}

TEST_F(ControlEvents, EachArrowStepIsOneWriteAndAStepPastTheMaximumStopsThere) {
    SpinEditBox* gain = FocusSpin(kGainLevel);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(camera->ReceivedLines(), (Lines{"GA=101", "GA=102"}));

    // A click on the up arrow of the spin.
    QStyleOptionSpinBox opt;
    opt.initFrom(gain);
    opt.subControls = QStyle::SC_All;
    opt.frame = gain->hasFrame();
    opt.buttonSymbols = gain->buttonSymbols();
    opt.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    const QRect up = gain->style()->subControlRect(QStyle::CC_SpinBox, &opt, QStyle::SC_SpinBoxUp, gain);
    QTest::mouseClick(gain, Qt::LeftButton, {}, up.center());
    EXPECT_EQ(camera->ReceivedLines(), (Lines{"GA=101", "GA=102", "GA=103"}));

    camera->ClearLines();
    Key(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("1595"));
    Key(Qt::Key_Return);
    Key(Qt::Key_PageUp);  // ten steps from 1595
    EXPECT_EQ(camera->ReceivedLines(), (Lines{"GA=1595", "GA=1600"}));
    EXPECT_EQ(gain->value(), 1600);
    EXPECT_EQ(gain->EditText().toStdString(), "1600");
    Key(Qt::Key_Up);
    QTest::mouseClick(gain, Qt::LeftButton, {}, up.center());
    EXPECT_EQ(camera->ReceivedLines(), (Lines{"GA=1595", "GA=1600"}));
    EXPECT_EQ(gain->value(), 1600);
    EXPECT_EQ(CameraValue("GA"), 1600);
}

TEST_F(ControlEvents, ARefusedStepStaysAtTheSavedPosition) {
    SpinEditBox* black = FocusSpin(kBlackLevel);
    camera->SetFailure(FailureMode::RefuseWrites);
    Key(Qt::Key_Down);
    EXPECT_EQ(camera->ReceivedLines(), Lines{"BL=-1"});
    EXPECT_EQ(black->value(), 0);
    EXPECT_EQ(black->EditText().toStdString(), "0");
    EXPECT_EQ(Value(kBlackLevel), 0);
    EXPECT_EQ(prompt.texts(), Lines{"ERROR"});

    // A refused typed value goes back too.
    Key(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("12"));
    LeaveField();
    EXPECT_EQ(camera->ReceivedLines(), (Lines{"BL=-1", "BL=12"}));
    EXPECT_EQ(black->EditText().toStdString(), "0");
    EXPECT_EQ(Value(kBlackLevel), 0);
    EXPECT_EQ(CameraValue("BL"), 0);
}

TEST_F(ControlEvents, LutIndexAndDataAreOnlyReformatted) {
    SpinEditBox* index = FocusSpin(kLutIndex);
    Key(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("+12"));
    LeaveField();
    EXPECT_EQ(index->EditText().toStdString(), "12");
    FocusSpin(kLutData);
    Key(Qt::Key_Up);
    Key(Qt::Key_Return);
    EXPECT_TRUE(camera->ReceivedLines().empty());
}

TEST_F(ControlEvents, ExposureModeKeepsTheNewSelectionEvenWhenRefused) {
    camera->SetFailure(FailureMode::RefuseWrites);
    Pick(kExposureMode, 1);  // "Timed"
    EXPECT_EQ(camera->ReceivedLines(), Lines{"EM=1"});
    EXPECT_EQ(prompt.texts(), Lines{"ERROR"});
    EXPECT_EQ(ComboIndex(kExposureMode), 1);
    EXPECT_EQ(Value(kExposureMode), 1);
    EXPECT_EQ(Saved(kExposureMode), 1);
    EXPECT_EQ(CameraValue("EM"), 0);
    // The exposure rule ran for "Timed".
    EXPECT_TRUE(Control<QWidget>(kExposureTime)->isEnabled());
    EXPECT_FALSE(Control<QWidget>(kOnePush)->isEnabled());
}

TEST_F(ControlEvents, SensorSelectWaitsLongerThanOtherWritesAndRollsBackOnRefusal) {
    constexpr int kSlowMs = 5600;  // beyond the 5000 ms of an ordinary write
    camera->WithCore([](sim::CameraCore& core) {
        sim::CameraOptions options = core.Options();
        options.processingDelayMs = kSlowMs;
        core.SetOptions(options);
    });
    const vela::test::Stopwatch start;
    Pick(kSensorSelect, 1);
    EXPECT_GE(start.Ms(), static_cast<std::uint32_t>(kSlowMs));
    EXPECT_EQ(camera->ReceivedLines(), Lines{"SS=1"});
    EXPECT_TRUE(prompt.entries().empty());
    EXPECT_EQ(Saved(kSensorSelect), 1);
    EXPECT_EQ(CameraValue("SS"), 1);

    camera->WithCore([](sim::CameraCore& core) {
        sim::CameraOptions options = core.Options();
        options.processingDelayMs = 0;
        core.SetOptions(options);
    });
    camera->ClearLines();
    camera->SetFailure(FailureMode::RefuseWrites);
    Pick(kSensorSelect, 0);
    EXPECT_EQ(camera->ReceivedLines(), Lines{"SS=0"});
    EXPECT_EQ(ComboIndex(kSensorSelect), 1);
    EXPECT_EQ(Value(kSensorSelect), 1);
}

TEST_F(ControlEvents, CameraBaudRateSwitchesCameraAndLinkAndBack) {
    Pick(kCameraBaudRate, 2);  // "38400bps"
    EXPECT_EQ(camera->ReceivedLines(), (Lines{"CBDRT?", "CBDRT=4", "CBDRT=4"}));
    EXPECT_EQ(CameraRate(), 38400);
    EXPECT_EQ(SerialLink::Instance().GetBaudRate(), 38400);
    EXPECT_EQ(Saved(kCameraBaudRate), 4);
    EXPECT_EQ(communication.baudSelections, std::vector<int>{2});
    EXPECT_TRUE(prompt.entries().empty());

    camera->ClearLines();
    Pick(kCameraBaudRate, 0);
    EXPECT_EQ(camera->ReceivedLines(), (Lines{"CBDRT?", "CBDRT=1", "CBDRT=1"}));
    EXPECT_EQ(CameraRate(), 9600);
    EXPECT_EQ(SerialLink::Instance().GetBaudRate(), 9600);
    EXPECT_EQ(Saved(kCameraBaudRate), 1);
    EXPECT_EQ(communication.baudSelections, (std::vector<int>{2, 0}));
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(ControlEvents, CameraSilentAtTheNewRateBringsComboTableAndLinkBack) {
    // The camera refuses the switch and stays at 9600, so nothing answers at 38400.
    camera->SetFailure(FailureMode::RefuseWrites);
    Pick(kCameraBaudRate, 2);
    EXPECT_EQ(camera->ReceivedLines(), (Lines{"CBDRT?", "CBDRT=4"}));
    EXPECT_GE(camera->GarbledLines(), 1);
    EXPECT_EQ(SerialLink::Instance().GetBaudRate(), 9600);
    EXPECT_EQ(ComboIndex(kCameraBaudRate), 0);
    EXPECT_EQ(Value(kCameraBaudRate), 1);
    EXPECT_TRUE(communication.baudSelections.empty());

    camera->SetFailure(FailureMode::None);
    int rate = 0;
    EXPECT_EQ(Command::Instance().ReadValue(kCmdCBDRT, rate, 1000), 1);
    EXPECT_EQ(rate, 1);
}

TEST_F(ControlEvents, SelectingTheRateTheCameraHasOnlyQueriesIt) {
    dlg->ShowValue(kCameraBaudRate, 16);  // a list that has fallen behind the camera
    Pick(kCameraBaudRate, 0);
    EXPECT_EQ(camera->ReceivedLines(), Lines{"CBDRT?"});
    EXPECT_EQ(SerialLink::Instance().GetBaudRate(), 9600);
    EXPECT_TRUE(communication.baudSelections.empty());
}

TEST_F(ControlEvents, PendingChangesGoAlongInTableOrderAndStopAtTheFirstFailure) {
    Command& command = Command::Instance();
    command.SetDataValue(kBlackLevel, 10);
    command.SetDataValue(kGainLevel, 200);
    Pick(kLineSource1, 3);
    EXPECT_EQ(camera->ReceivedLines(), (Lines{"GA=200", "BL=10", "LS0=5"}));
    EXPECT_EQ(Saved(kGainLevel), 200);
    EXPECT_EQ(Saved(kBlackLevel), 10);

    camera->ClearLines();
    command.SetDataValue(kGainLevel, 5000);  // out of the camera's range
    command.SetDataValue(kBlackLevel, 20);
    Pick(kLineSource1, 1);
    EXPECT_EQ(camera->ReceivedLines(), Lines{"GA=5000"});
    EXPECT_EQ(prompt.texts().size(), 1u);
    EXPECT_EQ(ComboIndex(kLineSource1), 3);
    EXPECT_EQ(Value(kLineSource1), 5);
    // Only the event's own row goes back; the others still wait to be sent.
    EXPECT_EQ(Value(kGainLevel), 5000);
    EXPECT_EQ(Value(kBlackLevel), 20);
    EXPECT_EQ(Saved(kBlackLevel), 10);
}

TEST_F(ControlEvents, RuleCombosRunTheirRuleAndFollowARollBack) {
    auto* open = Control<QPushButton>(kOpenLutTable);
    Pick(kLutSelector, 1);  // "LUT"
    EXPECT_EQ(camera->ReceivedLines(), Lines{"LUN=1"});
    EXPECT_TRUE(open->isEnabled());

    camera->ClearLines();
    camera->SetFailure(FailureMode::RefuseWrites);
    Pick(kLutSelector, 2);  // "Gamma", refused
    EXPECT_EQ(camera->ReceivedLines(), Lines{"LUN=2"});
    EXPECT_EQ(ComboIndex(kLutSelector), 1);
    EXPECT_TRUE(open->isEnabled());
    EXPECT_FALSE(Control<QWidget>(kGamma)->isVisible());

    camera->SetFailure(FailureMode::None);
    Pick(kShadingMode, 2);  // "User Area"
    EXPECT_TRUE(Control<QPushButton>(kRecalibrateShading)->isEnabled());
}

}  // namespace
}  // namespace vela::test
