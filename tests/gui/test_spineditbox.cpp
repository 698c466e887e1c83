// The spin edit: its edit text, each up-down step and the commit when the focus leaves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QVBoxLayout>
#include <utility>
#include <vector>

#include "mainwindow/spineditbox.h"

namespace vela {
namespace {

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

}  // namespace
}  // namespace vela
