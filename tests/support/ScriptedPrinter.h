#pragma once

#include "outputui/PrinterChooser.h"

#include <QPrinter>
#include <QString>

namespace vexa::test {

// Answers the print dialog with "Print to File" as PDF under `file`.
class ScriptedPrinter final : public PrinterChooser {
public:
    bool Choose(QWidget*, QPrinter& printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        return true;
    }
    QString file;
};

} // namespace vexa::test
