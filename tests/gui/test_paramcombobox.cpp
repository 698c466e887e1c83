// The parameter combo box reports the operator's choices, never the program's.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QVBoxLayout>
#include <vector>

#include "mainwindow/paramcombobox.h"

namespace vela {
namespace {

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

}  // namespace
}  // namespace vela
