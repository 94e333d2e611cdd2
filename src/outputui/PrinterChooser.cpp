#include "PrinterChooser.h"

#include <QPrintDialog>
#include <QPrinter>

namespace vexa {

bool DialogPrinterChooser::Choose(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    return dialog.exec() == QDialog::Accepted;
}

} // namespace vexa
