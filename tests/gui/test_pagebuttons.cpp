// The page push buttons against the simulated camera: what each click sends, what the
// pages show afterwards, and the boxes the operator sees.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTimer>

#include "app/registrysettings.h"
#include "mainwindow/spineditbox.h"
#include "platform/qt/qtwaitcursor.h"
#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "protocol/controlids.h"
#include "support/mainwindowfixture.h"
#include "support/tempconfig.h"

namespace vela::test {
namespace {

using namespace ctl;

class PageActions : public MainWindowTest {
  protected:
    void Start(int controlMode, sim::CameraOptions options = {}) {
        StartCamera(options);
        StartWindow(controlMode);
        ASSERT_TRUE(prompt.entries().empty()) << prompt.texts().front();
        camera->ClearLines();
    }
    void Click(int buttonId) {
        auto* button = Control<QPushButton>(buttonId);
        ASSERT_NE(button, nullptr) << buttonId;
        ASSERT_TRUE(button->isEnabled()) << buttonId;
        button->click();
    }
    QString Text(int ctrlId) {
        QWidget* control = dlg->FindControl(ctrlId);
        if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
        if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
        if (auto* spin = qobject_cast<SpinEditBox*>(control)) return spin->EditText();
        return QStringLiteral("<no text control %1>").arg(ctrlId);
    }
    void SetText(int ctrlId, const QString& text) {
        if (auto* edit = Control<QLineEdit>(ctrlId)) edit->setText(text);
        if (auto* spin = Control<SpinEditBox>(ctrlId)) spin->SetEditText(text);
    }
    long long CameraValue(const char* name) {
        return camera->WithCore([name](sim::CameraCore& c) { return c.Value(name).value_or(-1); });
    }
    void ExpectOneBox(const std::string& text, const std::string& caption, PromptIcon icon) {
        ASSERT_EQ(prompt.entries().size(), 1u) << prompt.texts().back();
        EXPECT_EQ(prompt.entries()[0].text, text);
        EXPECT_EQ(prompt.entries()[0].caption, caption);
        EXPECT_EQ(prompt.entries()[0].icon, icon);
        EXPECT_EQ(prompt.entries()[0].buttons, PromptButtons::Ok);
        prompt.clear();
    }
};

TEST_F(PageActions, XmlVersionIsWrittenFromTheThreeFieldsAndReadBackIntoThem) {
    Start(1);
    SetText(kXmlMajor, QStringLiteral("1"));
    SetText(kXmlMinor, QStringLiteral("2"));
    SetText(kXmlRevision, QStringLiteral("3"));
    Click(kXmlWrite);
    EXPECT_EQ(camera->ReceivedLines(), Strings{"XMLVR=123"});
    EXPECT_EQ(CameraValue("XMLVR"), 123);
    ExpectOneBox("Writing the XML Version has been completed.", "VELA-4K/8K Control Tool",
                 PromptIcon::Information);

    for (const int id : {kXmlMajor, kXmlMinor, kXmlRevision}) SetText(id, QString());
    Click(kXmlRead);
    EXPECT_EQ(Text(kXmlMajor), QStringLiteral("1"));
    EXPECT_EQ(Text(kXmlMinor), QStringLiteral("2"));
    EXPECT_EQ(Text(kXmlRevision), QStringLiteral("3"));

    camera->ClearLines();
    SetText(kXmlMajor, QStringLiteral("4"));
    SetText(kXmlMinor, QString());
    SetText(kXmlRevision, QStringLiteral("7"));
    Click(kXmlWrite);
    EXPECT_EQ(camera->ReceivedLines(), Strings{"XMLVR=47"});
    prompt.clear();

    camera->SetFailure(sim::FailureMode::RefuseWrites);
    Click(kXmlWrite);
    ASSERT_EQ(prompt.entries().size(), 2u);
    EXPECT_EQ(prompt.entries()[0].caption, "Communication Error");
    EXPECT_EQ(prompt.entries()[1].text, "Couldn't write the XML Version.");
    EXPECT_EQ(prompt.entries()[1].icon, PromptIcon::Stop);

    // A read that fails leaves the fields as they were, without a box of its own.
    prompt.clear();
    camera->SetFailure(sim::FailureMode::Silent);
    Click(kXmlRead);
    EXPECT_EQ(Text(kXmlMajor), QStringLiteral("4"));
    EXPECT_EQ(Text(kXmlMinor), QString());
    EXPECT_EQ(Text(kXmlRevision), QStringLiteral("7"));
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(PageActions, RecalibrationWaitsWithTheWindowsDisabledAndRepaintingThenShowsTheResult) {
    sim::CameraOptions options;
    options.recalibrationMs = 1500;
    options.recalibrationResult = 2;
    StartCamera(options);
    // "User Area" for shading enables its recalibration button.
    camera->WithCore([](sim::CameraCore& c) { return c.SetValue("SDC", 2); });
    StartWindow(0);
    camera->ClearLines();
    QtWaitCursor waitCursor;
    WaitCursor::Install(&waitCursor);

    // A timer only fires while the message queue is drained.
    bool firedDuringWait = false;
    bool enabledDuringWait = true;
    bool waitCursorShown = false;
    QTimer::singleShot(500, dlg.get(), [&] {
        firedDuringWait = !camera->ReceivedLines().empty() && prompt.entries().empty();
        enabledDuringWait = dlg->isEnabled();
        const QCursor* cursor = QGuiApplication::overrideCursor();
        waitCursorShown = cursor && cursor->shape() == Qt::WaitCursor;
    });
    Click(kRecalibrateShading);
    WaitCursor::Install(nullptr);

    EXPECT_TRUE(firedDuringWait);
    EXPECT_FALSE(enabledDuringWait);
    EXPECT_TRUE(waitCursorShown);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(dlg->isEnabled());
    const Strings lines = camera->ReceivedLines();
    ASSERT_GE(lines.size(), 3u);  // the start, at least one status 0, the result
    EXPECT_EQ(lines[0], "SDR=0");
    EXPECT_EQ(Strings(lines.begin() + 1, lines.end()), Strings(lines.size() - 1, "SDS?"));
    ExpectOneBox("Too Bright", "Recalibrate FFC (User)", PromptIcon::None);
}

TEST_F(PageActions, RecalibrationStatusWithoutAnswerEndsTheWaitWithABox) {
    sim::CameraOptions options;
    options.recalibrationMs = 60000;
    options.commandDelayMs = {{"PGS00", 7000}};
    Start(1, options);

    Click(kFactoryRecalibratePixelGain);

    EXPECT_EQ(camera->ReceivedLines(), (Strings{"PGR00=0", "PGS00?"}));
    EXPECT_TRUE(dlg->isEnabled());
    ExpectOneBox("No answer from the camera while waiting for the result.",
                 "Recalibrate Pixel Gain (Factory)", PromptIcon::Exclamation);
}

TEST_F(PageActions, LutEntryReadShowsTheCamerasDataAndWriteSendsIndexAndData) {
    Start(0);
    camera->WithCore([](sim::CameraCore& c) {
        c.SetLut(10, 1234);
        return 0;
    });
    SetText(kLutIndex, QStringLiteral("10"));
    Click(kLutRead);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"LUTI=10", "LUTD?"}));
    EXPECT_EQ(Text(kLutData), QStringLiteral("1234"));
    EXPECT_EQ(Command::Instance().GetSavedDataValue(kLutData), 1234);

    camera->ClearLines();
    SetText(kLutData, QStringLiteral("777"));
    Click(kLutWrite);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"LUTI=10", "LUTD=777"}));
    EXPECT_EQ(camera->WithCore([](sim::CameraCore& c) { return c.Lut(10); }), 777);
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(PageActions, CameraModelSetWritesTheSelectedNameAndIdentifiesTheCameraAgain) {
    Start(1);
    auto* models = Control<QComboBox>(kCameraModelList);
    models->setCurrentIndex(1);
    EXPECT_TRUE(camera->ReceivedLines().empty());  // selecting alone sends nothing

    Click(kCameraModelSet);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"MD00=VELA-8K-MONO", "MD?"}));
    EXPECT_EQ(CameraModel::Instance().Index(), 1);
    ExpectOneBox("Succeeded in writting camera model id.", "VELA-4K/8K Control Tool",
                 PromptIcon::Information);

    camera->ClearLines();
    models->setCurrentIndex(-1);
    Click(kCameraModelSet);
    EXPECT_TRUE(camera->ReceivedLines().empty());
    ExpectOneBox("Failed writting camera model id.", "VELA-4K/8K Control Tool", PromptIcon::Stop);
}

TEST_F(PageActions, OnePushWritesARThenShowsTheMeasuredLineRate) {
    sim::CameraOptions options;
    options.onePushLineRate = 2000;
    Start(0, options);

    Click(kOnePush);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"AR=0", "LR?"}));
    EXPECT_EQ(Text(kLineRate), QStringLiteral("2000"));
    EXPECT_EQ(Command::Instance().GetDataValue(kLineRate), 2000);
    EXPECT_EQ(Text(kLinePeriodLabel), QStringLiteral("20.00us"));
    EXPECT_EQ(Text(kLineFrequencyLabel), QStringLiteral("50000.0000hz"));
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(PageActions, LimitsAndTemperatureShowWhatTheCameraReadsAndKeepItWhenItIsSilent) {
    Start(0);
    camera->WithCore([](sim::CameraCore& c) { return c.SetValue("TMPS0", 3); });
    Click(kLineRateMinRead);
    Click(kExposureLimitsRead);
    Click(kTemperatureGet);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"ARMIN?", "PEMAX?", "PEMIN?", "TMP0?"}));
    EXPECT_EQ(Text(kLineRateMinLabel), QStringLiteral("1250"));
    EXPECT_EQ(Text(kExposureMaxLabel), QString::number(CameraValue("PEMAX")));
    EXPECT_EQ(Text(kExposureMinLabel), QStringLiteral("20"));
    EXPECT_EQ(Text(kTemperature), QStringLiteral("51"));

    camera->SetFailure(sim::FailureMode::Silent);
    Click(kTemperatureGet);
    Click(kLineRateMinRead);
    EXPECT_EQ(Text(kTemperature), QStringLiteral("51"));
    EXPECT_EQ(Text(kLineRateMinLabel), QStringLiteral("1250"));
    EXPECT_TRUE(prompt.entries().empty());
}

// The tool runs in a process of its own (camerareset_run.cpp) against a camera that does
// not answer the reset: the process must end by itself, unasked, as a normal run ends.
TEST(CameraReset, EndsTheToolUnaskedWithoutAnAnswerAndTheRunCountsAsANormalEnd) {
    const std::string dir = ConfigDirForTest();
    const std::string regPath = dir + "/VELA-4K Control Tool.reg";
    {
        RegistrySettings settings(regPath);
        settings.SetInt(ControlModeSetting, 1);  // the reset button is on the factory page
    }
    sim::CameraOptions options;
    options.baudRate = 19200;
    options.commandDelayMs = {{"CRS00", 5000}};  // restarts without answering in time
    std::unique_ptr<sim::PtyCamera> camera;
    ASSERT_EQ(StartPtyCamera(camera, 1, options), "");

    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELA_CONFIG_DIR"), QString::fromStdString(dir));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    run.setProcessEnvironment(env);
    run.start(QStringLiteral(VELA_CAMERARESET_RUN), QStringList());
    ASSERT_TRUE(run.waitForStarted());
    ASSERT_TRUE(run.waitForFinished(90000));
    const QString boxes = QString::fromLocal8Bit(run.readAllStandardOutput());

    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    EXPECT_FALSE(boxes.contains(QStringLiteral("question|"))) << boxes.toStdString();
    const Strings lines = camera->ReceivedLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "CRS00=1");

    RegistrySettings after(regPath);
    EXPECT_TRUE(after.PreviousShutdownWasNormal());
    // The link saves its settings only when the process ends; they were not there before.
    std::int32_t linkKind = -1;
    EXPECT_EQ(after.GetInt(CommunicationMode, linkKind, -1), 1);
    EXPECT_EQ(linkKind, 0);
    std::int32_t mode = 0;
    EXPECT_EQ(after.GetInt(ControlModeSetting, mode, 0), 1);
    EXPECT_EQ(mode, 1);
}

}  // namespace
}  // namespace vela::test
