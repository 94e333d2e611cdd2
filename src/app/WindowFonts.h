#pragma once

class QWidget;

namespace Ui {
class TMainForm;
}

namespace vexa {

// The main window's page fonts, sized in pixels as the pages were laid
// out for; window gives the face of the digit readouts.
void SetWindowFonts(Ui::TMainForm& ui, const QWidget& window);

} // namespace vexa
