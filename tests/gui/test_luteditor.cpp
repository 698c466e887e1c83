// The LUT editor windows: layout, pointer editing and painting, the transfers against the
// simulated camera, and the LUT menu with its gamma files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include "camera/settingfile.h"
#include "dialogs/dialogregistry.h"
#include "dialogs/lutdlg.h"
#include "dialogs/luteditors.h"
#include "dialogs/progressbardialog.h"
#include "mainwindow/paramcombobox.h"
#include "protocol/controlids.h"
#include "support/mainwindowfixture.h"
#include "support/scriptedfiledialog.h"
#include "support/tempconfig.h"
#include "support/windowsduringlines.h"

namespace vela::test {
namespace {

constexpr int kLeft = CLUTDlg::kPanelLeft;
constexpr int kTop = CLUTDlg::kPanelTop;

std::vector<EditPoint> PointsOf(const CLUTDlg& editor) {
    const EditPoints& p = editor.Points();
    return std::vector<EditPoint>(p.Data(), p.Data() + p.Count());
}

QString ModeText(const CLUTDlg& editor) {
    return qobject_cast<QLabel*>(editor.FindControl(CLUTDlg::kModeLabel))->text();
}

void Click(const CLUTDlg& editor, int ctrlId) {
    qobject_cast<QPushButton*>(editor.FindControl(ctrlId))->click();
}

// A pointer motion at client pixel (x, y) with buttons and keys held.
void Move(CLUTDlg& editor, int x, int y, Qt::MouseButtons buttons,
          Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QMouseEvent event(QEvent::MouseMove, QPointF(x, y), editor.mapToGlobal(QPointF(x, y)), Qt::NoButton,
                      buttons, keys);
    QCoreApplication::sendEvent(&editor, &event);
}

void Key(QWidget& target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &press);
}

// The panel as it shows on a screen with `ratio` device pixels per logical pixel.
QImage PanelImage(CLUTDlg& editor, qreal ratio = 1.0) {
    QWidget* panel = editor.FindControl(CLUTDlg::kGraphPanel);
    QImage image(panel->size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    panel->render(&image);
    return image;
}

// The colour at graph pixel (gx, gy) (the drawing area starts inside the 2-pixel edge).
QColor GraphPixel(CLUTDlg& editor, int gx, int gy) {
    return PanelImage(editor).pixelColor(gx + CLUTDlg::kPanelEdge, gy + CLUTDlg::kPanelEdge);
}

// Whether the curve's colour shows at graph pixel (gx, gy) or right beside it (the curve
// is drawn smoothed, so its centre may fall between two pixels).
bool CurveAt(CLUTDlg& editor, int gx, int gy, const QColor& pure) {
    const QImage image = PanelImage(editor);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QColor c = image.pixelColor(gx + dx + CLUTDlg::kPanelEdge, gy + dy + CLUTDlg::kPanelEdge);
            if (std::abs(c.red() - pure.red()) < 40 && std::abs(c.green() - pure.green()) < 40 &&
                std::abs(c.blue() - pure.blue()) < 40) {
                return true;
            }
        }
    }
    return false;
}

class LutEditorWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        editor.Create();
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    }
    RecordingPrompt prompt;
    CLUTDlg editor{1};
};

TEST(LutEditorLifecycleTest, WindowLayoutTitleSpinAndRegistries) {
    const std::size_t dialogs = DialogRegistry::Instance().Count();
    const std::size_t updaters = OnlineStatusRegistry::Instance().Count();
    {
        CLUTDlg editor(2);
        // The object alone joins nothing.
        EXPECT_EQ(DialogRegistry::Instance().Count(), dialogs);
        editor.Create();
        editor.Create();
        EXPECT_EQ(DialogRegistry::Instance().Count(), dialogs + 1);
        EXPECT_EQ(OnlineStatusRegistry::Instance().Count(), updaters + 1);
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("LUT Setting for Blue"));
        EXPECT_EQ(ModeText(editor), QStringLiteral("Edit Mode"));
        EXPECT_EQ(PointsOf(editor), (std::vector<EditPoint>{{0, 256}, {256, 0}}));
        auto* spin = qobject_cast<QSpinBox*>(editor.FindControl(CLUTDlg::kCountSpin));
        ASSERT_NE(spin, nullptr);
        EXPECT_EQ(editor.FindControl(CLUTDlg::kCountEdit), spin);
        EXPECT_EQ(spin->minimum(), 2);
        EXPECT_EQ(spin->maximum(), 16);
        EXPECT_EQ(spin->value(), 8);
        QWidget* panel = editor.FindControl(CLUTDlg::kGraphPanel);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->geometry(), QRect(160, 20, 260, 260));
        EXPECT_EQ(panel->contentsRect(), QRect(2, 2, 256, 256));
        EXPECT_TRUE(editor.isWindow());
        EXPECT_EQ(editor.parentWidget(), nullptr);
        // Nothing of the window overlaps the graph, so every pointer position on it is the editor's.
        for (QWidget* child : editor.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child == panel) continue;
            EXPECT_FALSE(child->geometry().intersects(panel->geometry())) << child->metaObject()->className();
        }
        EXPECT_GE(editor.width(), 420);
        editor.DestroyWindow();
        EXPECT_EQ(DialogRegistry::Instance().Count(), dialogs);
        editor.Create();
    }
    EXPECT_EQ(DialogRegistry::Instance().Count(), dialogs);
    EXPECT_EQ(OnlineStatusRegistry::Instance().Count(), updaters);
    EXPECT_EQ(CLUTDlg::TitleFor(0), QStringLiteral("LUT Setting for Red"));
    EXPECT_EQ(CLUTDlg::TitleFor(1), QStringLiteral("LUT Setting for Green"));
}

TEST_F(LutEditorWindowTest, EnterDoesNothingEscapeAndCloseHide) {
    // Enter on the window, on a focused button and in the spin box: no click, no close.
    auto* read = qobject_cast<QPushButton*>(editor.FindControl(CLUTDlg::kReadButton));
    int reads = 0;
    QObject::connect(read, &QPushButton::clicked, &editor, [&reads] { ++reads; });
    read->setFocus();
    Key(*read, Qt::Key_Return);
    Key(*editor.FindControl(CLUTDlg::kCountSpin), Qt::Key_Enter);
    Key(editor, Qt::Key_Enter);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(reads, 0);

    Key(editor, Qt::Key_Escape);
    EXPECT_FALSE(editor.isVisible());
    editor.show();
    editor.close();
    EXPECT_FALSE(editor.isVisible());
    // Hidden, not destroyed: still registered, and it shows again as it was.
    EXPECT_TRUE(editor.HasWindow());
    editor.show();
    EXPECT_EQ(ModeText(editor), QStringLiteral("Edit Mode"));
}

TEST_F(LutEditorWindowTest, PointerEditsThroughTheWindowSystemAndTheCurveFollows) {
    QWindow* window = editor.windowHandle();
    ASSERT_NE(window, nullptr);
    editor.DrawCurve();
    // The diagonal: green through the middle of the graph, the grid where it lies.
    EXPECT_TRUE(CurveAt(editor, 128, 128, QColor(0, 255, 0)));
    EXPECT_FALSE(CurveAt(editor, 128, 60, QColor(0, 255, 0)));
    EXPECT_EQ(GraphPixel(editor, 25, 10), QColor(100, 50, 100));
    EXPECT_EQ(GraphPixel(editor, 10, 255), QColor(100, 50, 100));

    // A press on the graph adds nothing; moving with the button held adds a point, which
    // then follows the pointer.
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, QPoint(kLeft + 64, kTop + 40));
    EXPECT_EQ(editor.Points().Count(), 2);
    QTest::mouseMove(window, QPoint(kLeft + 66, kTop + 38));
    QTest::mouseMove(window, QPoint(kLeft + 70, kTop + 30));
    // Beyond the graph (on the panel's far edge): ignored.
    QTest::mouseMove(window, QPoint(kLeft + 258, kTop + 30));
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, QPoint(kLeft + 258, kTop + 30));
    EXPECT_EQ(PointsOf(editor), (std::vector<EditPoint>{{0, 256}, {70, 30}, {256, 0}}));
    // Motion without a button: nothing.
    QTest::mouseMove(window, QPoint(kLeft + 200, kTop + 200));
    EXPECT_EQ(editor.Points().Count(), 3);

    // The window repaints by itself, and the paint computes the table under the new point.
    EXPECT_TRUE(QTest::qWaitFor([this] { return editor.Table()[70] > 3000; }));
    EXPECT_TRUE(CurveAt(editor, 70, 30, QColor(0, 255, 0)));
    EXPECT_NE(GraphPixel(editor, 70 - 4, 30), QColor(Qt::white));  // the point's circle

    // Right button on the first point: never removed; on the inner point: removed.
    QTest::mousePress(window, Qt::RightButton, Qt::NoModifier, QPoint(kLeft + 2, kTop + 254));
    QTest::mouseMove(window, QPoint(kLeft + 1, kTop + 255));
    QTest::mouseRelease(window, Qt::RightButton, Qt::NoModifier, QPoint(kLeft + 1, kTop + 255));
    EXPECT_EQ(editor.Points().Count(), 3);
    QTest::mousePress(window, Qt::RightButton, Qt::NoModifier, QPoint(kLeft + 74, kTop + 30));
    QTest::mouseMove(window, QPoint(kLeft + 72, kTop + 28));
    QTest::mouseRelease(window, Qt::RightButton, Qt::NoModifier, QPoint(kLeft + 72, kTop + 28));
    EXPECT_EQ(editor.Points().Count(), 2);
}

TEST_F(LutEditorWindowTest, HeldKeysAndOtherButtonsDoNothing) {
    Move(editor, kLeft + 100, kTop + 100, Qt::LeftButton, Qt::ShiftModifier);
    Move(editor, kLeft + 100, kTop + 100, Qt::LeftButton, Qt::ControlModifier);
    Move(editor, kLeft + 100, kTop + 100, Qt::LeftButton | Qt::RightButton);
    Move(editor, kLeft + 100, kTop + 100, Qt::MiddleButton);
    EXPECT_EQ(editor.Points().Count(), 2);
    // Alt is no key the rules know: the left button alone counts.
    Move(editor, kLeft + 100, kTop + 100, Qt::LeftButton, Qt::AltModifier);
    EXPECT_EQ(PointsOf(editor), (std::vector<EditPoint>{{0, 256}, {100, 100}, {256, 0}}));
}

TEST_F(LutEditorWindowTest, ConvertEditableTakesTheTableOfTheLastPaint) {
    Move(editor, kLeft + 128, kTop + 30, Qt::LeftButton);  // a bulge
    Click(editor, CLUTDlg::kClearButton);
    editor.DrawCurve();
    Click(editor, CLUTDlg::kConvertButton);
    EXPECT_EQ(PointsOf(editor),
              (std::vector<EditPoint>{
                  {0, 256}, {36, 220}, {73, 182}, {109, 147}, {146, 110}, {182, 74}, {219, 36}, {256, 0}}));
    EXPECT_EQ(ModeText(editor), QStringLiteral("Edit Mode"));
    editor.DrawCurve();
    EXPECT_NE(GraphPixel(editor, 32, 220), QColor(Qt::white));

    // The spin's count: 16 points leave no room to add one.
    qobject_cast<QSpinBox*>(editor.FindControl(CLUTDlg::kCountSpin))->setValue(16);
    Click(editor, CLUTDlg::kConvertButton);
    EXPECT_EQ(editor.Points().Count(), 16);
    Move(editor, kLeft + 8, kTop + 100, Qt::LeftButton);
    EXPECT_EQ(editor.Points().Count(), 16);

    // In ViewMode the points are neither drawn nor used: the table stays as it is.
    editor.SetMode(CLUTDlg::ViewMode);
    editor.Table().fill(0);
    editor.DrawCurve();
    EXPECT_EQ(editor.Table()[100], 0);
    EXPECT_EQ(ModeText(editor), QStringLiteral("View Mode"));
    EXPECT_EQ(GraphPixel(editor, 32, 220), QColor(Qt::white));
    EXPECT_TRUE(CurveAt(editor, 128, 255, QColor(0, 255, 0)));
}

TEST_F(LutEditorWindowTest, GraphIsDrawnAtTheScreensResolutionAt150Percent) {
    editor.DrawCurve();
    QImage image = PanelImage(editor, 1.5);
    ASSERT_EQ(image.size(), QSize(390, 390));
    const auto device = [](int graph) { return qRound((graph + CLUTDlg::kPanelEdge) * 1.5); };
    // The diagonal's 2-pixel pen spans about three device pixels across a row.
    int covered = 0;
    for (int column = 0; column < image.width(); ++column) {
        const QColor c = image.pixelColor(column, device(128));
        if (c.green() > 200 && c.red() < 60 && c.blue() < 60) ++covered;
    }
    EXPECT_GE(covered, 2);
    EXPECT_LE(covered, 4);

    // With the curve out of the way, every vertical grid line is a solid run of the grid
    // colour, never a blend of it with white as an enlarged 256-pixel picture would show.
    editor.SetMode(CLUTDlg::ViewMode);
    editor.Table().fill(0);
    image = PanelImage(editor, 1.5);
    for (int x = 0; x < 256; x += 25) {
        bool solid = false;
        for (int dx = -1; dx <= 1 && !solid; ++dx) {
            solid = true;
            for (int y = 10; y < 240; ++y) {
                solid = solid && image.pixelColor(device(x) + dx, device(y)) == QColor(100, 50, 100);
            }
        }
        EXPECT_TRUE(solid) << "grid line at x " << x;
    }
}

// The main window's three editors against the simulated camera.
class LutEditorsTest : public MainWindowTest {
  protected:
    LutEditors& Editors() { return dlg->LutEditorWindows(); }
    CLUTDlg& Editor(int i) { return *Editors().Editor(i); }
    CLUTDlg& Mono() { return Editor(1); }
    int CameraLut(int i) {
        return camera->WithCore([i](sim::CameraCore& c) { return c.Lut(i); });
    }
    static int Pattern(int i) { return (i * 97 + 11) % 4096; }
    void FillCameraLut() {
        camera->WithCore([](sim::CameraCore& c) {
            for (int i = 0; i < 256; ++i) c.SetLut(i, Pattern(i));
            return 0;
        });
    }
    // Every window that joined the common enable, the editors' included.
    static int DisabledWindows() {
        int disabled = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            const auto* registered = dynamic_cast<RegisteredDialog*>(w);
            if (registered && registered->HasWindow() && !w->isEnabled()) ++disabled;
        }
        return disabled;
    }
    // Watches the windows while a transfer runs (between its entries).
    void WatchWindowsDuringTransfer() {
        auto* timer = new QTimer(dlg.get());
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer] {
            if (!CProgressBarDialog::Instance().IsUp()) return;
            mostDisabled = std::max(mostDisabled, DisabledWindows());
            mainWindowDisabled = mainWindowDisabled || !dlg->isEnabled();
            timer->stop();
        });
        timer->start();
    }
    int mostDisabled = 0;
    bool mainWindowDisabled = false;
};

TEST_F(LutEditorsTest, StartUpCreatesThreeHiddenCascadedEditorsThePageShowsAndHides) {
    StartCamera();
    StartWindow();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Editor(i).HasWindow());
        EXPECT_FALSE(Editor(i).isVisible());
        EXPECT_TRUE(Editor(i).isWindow());
        EXPECT_EQ(Editor(i).windowTitle(), CLUTDlg::TitleFor(i));
    }
    EXPECT_EQ(Editor(1).pos() - Editor(0).pos(), QPoint(50, 50));
    EXPECT_EQ(Editor(2).pos() - Editor(1).pos(), QPoint(50, 50));
    // A second call creates nothing and moves nothing.
    const QPoint before = Editor(2).pos();
    Editors().CreateLutEditors();
    EXPECT_EQ(Editor(2).pos(), before);

    // "LUT" in the page's combo, then "Open LUT Table": only the monochrome editor, under its own title.
    auto* selector = Control<ParamComboBox>(ctl::kLutSelector);
    ASSERT_NE(selector, nullptr);
    selector->OperatorSelect(1);
    auto* open = Control<QPushButton>(ctl::kOpenLutTable);
    ASSERT_TRUE(open->isEnabled());
    open->click();
    EXPECT_FALSE(Editor(0).isVisible());
    EXPECT_TRUE(Mono().isVisible());
    EXPECT_FALSE(Editor(2).isVisible());
    EXPECT_EQ(Mono().windowTitle(), QStringLiteral("LUT Setting for Monochrome"));
    // Leaving "LUT" hides it.
    selector->OperatorSelect(0);
    EXPECT_FALSE(Mono().isVisible());
    EXPECT_FALSE(open->isEnabled());

    // The main window's end takes the editors out of the registries.
    const std::size_t registered = DialogRegistry::Instance().Count();
    dlg->SetCloseWithoutConfirmation(1);
    dlg->OnCancel();
    EXPECT_FALSE(Mono().HasWindow());
    EXPECT_LE(DialogRegistry::Instance().Count(), registered - 3);
}

TEST_F(LutEditorsTest, UnsupportedModelShowsAllThreeAndSavesThreeEqualColumns) {
    sim::CameraOptions options;
    options.model = "VELA-2K-COLOUR";
    StartCamera(options);
    FillCameraLut();
    StartWindow();
    prompt.clear();
    dlg->ShowLutEditors(1);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Editor(i).isVisible()) << i;
        EXPECT_EQ(Editor(i).windowTitle(), CLUTDlg::TitleFor(i));
    }
    dlg->ShowLutEditors(0);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Editor(i).isVisible()) << i;

    camera->ClearLines();
    const std::string path = ConfigDirForTest() + "/rgb.csv";
    ScriptedFileDialog files;
    files.Choose(path);
    dlg->OnMenuCommand(ctl::kMenuSaveLutFile);
    EXPECT_EQ(camera->ReceivedLines().size(), 3u * 512u);
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.substr(0, 29), "GammaData (R G B)\r\n11,11,11\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 257);
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(LutEditorsTest, ReadEditWriteThroughTheButtons) {
    StartCamera();
    FillCameraLut();
    camera->WithCore([](sim::CameraCore& c) {
        c.SetLut(3, 4500);
        return 0;
    });
    StartWindow();
    dlg->ShowLutEditors(1);
    camera->ClearLines();

    WatchWindowsDuringTransfer();
    Click(Mono(), CLUTDlg::kReadButton);
    EXPECT_EQ(camera->ReceivedLines().size(), 512u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(Mono().Table()[i], i == 3 ? 4095 : Pattern(i)) << i;
    EXPECT_EQ(ModeText(Mono()), QStringLiteral("View Mode"));
    EXPECT_GE(mostDisabled, 5);  // main, Communication, Terminal and the three editors
    EXPECT_EQ(DisabledWindows(), 0);
    EXPECT_FALSE(CProgressBarDialog::Instance().IsUp());

    // Back to the diagonal, painted, and written.
    Click(Mono(), CLUTDlg::kClearButton);
    Mono().DrawCurve();
    const LutTable drawn = Mono().Table();
    EXPECT_EQ(drawn[7], 114);
    mostDisabled = 0;
    WatchWindowsDuringTransfer();
    Click(Mono(), CLUTDlg::kWriteButton);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(CameraLut(i), drawn[i]) << i;
    EXPECT_GE(mostDisabled, 5);
    EXPECT_EQ(DisabledWindows(), 0);
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(LutEditorsTest, CameraThatStopsHalfWayLeavesWhatWasReadAndEnablesEveryWindow) {
    StartCamera();
    FillCameraLut();
    StartWindow();
    Mono().Table().fill(5);
    camera->ClearLines();
    // Two lines per entry: the camera answers 30 entries, then hangs up.
    camera->SetFailure(sim::FailureMode::HangUp, 2 * 30);
    WatchWindowsDuringTransfer();
    dlg->OnMenuCommand(ctl::kMenuLoadAllLut);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(Mono().Table()[i], Pattern(i)) << i;
    for (int i = 30; i < 256; ++i) EXPECT_EQ(Mono().Table()[i], 5) << i;
    EXPECT_EQ(ModeText(Mono()), QStringLiteral("View Mode"));
    EXPECT_TRUE(mainWindowDisabled);
    EXPECT_EQ(DisabledWindows(), 0);
    EXPECT_TRUE(dlg->isEnabled());
    EXPECT_FALSE(CProgressBarDialog::Instance().IsUp());
    // Nothing was read past the failure.
    EXPECT_EQ(Editor(0).Table(), LutTable{});

    // "Save LUT file" against the silent camera: no file dialog, no file.
    ScriptedFileDialog files;
    files.Choose(ConfigDirForTest() + "/never.csv");
    dlg->OnMenuCommand(ctl::kMenuSaveLutFile);
    EXPECT_TRUE(files.requests().empty());
    EXPECT_FALSE(std::filesystem::exists(ConfigDirForTest() + "/never.csv"));
    EXPECT_EQ(DisabledWindows(), 0);
}

TEST_F(LutEditorsTest, EveryLongOperationKeepsEveryRegisteredWindowDisabledThroughout) {
    StartCamera();
    StartWindow();
    const int windows = EnabledRegisteredWindows();
    ASSERT_GE(windows, 4);  // the main window and the three editors
    const std::string file = ConfigDirForTest() + "/one.cam";
    WriteFile(file, "GA=200\r\n");
    const std::pair<const char*, std::function<void()>> operations[] = {
        {"whole read", [this] { dlg->ReadCameraSettings(); }},
        {"setting-file load", [this, file] { dlg->LoadSettingFile(file); }},
        {"setting-file save",
         [this] { dlg->SaveSettingFile(ConfigDirForTest() + "/saved.cam", SettingFileKind::AllData); }},
        {"Store All",
         [this] {
             prompt.ScriptAnswers({PromptAnswer::Yes});
             dlg->DispatchButtonClicked(ctl::kStoreAll);
         }},
        // (512 transactions each: the editors' own buttons are watched in the tests above.)
        {"all LUT tables", [this] { dlg->OnMenuCommand(ctl::kMenuLoadAllLut); }},
        {"recalibration", [this] { dlg->DispatchButtonClicked(ctl::kRecalibrateShading); }},
    };
    for (const auto& [name, run] : operations) {
        const WindowsDuringLines probe;
        run();
        EXPECT_FALSE(probe.lines.empty()) << name;
        EXPECT_EQ(probe.withAWindowEnabled, Strings{}) << name;
        EXPECT_EQ(EnabledRegisteredWindows(), windows) << name;
    }
}

TEST_F(LutEditorsTest, NoLongOperationStartsInsideAnother) {
    StartCamera();
    StartWindow();
    const std::string file = ConfigDirForTest() + "/three.cam";
    WriteFile(file, "GA=200\r\nGA=300\r\nGMA=2\r\n");
    const int windows = EnabledRegisteredWindows();
    camera->ClearLines();
    // The loader lets the windows run before each line: "Read Table Data" and a whole
    // read asked for then must not start.
    int nestedRead = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
        if (camera->ReceivedLines().empty()) return;
        watch.stop();
        nestedRead = Mono().ReadTableFromCamera();
        dlg->ReadCameraSettings();
    });
    watch.start(0);
    EXPECT_EQ(dlg->LoadSettingFile(file), 1);
    EXPECT_EQ(nestedRead, 0);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"GA=200", "GA=300", "GMA=2"}));
    EXPECT_EQ(EnabledRegisteredWindows(), windows);
}

TEST_F(LutEditorsTest, SaveLutFileWrites257LinesThatReadBackUnchanged) {
    StartCamera();
    FillCameraLut();
    StartWindow();
    const std::string path = ConfigDirForTest() + "/camera.csv";
    WriteFile(path, "old");
    ScriptedFileDialog files;
    files.Choose(path);
    prompt.ScriptAnswers({PromptAnswer::Yes});
    dlg->OnMenuCommand(ctl::kMenuSaveLutFile);

    ASSERT_EQ(files.requests().size(), 1u);
    const FileDialogRequest& request = files.requests()[0];
    EXPECT_EQ(request.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(request.folder, std::filesystem::current_path().string());
    EXPECT_EQ(request.initialName, request.folder + "/*.csv");
    EXPECT_EQ(request.filter, "Camera gamm data (*.csv)");
    EXPECT_EQ(request.defaultExtension, "csv");
    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].text, path + "\nThis file already exists.\nReplace existing file?");
    EXPECT_EQ(prompt.entries()[0].icon, PromptIcon::Question);

    const std::string text = ReadFile(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 257);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 257);
    EXPECT_EQ(text.substr(0, 18), "GammaData\r\n11\r\n108");
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    for (int i = 0; i < 3; ++i) Editor(i).Table().fill(9);
    Mono().SetMode(CLUTDlg::EditMode);
    files.Choose(path);
    dlg->OnMenuCommand(ctl::kMenuOpenLutFile);
    ASSERT_EQ(files.requests().size(), 2u);
    EXPECT_EQ(files.requests()[1].mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(files.requests()[1].filter, "Camera gamma data (*.csv)");
    for (int i = 0; i < 256; ++i) EXPECT_EQ(Mono().Table()[i], Pattern(i)) << i;
    EXPECT_EQ(Editor(0).Table(), LutTable{});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ModeText(Editor(i)), QStringLiteral("View Mode")) << i;
    // Shown as read: a later paint keeps the file's table.
    Mono().DrawCurve();
    EXPECT_EQ(Mono().Table()[200], Pattern(200));
    EXPECT_EQ(prompt.entries().size(), 1u);
}

TEST_F(LutEditorsTest, SaveAnsweredNoKeepsTheOldFile) {
    StartCamera();
    StartWindow();
    const std::string path = ConfigDirForTest() + "/keep.csv";
    WriteFile(path, "old");
    ScriptedFileDialog files;
    files.Choose(path);
    prompt.ScriptAnswers({PromptAnswer::No});
    dlg->OnMenuCommand(ctl::kMenuSaveLutFile);
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(prompt.entries().size(), 1u);
}

TEST(LutMenuTest, OpenLutFileDialogOutcomesAndAFileInTheWrongLayout) {
    RecordingPrompt prompt;
    QWidget mainWindow;
    LutEditors editors(&mainWindow);
    editors.CreateLutEditors();
    ScriptedFileDialog files;

    files.Cancel();
    editors.OnOpenLutFile();
    EXPECT_TRUE(prompt.entries().empty());

    files.Fail(7);
    editors.OnOpenLutFile();
    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].text, "Error in Load Dialog! (Return-code = 7)");
    EXPECT_EQ(prompt.entries()[0].caption, "Load Error");
    EXPECT_EQ(prompt.entries()[0].icon, PromptIcon::Exclamation);

    // The three-column layout: the message, the editors stay in EditMode.
    const std::string path = ConfigDirForTest() + "/rgb.csv";
    WriteFile(path, "GammaData (R G B)\r\n1,2,3\r\n");
    files.Choose(path);
    editors.OnOpenLutFile();
    EXPECT_EQ(prompt.texts().back(), "Invaild data count format");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ModeText(*editors.Editor(i)), QStringLiteral("Edit Mode")) << i;
    EXPECT_EQ(files.requests().size(), 3u);
}

}  // namespace
}  // namespace vela::test
