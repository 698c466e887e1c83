#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace vela {

// Names `field` for assistive technology after the label beside it (its text without '&',
// line breaks or a closing ':') and makes the label its buddy.
void NameAfterLabel(QWidget* field, QLabel* label);

}  // namespace vela
