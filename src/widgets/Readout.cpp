#include "Readout.h"

#include <QAccessible>

namespace vexa {

void Readout::setText(const QString& text)
{
    if (text == QLabel::text())
        return;
    QLabel::setText(text);
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void Readout::clear()
{
    setText(QString());
}

} // namespace vexa
