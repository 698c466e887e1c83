// The message boxes of the tool, shown by a real QMessageBox.
#include <gtest/gtest.h>

#include "platform/prompt.h"
#include "platform/qt/qtprompt.h"
#include "support/guimessageboxkey.h"

namespace vela {
namespace {

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

}  // namespace
}  // namespace vela
