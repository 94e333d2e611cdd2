#pragma once

class QPrinter;
class QWidget;

namespace vexa {

// Lets the user pick and set up the printer; tests answer without a modal dialog.
class PrinterChooser {
public:
    virtual ~PrinterChooser() = default;
    // Sets up printer; false when the user cancels.
    virtual bool Choose(QWidget* parent, QPrinter& printer) = 0;
};

// The platform's print dialog. Printing to a PDF file is offered even when
// no printer is installed.
class DialogPrinterChooser final : public PrinterChooser {
public:
    bool Choose(QWidget* parent, QPrinter& printer) override;
};

} // namespace vexa
