#include "ColorChooser.h"

#include <QColorDialog>

namespace vexa {

std::optional<QColor> DialogColorChooser::Choose(QWidget* parent, const QString& name,
                                                 const QColor& initial)
{
    QColorDialog dialog(initial, parent);
    dialog.setObjectName(name);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QColor chosen = dialog.selectedColor();
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

} // namespace vexa
