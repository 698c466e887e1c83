// The building blocks of the windows: control classification, the spin edit, the
// parameter combo box, the progress window, the label and the online bar.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

#include "dialogs/label.h"
#include "dialogs/progressbardialog.h"
#include "dialogs/statusstrip.h"
#include "mainwindow/gen.h"
#include "mainwindow/paramcombobox.h"
#include "mainwindow/spineditbox.h"
#include "platform/qt/qtprompt.h"
#include "platform/recordingshellopen.h"
#include "protocol/onlinestatusregistry.h"
#include "support/guimessageboxkey.h"
#include "support/stopwatch.h"

namespace vela {
namespace {

TEST(GenTest, ClassifiesWidgetsAsTheHandlersNeedThem) {
    QWidget parent;
    CGen& gen = CGen::Instance();
    SpinEditBox spin(1041, 1045, &parent);
    QLineEdit edit(&parent);
    ParamComboBox combo(1096, &parent);
    QPushButton push(&parent);
    QCheckBox check(&parent);
    QRadioButton radio(&parent);
    QGroupBox group(&parent);
    QLabel label(&parent);

    EXPECT_EQ(gen.ClassifyWindow(&edit), CGen::kEdit);
    // A spin edit is an edit where keys are typed, an up-down by its up-down id.
    EXPECT_EQ(gen.ClassifyWindow(&spin), CGen::kEdit);
    EXPECT_EQ(gen.ClassifyControl(&spin, 1041), CGen::kEdit);
    EXPECT_EQ(gen.ClassifyControl(&spin, 1045), CGen::kUpDown);
    EXPECT_EQ(gen.ClassifyWindow(&combo), CGen::kComboBox);
    EXPECT_EQ(gen.ClassifyWindow(&push), CGen::kButton);
    EXPECT_EQ(gen.ClassifyWindow(&group), CGen::kButton);
    EXPECT_EQ(gen.ClassifyWindow(&label), CGen::kOther);
    EXPECT_EQ(gen.ClassifyWindow(nullptr), CGen::kOther);

    EXPECT_EQ(gen.GetButtonKind(&push), CGen::kPushButton);
    EXPECT_EQ(gen.GetButtonKind(&check), CGen::kCheckBox);
    EXPECT_EQ(gen.GetButtonKind(&radio), CGen::kRadioButton);
    EXPECT_EQ(gen.GetButtonKind(&group), 0);
    EXPECT_EQ(gen.GetControlKind(&group), CGen::kButton);
    EXPECT_EQ(gen.GetControlKind(&check), CGen::kCheckBox);
    EXPECT_EQ(gen.GetControlKind(&spin, 1045), CGen::kUpDown);
    EXPECT_EQ(gen.GetControlKind(&label), 0);
}

TEST(GenTest, RadioGroupsRunFromTheirGroupStart) {
    QWidget parent;
    QRadioButton* buttons[5];
    for (int i = 0; i < 5; ++i) {
        buttons[i] = new QRadioButton(&parent);
        buttons[i]->setProperty("ctrlId", 2000 + i);
    }
    buttons[3]->setProperty("groupStart", true);  // groups: 2000-2002 and 2003-2004
    CGen& gen = CGen::Instance();

    int index = -1;
    int firstId = 0;
    ASSERT_TRUE(gen.GetRadioGroup(buttons[2], index, firstId));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(firstId, 2000);
    ASSERT_TRUE(gen.GetRadioGroup(buttons[4], index, firstId));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(firstId, 2003);
    QPushButton push(&parent);
    EXPECT_FALSE(gen.GetRadioGroup(&push, index, firstId));

    EXPECT_FALSE(gen.GetRadioIndex(buttons[0], index));  // none checked
    EXPECT_TRUE(gen.SetRadioIndex(buttons[0], 1));
    EXPECT_TRUE(gen.GetRadioIndex(buttons[0], index));
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(gen.SetRadioIndex(buttons[0], 0));
    EXPECT_FALSE(buttons[1]->isChecked());
    EXPECT_TRUE(buttons[0]->isChecked());
    // An index past the group's end checks nothing of the next group.
    EXPECT_FALSE(gen.SetRadioIndex(buttons[0], 3));
    EXPECT_FALSE(buttons[3]->isChecked());
}

TEST(SpinEditBoxTest, PositionRereadsTheEdit) {
    SpinEditBox spin(1041, 1045);
    spin.setRange(100, 1600);
    spin.SetPosition(400);
    EXPECT_EQ(spin.EditText(), QStringLiteral("400"));

    spin.SetEditText(QStringLiteral("1200"));
    EXPECT_EQ(spin.value(), 400);  // showing text does not move the position by itself
    EXPECT_EQ(spin.Position(), 1200);
    for (const char* bad : {"99", "1601", "12x", "", "1e3"}) {
        spin.SetEditText(QString::fromLatin1(bad));
        EXPECT_EQ(spin.Position(), 1200) << bad;
    }
    spin.SetEditText(QStringLiteral(" 150 "));
    EXPECT_EQ(spin.Position(), 150);

    spin.SetPosition(99999);
    EXPECT_EQ(spin.value(), 1600);
    EXPECT_EQ(spin.EditText(), QStringLiteral("1600"));
}

TEST(SpinEditBoxTest, EachStepIsReportedBeforeTheControlMoves) {
    SpinEditBox spin(1187, 1188);
    spin.setRange(0, 10);
    spin.SetPosition(9);
    std::vector<std::pair<int, int>> steps;
    spin.SetDeltaHandler([&steps](int id, SpinNotify& nm) {
        EXPECT_EQ(id, 1188);
        steps.emplace_back(nm.pos, nm.delta);
    });
    spin.stepBy(1);
    spin.stepBy(1);  // at the maximum: reported, but the position stays inside the range
    spin.stepBy(-3);
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{9, 1}, {10, 1}, {10, -3}}));
    EXPECT_EQ(spin.value(), 7);

    // A handler that refuses puts the position back and cancels the step.
    spin.SetDeltaHandler([&spin](int, SpinNotify& nm) {
        spin.SetPosition(2);
        nm.pos = 2;
        nm.delta = 0;
    });
    spin.stepBy(1);
    EXPECT_EQ(spin.value(), 2);
    EXPECT_EQ(spin.EditText(), QStringLiteral("2"));

    // Typed text is taken up before the step.
    spin.SetDeltaHandler([&steps](int, SpinNotify& nm) { steps.emplace_back(nm.pos, nm.delta); });
    spin.SetEditText(QStringLiteral("5"));
    spin.stepBy(1);
    EXPECT_EQ(steps.back(), (std::pair<int, int>{5, 1}));
    EXPECT_EQ(spin.value(), 6);
}

TEST(SpinEditBoxTest, CommitIsNotReenteredByItsOwnMessageBox) {
    QDialog window;
    auto* spin = new SpinEditBox(1041, 1045, &window);
    auto* other = new QLineEdit(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(spin);
    layout->addWidget(other);
    window.show();
    QApplication::setActiveWindow(&window);
    spin->setFocus();
    int commits = 0;
    spin->SetCommitHandler([&](int id) {
        EXPECT_EQ(id, 1041);
        ++commits;
        // A box taking the focus in the middle of the commit ends the editing again.
        other->setFocus();
        spin->setFocus();
        other->setFocus();
    });
    other->setFocus();
    EXPECT_EQ(commits, 1);
}

TEST(ParamComboBoxTest, OnlyTheOperatorsChoiceOfAnotherItemIsReported) {
    ParamComboBox combo(1101);
    combo.AddItems({QStringLiteral("Low"), QStringLiteral("High"), QStringLiteral("Lval")});
    std::vector<int> changes;
    combo.SetChangeHandler([&changes](int id) { changes.push_back(id); });

    combo.SelectQuiet(2);
    combo.setCurrentIndex(1);  // any change by the program
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(combo.itemData(0).toInt(), 0);

    combo.OperatorSelect(1);  // the item that is already selected
    EXPECT_TRUE(changes.empty());
    combo.OperatorSelect(2);
    EXPECT_EQ(changes, std::vector<int>{1101});

    combo.SelectQuiet(7);
    EXPECT_EQ(combo.currentIndex(), -1);
}

TEST(ParamComboBoxTest, KeysReportTheNewItem) {
    QDialog window;
    auto* combo = new ParamComboBox(1100, &window);
    combo->AddItems({QStringLiteral("8bit"), QStringLiteral("10bit")});
    new QVBoxLayout(&window);
    window.layout()->addWidget(combo);
    window.show();
    QApplication::setActiveWindow(&window);
    combo->setFocus();
    int changes = 0;
    combo->SetChangeHandler([&changes](int) { ++changes; });
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->currentIndex(), 1);
    QTest::keyClick(combo, Qt::Key_Down);  // already the last item
    EXPECT_EQ(changes, 1);
}

TEST(QtPromptTest, TextIsShownAsItIsNotAsMarkup) {
    QtPrompt boxes;
    Prompt::Install(&boxes);
    vela::test::MessageBoxKey enter(Qt::Key_Return);
    ShowMessage("ERR<b>5</b> in /home/op/<cams>/a.cam", PromptIcon::Exclamation, "Communication Error");
    Prompt::Install(nullptr);
    ASSERT_TRUE(enter.pressed());
    EXPECT_EQ(enter.textFormat(), Qt::PlainText);
    EXPECT_EQ(enter.text(), QStringLiteral("ERR<b>5</b> in /home/op/<cams>/a.cam"));
    EXPECT_TRUE(enter.closedByKey());
}

TEST(ProgressBarDialogTest, CaptionBarShowsNoText) {
    CProgressBarDialog& progress = CProgressBarDialog::Instance();
    progress.Start(nullptr, QStringLiteral("Now, reading camera settings."));
    // Qt puts the program's name on a window whose title is empty: a blank title shows nothing.
    EXPECT_FALSE(progress.windowTitle().isEmpty());
    EXPECT_TRUE(progress.windowTitle().trimmed().isEmpty());
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowTitleHint);
    progress.Finish();
}

TEST(ProgressBarDialogTest, WithoutStartNothingHappens) {
    CProgressBarDialog& progress = CProgressBarDialog::Instance();
    const vela::test::Stopwatch start;
    progress.SetPos(40);
    progress.Finish();
    EXPECT_LT(start.Ms(), static_cast<std::uint32_t>(CProgressBarDialog::kFinishPauseMs)) << "no pause";
    EXPECT_FALSE(progress.IsUp());
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(progress.Pos(), 0);
}

TEST(ProgressBarDialogTest, OwnerIsDisabledWhileUpAndEnabledAfter) {
    QDialog owner;
    auto* child = new QPushButton(&owner);
    owner.setEnabled(false);  // enabled when the window closes, even so
    CProgressBarDialog& progress = CProgressBarDialog::Instance();

    progress.Start(child, QStringLiteral("Now, reading camera settings."));
    EXPECT_TRUE(progress.isVisible());
    EXPECT_EQ(progress.OwnerWindow(), &owner);
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(progress.isEnabled());  // not drawn as disabled with its owner
    EXPECT_EQ(progress.ShownMessage(), QStringLiteral("Now, reading camera settings."));

    progress.SetMessage(QStringLiteral("Reading LUT 10"));
    progress.SetPos(37);
    EXPECT_EQ(progress.Pos(), 37);
    EXPECT_EQ(progress.ShownMessage(), QStringLiteral("Reading LUT 10"));

    const vela::test::Stopwatch start;
    progress.Finish();
    EXPECT_GE(start.Ms(), static_cast<std::uint32_t>(CProgressBarDialog::kFinishPauseMs));
    EXPECT_EQ(progress.Pos(), 100);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_TRUE(owner.isEnabled());

    // A second run starts over: new message, bar at 0.
    progress.Start(&owner, QStringLiteral("Now, Storing camera data."));
    EXPECT_EQ(progress.Pos(), 0);
    EXPECT_EQ(progress.ShownMessage(), QStringLiteral("Now, Storing camera data."));
    EXPECT_FALSE(owner.isEnabled());
    progress.Finish();
    EXPECT_TRUE(owner.isEnabled());
}

TEST(LabelTest, OpensItsTextOnlyWhenClickable) {
    RecordingShellOpen shell;
    CLabel label(QStringLiteral("https://example.invalid/manual"));
    label.resize(200, 20);
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_TRUE(shell.opened().empty());
    EXPECT_EQ(label.LinkFlag(), 1);

    label.SetClickable(1);
    label.SetForeColor(QColor(0, 0, 255));
    label.SetUnderline(1);
    QTest::mouseClick(&label, Qt::LeftButton);
    QTest::mouseClick(&label, Qt::RightButton);
    EXPECT_EQ(shell.opened(), std::vector<std::string>{"https://example.invalid/manual"});
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(label.font().underline());

    label.SetClickable(0);
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_EQ(shell.opened().size(), 1u);
}

TEST(StatusStripTest, FillsWithTheBitmapColour) {
    StatusStrip strip(1069);
    EXPECT_EQ(strip.FillColor(), QColor::fromRgb(kOfflineBarRgb));
    strip.ShowOnline(true);
    EXPECT_EQ(strip.FillColor(), QColor::fromRgb(kOnlineBarRgb));
    strip.resize(300, strip.sizeHint().height());
    const QImage picture = strip.grab().toImage();
    EXPECT_EQ(picture.pixelColor(20, picture.height() / 2), QColor::fromRgb(kOnlineBarRgb));
    EXPECT_EQ(picture.pixelColor(150, picture.height() / 2), QColor::fromRgb(kOnlineBarRgb));
    strip.ShowOnline(false);
    EXPECT_EQ(strip.FillColor(), QColor::fromRgb(kOfflineBarRgb));

    // The same state told again leaves the picture; after another bitmap it comes back.
    strip.ShowOnline(false);
    EXPECT_EQ(strip.FillColor(), QColor::fromRgb(kOfflineBarRgb));
    strip.SetBitmap(QPixmap());
    EXPECT_EQ(strip.FillColor(), QColor(Qt::gray));
    strip.ShowOnline(false);
    EXPECT_EQ(strip.FillColor(), QColor::fromRgb(kOfflineBarRgb));
}

}  // namespace
}  // namespace vela
