#pragma once

#include <QLabel>

namespace vexa {

// A read-only display (status fields, read-outs). Its text is its accessible
// name, so a screen reader reads what it shows, and every change is
// announced; the accessible description says what the display is.
class Readout final : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    // Hide QLabel's own, which changes the text without telling listeners.
    void setText(const QString& text);
    void clear();
};

} // namespace vexa
