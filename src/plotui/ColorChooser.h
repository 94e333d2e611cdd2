#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QWidget;

namespace vexa {

// Asks the user for a colour; tests answer without a modal dialog.
class ColorChooser {
public:
    virtual ~ColorChooser() = default;
    // Starts from `initial`; nothing when the user cancels. `name` names the
    // dialog (its objectName), as "BGColorDlg".
    virtual std::optional<QColor> Choose(QWidget* parent, const QString& name,
                                         const QColor& initial) = 0;
};

// The platform's colour dialog, modal over the parent.
class DialogColorChooser final : public ColorChooser {
public:
    std::optional<QColor> Choose(QWidget* parent, const QString& name,
                                 const QColor& initial) override;
};

} // namespace vexa
