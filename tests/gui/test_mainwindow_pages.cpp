// The pages of the main window after a start-up against the simulated camera: the
// controls and their mapping to values, the refresh rules, the tabs, keys and closing.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "camera/valuecommit.h"
#include "dialogs/dialogregistry.h"
#include "mainwindow/paramcombobox.h"
#include "mainwindow/parameterflags.h"
#include "mainwindow/spineditbox.h"
#include "mainwindow/tabsheetdialog.h"
#include "platform/qt/qtprompt.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"
#include "protocol/controlids.h"
#include "support/guimessageboxkey.h"
#include "support/mainwindowfixture.h"
#include "support/recordingdialog.h"
#include "transport/commandlog.h"
#include "transport/seriallink.h"

namespace vela::test {
namespace {

using namespace ctl;

class PagesTest : public MainWindowTest {
  protected:
    void SetUp() override {
        StartCamera();
        StartWindow(0);
        ASSERT_TRUE(prompt.entries().empty());
        camera->ClearLines();
    }
    // Shows the window and gives `widget` the keyboard focus, as a click would.
    void Focus(QWidget* widget) {
        dlg->show();
        QApplication::setActiveWindow(dlg.get());
        widget->setFocus(Qt::OtherFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), widget);
    }
    void TypeKeys(QWidget* target, const char* letters) {
        for (const char* c = letters; *c; ++c) QTest::keyClick(target, static_cast<Qt::Key>(*c));
    }
    void Sequence(QWidget* target) {
        QTest::keyClick(target, Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    }
    QStringList Tabs() {
        QStringList tabs;
        for (int i = 0; i < dlg->TabControl()->count(); ++i) tabs << dlg->TabControl()->tabText(i);
        return tabs;
    }
    QString ComboText(int ctrlId) { return Control<QComboBox>(ctrlId)->currentText(); }
};

const int kNeverShown[] = {kExposureAuto,    kExposureAutoMax,     kExposureAutoMaxSpin,
                           kExposureAutoMin, kExposureAutoMinSpin, kGainAuto,
                           kGainAutoMax,     kGainAutoMaxSpin,     kGainAutoMin,
                           kGainAutoMinSpin, kAlcReference,        kAlcReferenceSpin,
                           kAlcSpeed,        kAlcSpeedSpin,        kSaveFactoryArea};

TEST_F(PagesTest, EveryBoundControlExistsOnOnePage) {
    int found = 0;
    for (const ControlEntry& entry : ControlRows()) {
        int pages = 0;
        for (int p = 0; p < dlg->PageCount(); ++p) pages += dlg->Page(p)->ControlById(entry.ctrlId) ? 1 : 0;
        EXPECT_EQ(pages, 1) << entry.ctrlId;
        QWidget* control = dlg->FindControl(entry.ctrlId);
        ASSERT_NE(control, nullptr) << entry.ctrlId;
        if (entry.kind == ControlKind::SpinEdit) {
            auto* spin = qobject_cast<SpinEditBox*>(control);
            ASSERT_NE(spin, nullptr) << entry.ctrlId;
            // One widget answers to the edit id and to the up-down id.
            EXPECT_EQ(dlg->FindControl(spin->UpDownId()), control);
            EXPECT_EQ(spin->minimum(), entry.minimum) << entry.ctrlId;
            EXPECT_EQ(spin->maximum(), entry.maximum) << entry.ctrlId;
        } else if (entry.kind == ControlKind::ComboBox) {
            EXPECT_NE(qobject_cast<QComboBox*>(control), nullptr) << entry.ctrlId;
        } else {
            EXPECT_NE(qobject_cast<QPushButton*>(control), nullptr) << entry.ctrlId;
        }
        ++found;
    }
    EXPECT_EQ(found, 57);

    EXPECT_EQ(Control<SpinEditBox>(kBlackLevelSpin)->minimum(), -133);
    EXPECT_EQ(Control<SpinEditBox>(kBlackLevelSpin)->maximum(), 255);
    EXPECT_EQ(Control<SpinEditBox>(kGainLevelSpin)->minimum(), 100);
    EXPECT_EQ(Control<SpinEditBox>(kGainLevelSpin)->maximum(), 1600);
    // The factory page has no tab in user mode, but its controls are found.
    EXPECT_EQ(dlg->TabControl()->count(), 2);
    EXPECT_NE(Control<SpinEditBox>(kFactoryGain4KA), nullptr);
    EXPECT_EQ(Control<QComboBox>(kCameraBaudRate)->count(), 5);
    EXPECT_EQ(Control<QComboBox>(kLineSource1)->itemText(2), QStringLiteral("Exposure Active (XEEN)"));
    EXPECT_EQ(Control<QPushButton>(kXmlWrite)->text(), QStringLiteral("Wirte"));
}

TEST_F(PagesTest, ControlsCreatedHiddenNeverShow) {
    dlg->show();
    Command::Instance().SetDataValue(kLutSelector, 2);
    dlg->ShowAllValues();
    dlg->ApplyEnableRules();
    dlg->ShowModelControls();
    for (int i = 0; i < dlg->TabControl()->count(); ++i) dlg->TabControl()->setCurrentIndex(i);
    dlg->ToggleControlMode();
    for (int i = 0; i < dlg->TabControl()->count(); ++i) dlg->TabControl()->setCurrentIndex(i);
    for (const int id : kNeverShown) {
        QWidget* control = dlg->FindControl(id);
        ASSERT_NE(control, nullptr) << id;
        // Whether it would show with its page, whichever tab is selected now.
        QWidget* page = control;
        while (page && !qobject_cast<CTabSheetDialog*>(page)) page = page->parentWidget();
        ASSERT_NE(page, nullptr) << id;
        EXPECT_FALSE(control->isVisibleTo(page)) << id;
        EXPECT_FALSE(control->isEnabled()) << id;
    }
}

TEST_F(PagesTest, CombosShowValuesByItemDataOrByPosition) {
    EXPECT_EQ(dlg->ShowValue(kLineSource1, 5), 1);
    EXPECT_EQ(ComboText(kLineSource1), QStringLiteral("Lval"));
    dlg->ShowValue(kLineSource1, 4);
    EXPECT_EQ(ComboText(kLineSource1), QStringLiteral("Exposure Active (XEEN)"));
    EXPECT_EQ(dlg->GetControlValue(kLineSource1), 4);

    dlg->ShowValue(kBinningH, 2);
    EXPECT_EQ(ComboText(kBinningH), QStringLiteral("Binning On"));
    dlg->ShowValue(kBinningH, 0);  // no item carries 0: the first item by position
    EXPECT_EQ(ComboText(kBinningH), QStringLiteral("Binning Off"));
    EXPECT_EQ(dlg->GetControlValue(kBinningH), 1);

    dlg->ShowValue(kCameraBaudRate, 16);
    EXPECT_EQ(ComboText(kCameraBaudRate), QStringLiteral("115200bps"));
    EXPECT_EQ(dlg->GetControlValue(kCameraBaudRate), 16);

    // Without item data the value is the position; the first item stands for 0.
    dlg->ShowValue(kTestPattern, 3);
    EXPECT_EQ(ComboText(kTestPattern), QStringLiteral("White"));
    EXPECT_EQ(dlg->GetControlValue(kTestPattern), 3);
    dlg->ShowValue(kTestPattern, 0);
    EXPECT_EQ(dlg->GetControlValue(kTestPattern), 0);
    // A value beyond the list clears the selection, and the control then has no value.
    EXPECT_EQ(dlg->ShowValue(kTestPattern, 9), 1);
    EXPECT_EQ(Control<QComboBox>(kTestPattern)->currentIndex(), -1);
    EXPECT_EQ(dlg->GetControlValue(kTestPattern), -1);
    EXPECT_TRUE(camera->ReceivedLines().empty());  // showing never writes
}

TEST_F(PagesTest, EditsAndSpinsShowAndGiveValues) {
    auto* gain = Control<SpinEditBox>(kGainLevel);
    EXPECT_EQ(dlg->ShowValue(kGainLevel, 640), 1);
    EXPECT_EQ(gain->EditText(), QStringLiteral("640"));
    EXPECT_EQ(dlg->GetControlValue(kGainLevel), 640);
    EXPECT_EQ(dlg->GetControlValue(kGainLevelSpin), 640);

    // The up-down id moves the position (inside its range) and shows the value as given.
    EXPECT_EQ(dlg->ShowValue(kGainLevelSpin, 1200), 1);
    EXPECT_EQ(gain->value(), 1200);
    dlg->ShowValue(kGainLevelSpin, 5000);
    EXPECT_EQ(gain->value(), 1600);
    EXPECT_EQ(gain->EditText(), QStringLiteral("5000"));
    // The position re-reads the edit: text outside the range leaves it where it was.
    EXPECT_EQ(dlg->GetControlValue(kGainLevelSpin), 1600);
    EXPECT_EQ(dlg->GetControlValue(kGainLevel), 5000);

    // An out-of-range value stays visible when its page is shown again.
    dlg->show();
    dlg->ShowValue(kBlackLevel, -300);
    dlg->TabControl()->setCurrentIndex(1);
    dlg->TabControl()->setCurrentIndex(0);
    EXPECT_EQ(Control<SpinEditBox>(kBlackLevel)->EditText(), QStringLiteral("-300"));

    // A plain edit reads its text as a decimal number: sign and leading digits only.
    auto* temperature = Control<QLineEdit>(kTemperature);
    dlg->ShowValue(kTemperature, -12);
    EXPECT_EQ(temperature->text(), QStringLiteral("-12"));
    EXPECT_EQ(dlg->GetControlValue(kTemperature), -12);
    temperature->setText(QStringLiteral("  +42abc"));
    EXPECT_EQ(dlg->GetControlValue(kTemperature), 42);
    temperature->setText(QStringLiteral("abc"));
    EXPECT_EQ(dlg->GetControlValue(kTemperature), 0);
    // The camera's "&H" form is for answers, not for what the operator types.
    temperature->setText(QStringLiteral("&H10"));
    EXPECT_EQ(dlg->GetControlValue(kTemperature), 0);
    temperature->setText(QStringLiteral("99999999999"));
    EXPECT_EQ(dlg->GetControlValue(kTemperature), 2147483647);

    // Labels, buttons and unknown ids show nothing and give no value.
    EXPECT_EQ(dlg->ShowValue(kLinePeriodLabel, 5), 0);
    EXPECT_EQ(dlg->ShowValue(kOnePush, 5), 0);
    EXPECT_EQ(dlg->GetControlValue(kOnePush), -1);
    EXPECT_EQ(dlg->ShowValue(4242, 5), 0);
    EXPECT_EQ(dlg->GetControlValue(4242), -1);
    EXPECT_EQ(dlg->FindControl(4242), nullptr);
}

TEST_F(PagesTest, ChangedValuesAreShownAndSentInTableOrder) {
    Command& command = Command::Instance();
    auto* black = Control<SpinEditBox>(kBlackLevel);
    black->SetEditText(QStringLiteral("17"));  // an unchanged row keeps what its control shows
    command.SetDataValue(kMedianFilter, 1);
    command.SetDataValue(kGainLevel, 300);

    dlg->ShowChangedValues();
    EXPECT_EQ(Control<SpinEditBox>(kGainLevel)->EditText(), QStringLiteral("300"));
    EXPECT_EQ(ComboText(kMedianFilter), QStringLiteral("On"));
    EXPECT_EQ(black->EditText(), QStringLiteral("17"));

    EXPECT_EQ(SendChangedValues(Command::Instance()), 1);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"GA=300", "MF=1"}));
}

TEST_F(PagesTest, ReadAndShowQueriesOneRow) {
    camera->WithCore([](sim::CameraCore& c) { return c.SetValue("GA", 1234); });
    EXPECT_EQ(dlg->ReadAndShow(kGainLevel), 1);
    EXPECT_EQ(Control<SpinEditBox>(kGainLevel)->EditText(), QStringLiteral("1234"));
    EXPECT_EQ(Command::Instance().GetDataValue(kGainLevel), 1234);

    // An id outside the table queries nothing; the lookup reports it.
    EXPECT_EQ(dlg->ReadAndShow(4242), 1);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"GA?"}));
    EXPECT_EQ(prompt.texts(), (Strings{"Unexpected error occurred in ToCmdId()."}));
}

TEST_F(PagesTest, FactoryAndFileParameters) {
    EXPECT_EQ(IsFactoryParam(kFactoryGain4KA), 1);
    EXPECT_EQ(IsFactoryParam(kGainLevel), 0);
    EXPECT_TRUE(prompt.entries().empty());
    EXPECT_EQ(IsFactoryParam(1000), 0);
    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].text,
              "ERROR: IsFactoryParam(): Control id \"1000: 0x3e8\" is not registered in database table");
    EXPECT_EQ(prompt.entries()[0].icon, PromptIcon::Exclamation);

    EXPECT_EQ(IsFileParam(kGainLevel), 1);
    EXPECT_EQ(IsFileParam(kTestPattern), 0);
    EXPECT_EQ(IsFileParam(kBootAreaSet), 0);
    EXPECT_EQ(IsFileParam(1000), 0);
    EXPECT_EQ(prompt.entries().size(), 1u);
}

TEST_F(PagesTest, LineRateLabels) {
    Command& command = Command::Instance();
    command.SetDataValue(kLineRate, 1000);
    dlg->UpdateLineRateLabels();
    EXPECT_EQ(Control<QLabel>(kLinePeriodLabel)->text(), QStringLiteral("10.00us"));
    EXPECT_EQ(Control<QLabel>(kLineFrequencyLabel)->text(), QStringLiteral("100000.0000hz"));

    command.SetDataValue(kLineRate, 2500);
    dlg->UpdateLineRateLabels();
    EXPECT_EQ(Control<QLabel>(kLinePeriodLabel)->text(), QStringLiteral("25.00us"));
    EXPECT_EQ(Control<QLabel>(kLineFrequencyLabel)->text(), QStringLiteral("40000.0000hz"));

    // A period of 0 has no rate.
    command.SetDataValue(kLineRate, 0);
    dlg->UpdateLineRateLabels();
    EXPECT_EQ(Control<QLabel>(kLinePeriodLabel)->text(), QStringLiteral("0.00us"));
    EXPECT_EQ(Control<QLabel>(kLineFrequencyLabel)->text(), QStringLiteral("-"));

    command.SetDataValue(kLineRate, 2147483647);
    dlg->UpdateLineRateLabels();
    EXPECT_EQ(Control<QLabel>(kLinePeriodLabel)->text(), QStringLiteral("21474836.47us"));
    EXPECT_EQ(Control<QLabel>(kLineFrequencyLabel)->text(), QStringLiteral("0.0466hz"));
}

// Values arrive as the whole-camera read leaves them: in the table, shown, then the rules.
class EnableRulesTest : public PagesTest {
  protected:
    void Apply(std::initializer_list<std::pair<int, int>> values) {
        for (const auto& [id, value] : values) Command::Instance().SetDataValue(id, value);
        dlg->ShowAllValues();
        dlg->ApplyEnableRules();
    }
    bool Enabled(int id) { return dlg->FindControl(id)->isEnabled(); }
    bool Shown(int id) { return !dlg->FindControl(id)->isHidden(); }
    bool OnePushGroupEnabled() {
        const bool button = Enabled(kOnePush);
        EXPECT_EQ(Enabled(kAutoLineRateRef), button);
        return button;
    }
};

TEST_F(EnableRulesTest, TriggerAndExposure) {
    Apply({{kTriggerOrigin, 0}, {kExposureMode, 0}});
    EXPECT_FALSE(Enabled(kAutoResetMode));
    EXPECT_TRUE(OnePushGroupEnabled());
    EXPECT_FALSE(Enabled(kExposureTime));

    Apply({{kTriggerOrigin, 0}, {kExposureMode, 1}});  // Internal, Timed
    EXPECT_FALSE(OnePushGroupEnabled());
    EXPECT_TRUE(Enabled(kExposureTime));

    Apply({{kTriggerOrigin, 1}, {kExposureMode, 0}});  // External, OFF
    EXPECT_TRUE(Enabled(kAutoResetMode));
    EXPECT_FALSE(OnePushGroupEnabled());
    EXPECT_FALSE(Enabled(kExposureTime));

    Apply({{kTriggerOrigin, 1}, {kExposureMode, 2}});  // TriggerWidth
    EXPECT_FALSE(Enabled(kExposureTime));
    EXPECT_TRUE(Enabled(kExposureMode));
    EXPECT_TRUE(Enabled(kGainLevel));
}

TEST_F(EnableRulesTest, LutSelector) {
    Apply({{kLutSelector, 1}});  // LUT
    EXPECT_TRUE(Enabled(kOpenLutTable));
    EXPECT_FALSE(Shown(kGamma));
    EXPECT_FALSE(Shown(kGammaLabel));

    Apply({{kLutSelector, 2}});  // Gamma
    EXPECT_FALSE(Enabled(kOpenLutTable));
    EXPECT_TRUE(Shown(kGamma));
    EXPECT_TRUE(Shown(kGammaLabel));

    Apply({{kLutSelector, 0}});  // Off
    EXPECT_FALSE(Enabled(kOpenLutTable));
    EXPECT_FALSE(Shown(kGamma));
    EXPECT_FALSE(Shown(kGammaLabel));
}

TEST_F(EnableRulesTest, CorrectionModes) {
    Apply({{kShadingMode, 2}, {kPixelGainMode, 2}, {kPixelBlackMode, 2}});  // User Area each
    EXPECT_TRUE(Enabled(kRecalibrateShading));
    EXPECT_TRUE(Enabled(kRecalibratePixelGain));
    EXPECT_TRUE(Enabled(kRecalibratePixelBlack));

    Apply({{kShadingMode, 1}, {kPixelGainMode, 1}, {kPixelBlackMode, 2}});
    EXPECT_FALSE(Enabled(kRecalibrateShading));
    EXPECT_FALSE(Enabled(kRecalibratePixelGain));
    EXPECT_TRUE(Enabled(kRecalibratePixelBlack));

    Apply({{kShadingMode, 0}, {kPixelBlackMode, 1}});
    EXPECT_FALSE(Enabled(kRecalibrateShading));
    EXPECT_FALSE(Enabled(kRecalibratePixelBlack));
}

TEST_F(EnableRulesTest, RulesSurviveTheWindowBeingDisabledAndEnabled) {
    Apply({{kTriggerOrigin, 1}, {kExposureMode, 0}});
    dlg->EnableWindow(false);
    dlg->EnableWindow(true);
    EXPECT_FALSE(OnePushGroupEnabled());
    EXPECT_TRUE(Enabled(kAutoResetMode));
}

TEST_F(PagesTest, HiddenSequenceTogglesTheFactoryPage) {
    auto* gain = Control<SpinEditBox>(kGainLevel);
    Focus(gain);
    EXPECT_EQ(Tabs(), (QStringList{QStringLiteral("User A"), QStringLiteral("User B")}));

    TypeKeys(gain, "FCT");  // the letters alone do nothing
    Sequence(gain);
    TypeKeys(gain, "FXCT");  // a wrong letter restarts the detection
    EXPECT_EQ(dlg->TabControl()->count(), 2);
    EXPECT_TRUE(camera->ReceivedLines().empty());

    dlg->TabControl()->setCurrentIndex(1);
    Focus(gain = Control<SpinEditBox>(kLutIndex));
    Sequence(gain);
    TypeKeys(gain, "FC");
    Sequence(gain);  // arming again starts over
    TypeKeys(gain, "FCT");
    EXPECT_EQ(Tabs(),
              (QStringList{QStringLiteral("User A"), QStringLiteral("User B"), QStringLiteral("Factory A")}));
    EXPECT_EQ(dlg->TabControl()->currentIndex(), 0);
    EXPECT_EQ(ControlMode::Instance().Get(), 1);
    // The area, then the whole camera with the factory rows.
    EXPECT_EQ(camera->ReceivedLines(), Concat({"EA?", "MD?"}, FactoryModeQueries()));
    // The letters were used up by the sequence, not typed into the field.
    EXPECT_EQ(gain->EditText(), QStringLiteral("0"));

    Focus(Control<QComboBox>(kTriggerOrigin));
    Sequence(Control<QComboBox>(kTriggerOrigin));
    TypeKeys(Control<QComboBox>(kTriggerOrigin), "FCT");
    EXPECT_EQ(Tabs(), (QStringList{QStringLiteral("User A"), QStringLiteral("User B")}));
    EXPECT_EQ(ControlMode::Instance().Get(), 0);
    EXPECT_EQ(panel.modeUpdates, 3);
}

TEST_F(PagesTest, EnterAndEscapeOnControlsCloseNothing) {
    auto* gain = Control<SpinEditBox>(kGainLevel);
    std::vector<int> commits;
    gain->SetCommitHandler([&commits](int id) { commits.push_back(id); });
    Focus(gain);
    QTest::keyClick(gain, Qt::Key_Return);
    QTest::keyClick(gain, Qt::Key_Enter);
    QTest::keyClick(gain, Qt::Key_Escape);
    // Enter commits the edit (once per key), Escape does nothing.
    EXPECT_EQ(commits, (std::vector<int>{kGainLevel, kGainLevel}));

    Focus(Control<QComboBox>(kTriggerOrigin));
    QTest::keyClick(Control<QComboBox>(kTriggerOrigin), Qt::Key_Escape);
    QTest::keyClick(Control<QComboBox>(kTriggerOrigin), Qt::Key_Return);
    Focus(Control<QPushButton>(kExposureLimitsRead));
    QTest::keyClick(Control<QPushButton>(kExposureLimitsRead), Qt::Key_Escape);
    QTest::keyClick(Control<QPushButton>(kExposureLimitsRead), Qt::Key_Return);

    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dlg->Page(0)->isVisible());
    EXPECT_TRUE(prompt.entries().empty());

    // Escape elsewhere (the tab bar) is a close request.
    Focus(dlg->TabControl()->tabBar());
    QTest::keyClick(dlg->TabControl()->tabBar(), Qt::Key_Return);
    EXPECT_TRUE(prompt.entries().empty());
    QTest::keyClick(dlg->TabControl()->tabBar(), Qt::Key_Escape);
    EXPECT_EQ(prompt.texts(), (Strings{"Are you sure to terminate the Camera Control Tool ?"}));
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(PagesTest, EnterAndEscapeAnswerRealMessageBoxesOverTheWindow) {
    QtPrompt boxes;
    Prompt::Install(&boxes);
    Focus(Control<SpinEditBox>(kGainLevel));
    {
        MessageBoxKey escape(Qt::Key_Escape);
        dlg->reject();
        EXPECT_TRUE(escape.pressed());
        EXPECT_TRUE(escape.closedByKey()) << "Escape answers No";
        EXPECT_TRUE(dlg->isVisible());
    }
    {
        // As a "Communication Error" after the operator's change.
        MessageBoxKey enter(Qt::Key_Return);
        ShowMessage("ERROR", PromptIcon::Exclamation, "Communication Error");
        EXPECT_TRUE(enter.closedByKey());
        MessageBoxKey escape(Qt::Key_Escape);
        ShowMessage("ERROR", PromptIcon::Exclamation, "Communication Error");
        EXPECT_TRUE(escape.closedByKey());
    }
    {
        MessageBoxKey enter(Qt::Key_Return);
        dlg->reject();
        EXPECT_TRUE(enter.closedByKey()) << "Enter answers Yes";
        EXPECT_FALSE(dlg->isVisible());
    }
    Prompt::Install(&prompt);
}

TEST_F(PagesTest, EscapeInAnOpenListAcceptsTheHighlightedItem) {
    auto* combo = Control<ParamComboBox>(kTestPattern);
    Focus(combo);
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    ASSERT_TRUE(view->isVisible());
    view->setCurrentIndex(view->model()->index(2, 0));
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(combo->currentText(), QStringLiteral("Grey Pattern"));
}

TEST_F(PagesTest, ClosingAsksForConfirmation) {
    dlg->show();
    dlg->reject();  // the close box, Escape and File > Exit all end here
    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].text, "Are you sure to terminate the Camera Control Tool ?");
    EXPECT_EQ(prompt.entries()[0].caption, "Confirm");
    EXPECT_EQ(prompt.entries()[0].icon, PromptIcon::Question);
    EXPECT_EQ(prompt.entries()[0].buttons, PromptButtons::YesNo);
    EXPECT_TRUE(dlg->isVisible());

    dlg->close();
    dlg->OnMenuCommand(kMenuExit);
    EXPECT_EQ(prompt.entries().size(), 3u);
    EXPECT_TRUE(dlg->isVisible());

    // Disabled during a long operation: a close request is not taken.
    dlg->EnableWindow(false);
    dlg->close();
    EXPECT_EQ(prompt.entries().size(), 3u);
    EXPECT_TRUE(dlg->isVisible());
    dlg->EnableWindow(true);

    prompt.ScriptAnswers({PromptAnswer::Yes});
    dlg->OnMenuCommand(kMenuExit);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_FALSE(dlg->HasWindow());
}

TEST_F(PagesTest, CloseWithoutConfirmationAfterReset) {
    dlg->show();
    dlg->SetCloseWithoutConfirmation(1);
    dlg->close();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(PagesTest, ClosingWithAnEditInProgressWritesNothingOnTheWayOut) {
    auto* gain = Control<SpinEditBox>(kGainLevel);
    Focus(gain);
    gain->selectAll();
    QTest::keyClicks(gain, QStringLiteral("321"));
    LogLines sent;
    CommandLog::Instance().Join(&sent);
    dlg.reset();
    CommandLog::Instance().Leave(&sent);
    EXPECT_TRUE(sent.lines.empty()) << sent.lines.front();
    EXPECT_TRUE(camera->ReceivedLines().empty());
}

TEST_F(PagesTest, RegisteredDialogsAreDisabledDuringTheRead) {
    RecordingDialog other;
    DialogRegistry::Instance().Register(&other);
    dlg->ReadCameraSettings();
    DialogRegistry::Instance().Unregister(&other);
    EXPECT_EQ(other.calls, (std::vector<bool>{false, true}));
    EXPECT_TRUE(dlg->isEnabled());
}

}  // namespace
}  // namespace vela::test
