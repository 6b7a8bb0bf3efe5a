#include "ui/reports/PrintSession.h"

#include <QDir>
#include <QPrinter>
#include <QStandardPaths>

namespace korvan::ui::reports {

void PrintSession::rememberPrinter(const QPrinter& printer)
{
    hasPrinter_ = true;
    printerName_ = printer.printerName();
    outputFile_ = printer.outputFileName();
    pageSize_ = printer.pageLayout().pageSize();
}

void PrintSession::applyPrinter(QPrinter& printer) const
{
    if (!hasPrinter_)
        return;
    if (!outputFile_.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(outputFile_);
    } else if (!printerName_.isEmpty()) {
        printer.setPrinterName(printerName_);
    }
    if (pageSize_ && pageSize_->isValid())
        printer.setPageSize(*pageSize_);
}

QString printedWhere(const QPrinter& printer)
{
    if (!printer.outputFileName().isEmpty())
        return QStringLiteral("Stampa salvata in %1").arg(QDir::toNativeSeparators(printer.outputFileName()));
    return QStringLiteral("Stampa inviata a %1").arg(printer.printerName());
}

} // namespace korvan::ui::reports
