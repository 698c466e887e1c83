// Every window as someone without a mouse, or with a screen reader, meets it: each control
// the keyboard can reach has a name, and Tab visits each of them once before it comes back.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <vector>

#include "dialogs/aboutdialog.h"
#include "dialogs/cameraiddialog.h"
#include "dialogs/communicationdialog.h"
#include "dialogs/lutdlg.h"
#include "dialogs/terminaldialog.h"
#include "dialogs/useriddialog.h"
#include "mainwindow/parameterareaselectdialog.h"
#include "support/mainwindowfixture.h"

namespace vela::test {
namespace {

QString Describe(const QWidget* w) {
    return QStringLiteral("%1 %2 \"%3\"")
        .arg(QLatin1String(w->metaObject()->className()), w->objectName(), w->accessibleName());
}

// Radio buttons that exclude each other are one stop for Tab, which goes to the checked
// one; the arrow keys move between them.
bool IsUncheckedRadio(const QWidget* w) {
    const auto* radio = qobject_cast<const QRadioButton*>(w);
    return radio && radio->autoExclusive() && !radio->isChecked();
}

// The controls Tab can reach: shown, enabled, taking focus by Tab, in this window.
std::vector<QWidget*> TabControls(QWidget* window) {
    std::vector<QWidget*> controls;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window || !w->isVisibleTo(window) || !w->isEnabled() || w->focusProxy()) continue;
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus) controls.push_back(w);
    }
    return controls;
}

// What assistive technology announces: the name given, else the label beside the control
// (its buddy), else, for buttons and links, their caption.
QString NameOf(QWidget* w) {
    if (!w->accessibleName().isEmpty()) return w->accessibleName();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    if (!iface) return {};
    for (const auto& [other, relation] : iface->relations(QAccessible::Label)) {
        if (qobject_cast<QLabel*>(other->object())) return other->text(QAccessible::Name);
    }
    const bool captioned = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w);
    return captioned ? iface->text(QAccessible::Name) : QString();
}

// Presses Tab from `first` until the focus is back on it (or has gone round twice).
std::vector<QWidget*> TabWalk(QWidget* first, std::size_t controls) {
    first->setFocus(Qt::TabFocusReason);
    std::vector<QWidget*> walk{QApplication::focusWidget()};
    while (walk.size() <= 2 * controls) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == first) break;
        walk.push_back(QApplication::focusWidget());
    }
    return walk;
}

void CheckWindow(QWidget* window) {
    const std::vector<QWidget*> controls = TabControls(window);
    ASSERT_FALSE(controls.empty());
    // No control the mouse can use is out of the keyboard's reach.
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QAbstractItemView*>(w);
        if (control && w->window() == window && w->isVisibleTo(window) && w->isEnabled() &&
            !w->focusProxy()) {
            EXPECT_NE(std::find(controls.begin(), controls.end(), w), controls.end())
                << Describe(w).toStdString();
        }
    }
    for (QWidget* w : controls) EXPECT_FALSE(NameOf(w).isEmpty()) << Describe(w).toStdString();
    std::vector<QWidget*> stops;
    std::copy_if(controls.begin(), controls.end(), std::back_inserter(stops),
                 [](QWidget* w) { return !IsUncheckedRadio(w); });

    // The first control in reading order is the first in the window's focus chain.
    QWidget* first = window->nextInFocusChain();
    while (std::find(stops.begin(), stops.end(), first) == stops.end()) first = first->nextInFocusChain();
    const std::vector<QWidget*> walk = TabWalk(first, stops.size());
    std::string order;
    for (QWidget* w : walk) order += "\n  " + Describe(w).toStdString();
    EXPECT_EQ(walk.size(), stops.size()) << "Tab visits:" << order;
    for (QWidget* w : stops)
        EXPECT_EQ(std::count(walk.begin(), walk.end(), w), 1) << Describe(w).toStdString() << order;
    // Reading order within a group: the next control is further right on the same row, or
    // on a row below.
    for (std::size_t i = 1; i < walk.size(); ++i) {
        const QWidget* a = walk[i - 1];
        const QWidget* b = walk[i];
        if (a->parentWidget() != b->parentWidget()) continue;
        const QRect ra = a->geometry();
        const QRect rb = b->geometry();
        const bool sameRow = ra.top() <= rb.bottom() && rb.top() <= ra.bottom();
        EXPECT_TRUE(sameRow ? rb.left() > ra.left() : rb.top() > ra.bottom())
            << Describe(a).toStdString() << " then " << Describe(b).toStdString();
    }
}

struct WindowCase {
    const char* name;
    int controlMode;
    // Shows the window and returns it; what it creates it leaves in `owned`.
    std::function<QWidget*(CCtrlToolDlg& main, std::unique_ptr<QWidget>& owned)> open;
};

void PrintTo(const WindowCase& c, std::ostream* os) {
    *os << c.name;
}

template <class D>
QWidget* Own(std::unique_ptr<QWidget>& owned, D* dialog) {
    owned.reset(dialog);
    return dialog;
}

// A dialog of the main window's menus, read from the camera as when the menu opens it.
template <class D>
QWidget* Initialised(CCtrlToolDlg& main, std::unique_ptr<QWidget>& owned) {
    auto* dialog = new D(&main);
    dialog->OnInitDialog();
    return Own(owned, dialog);
}

const WindowCase kWindows[] = {
    {"MainWindowUserMode", 0, [](CCtrlToolDlg& main, auto&) -> QWidget* { return &main; }},
    {"MainWindowFactoryMode", 1, [](CCtrlToolDlg& main, auto&) -> QWidget* { return &main; }},
    {"Communication", 1, [](CCtrlToolDlg& main, auto&) -> QWidget* { return main.CommunicationDialog(); }},
    {"Terminal", 1,
     [](CCtrlToolDlg& main, auto&) -> QWidget* {
         main.Terminal()->AddLine("Tx: GA?");
         return main.Terminal();
     }},
    {"LutEditor", 1,
     [](CCtrlToolDlg&, auto& owned) -> QWidget* {
         auto* editor = new CLUTDlg(0);
         editor->Create();
         return Own(owned, editor);
     }},
    {"About", 1, Initialised<CAboutDialog>},
    {"CameraId", 1, Initialised<CCameraIdDialog>},
    {"UserId", 1, Initialised<CUserIdDialog>},
    {"AreaSelection", 1,
     [](CCtrlToolDlg& main, auto& owned) -> QWidget* {
         return Own(owned, new CParameterAreaSelectDialog(&main, 1));
     }},
};

class KeyboardAccessTest : public MainWindowTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(KeyboardAccessTest, EveryControlHasANameAndTabVisitsEachOnceInTurn) {
    StartCamera();
    StartWindow(GetParam().controlMode);
    dlg->show();
    std::unique_ptr<QWidget> owned;
    QWidget* window = GetParam().open(*dlg, owned);
    ASSERT_NE(window, nullptr);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    // A window with pages is walked on each of them.
    auto* pages = window->findChild<QTabWidget*>();
    for (int page = 0; page < (pages ? pages->count() : 1); ++page) {
        SCOPED_TRACE(pages ? pages->tabText(page).toStdString() : std::string("window"));
        if (pages) pages->setCurrentIndex(page);
        CheckWindow(window);
    }
    owned.reset();
}

INSTANTIATE_TEST_SUITE_P(Windows, KeyboardAccessTest, ::testing::ValuesIn(kWindows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vela::test
