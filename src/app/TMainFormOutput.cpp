// The main window's Print and Export buttons.
#include "TMainForm.h"
#include "output/ExportFormats.h"
#include "output/PlotOutput.h"
#include "outputui/TPrtLocForm.h"
#include "ui_TMainForm.h"
#include "widgets/WaitCursor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vexa {

void TMainForm::WireOutputHandlers()
{
    PrtLocForm = new TPrtLocForm(Output, this);
    PrtLocForm->SetWarn(
        [this](const QString& text) { Prompts.Warn(QStringLiteral("Vexa"), text); });
    connect(ui->PrtBtn, &QPushButton::clicked, this, &TMainForm::PrtBtnClick);
    connect(ui->ExportBtn, &QPushButton::clicked, this, &TMainForm::ExportBtnClick);
}

// Left and top only place one print; the screen plot never moves.
void TMainForm::PrtBtnClick()
{
    if (PrtLocForm->ExecForPrint() == QDialog::Accepted) {
        if (!Printer)
            Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        PrinterChooser& printers = deps_.printers ? *deps_.printers : dialogPrinters_;
        if (printers.Choose(this, *Printer)) {
            // Let the window repaint behind the closed dialogs before the page is drawn.
            QCoreApplication::processEvents();
            WaitCursor wait;
            const QString error = PrintPlot(*Printer, Plot, Output, Show, &Logo);
            if (!error.isEmpty())
                Prompts.Warn(QStringLiteral("Error"),
                             QStringLiteral("Unable to print! (%1)").arg(error));
        }
    }
    Output.left = Output.top = 0.0;
}

void TMainForm::ExportBtnClick()
{
    FileDialogSetup setup;
    setup.name = QStringLiteral("ExportDialog1");
    setup.title = QStringLiteral("Export Graph Data");
    setup.filter = ExportFilter();
    setup.filterIndex = ValidExportType(Output.exportType) - 1;
    const SaveChoice choice = Files().SaveFileAndFilter(this, setup);
    if (choice.file.isEmpty())
        return;
    Output.exportType = ValidExportType(choice.filterIndex + 1);
    // The format follows the name typed; a name that names none gets the
    // filter's ending, and then the dialog did not ask about that file.
    const ExportTarget target = ExportTargetFor(choice.file, Output.exportType);
    const QString shown = QDir::toNativeSeparators(target.path);
    if (target.path != choice.file && QFileInfo::exists(target.path) &&
        !Prompts.AskYesNo(
            QStringLiteral("Export Graph Data"),
            QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(shown)))
        return;
    if (PrtLocForm->ExecForExport() == QDialog::Accepted) {
        Output.left = Output.top = 0.0;
        WaitCursor wait;
        const QString error = ExportPlot(target.path, target.type, Plot, Output, Show, &Logo);
        if (!error.isEmpty())
            Prompts.Warn(QStringLiteral("Error"),
                         QStringLiteral("Unable to write %1! (%2)").arg(shown, error));
    }
    Output.left = Output.top = 0.0;
}

} // namespace vexa
