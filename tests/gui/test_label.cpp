// The label that opens its text through the shell when it is clickable.
#include <gtest/gtest.h>

#include <QTest>
#include <string>
#include <vector>

#include "dialogs/label.h"
#include "support/recordingshellopen.h"

namespace vela {
namespace {

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

TEST(LabelTest, AClickableLabelIsReachedByTabAndOpensWithSpaceOrEnter) {
    RecordingShellOpen shell;
    CLabel label(QStringLiteral("https://example.invalid/manual"));
    EXPECT_EQ(label.focusPolicy(), Qt::NoFocus);
    QTest::keyClick(&label, Qt::Key_Space);
    EXPECT_TRUE(shell.opened().empty());

    label.SetClickable(1);
    EXPECT_EQ(label.focusPolicy(), Qt::StrongFocus);
    QTest::keyClick(&label, Qt::Key_Space);
    QTest::keyClick(&label, Qt::Key_Return);
    QTest::keyClick(&label, Qt::Key_X);
    EXPECT_EQ(shell.opened().size(), 2u);
    label.SetClickable(0);
    EXPECT_EQ(label.focusPolicy(), Qt::NoFocus);
}

}  // namespace
}  // namespace vela
