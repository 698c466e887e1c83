// Control classification and radio groups, as the control handlers use them.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "mainwindow/gen.h"
#include "mainwindow/paramcombobox.h"
#include "mainwindow/spineditbox.h"

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

}  // namespace
}  // namespace vela
