#pragma once

#include <QString>

class QAbstractItemView;

namespace vela {

// Lets the operator select lines of a log with the mouse (click, Shift+click, Ctrl+click)
// or Ctrl+A and copy them: Ctrl+C and the context menu's "Copy" put the selected lines on
// the clipboard as plain text, one line per entry in the order shown; "Select All" selects
// every line. With nothing selected the list looks as before.
void EnableLineCopy(QAbstractItemView* view);

// The selected lines, top to bottom, joined by line feeds; "" with nothing selected.
QString SelectedLines(const QAbstractItemView& view);

}  // namespace vela
