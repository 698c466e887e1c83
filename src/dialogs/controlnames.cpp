#include "dialogs/controlnames.h"

#include <QLabel>

namespace vela {

void NameAfterLabel(QWidget* field, QLabel* label) {
    label->setBuddy(field);
    QString name = label->text();
    name.remove(QLatin1Char('&'));
    name.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    field->setAccessibleName(name.trimmed());
}

}  // namespace vela
