// The progress window of long operations and its owner.
#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>
#include <cstdint>

#include "dialogs/progressbardialog.h"
#include "support/stopwatch.h"

namespace vela {
namespace {

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

}  // namespace
}  // namespace vela
