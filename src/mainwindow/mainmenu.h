#pragma once

#include <functional>

class QMenuBar;
class QWidget;

namespace vela {

// Position of the "Utility(&U)" menu, enabled only in the factory control mode.
inline constexpr int kUtilityMenuPosition = 2;

// The main window's menu bar; every item reports its command id to `onCommand`. Each
// action carries its id as data and "cmd<id>" as object name.
QMenuBar* CreateMainMenu(QWidget* parent, const std::function<void(int commandId)>& onCommand);

}  // namespace vela
