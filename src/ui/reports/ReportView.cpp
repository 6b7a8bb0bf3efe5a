#include "ui/reports/ReportView.h"

#include "db/MessageSink.h"
#include "gui/ReportOutput.h"
#include "reports/CsvWriter.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

#include <algorithm>

namespace korvan::ui::reports {

std::string printerUnavailableMessage()
{
    return "Non è possibile aprire la stampante.\n\n"
           "Verificare l'impostazione della stampante associata\n"
           "all'applicazione e riprovare successivamente.\n";
}

ReportView::ReportView(ReportViewHost host, QWidget* parent)
    : ReportViewBase(parent), host_(std::move(host)),
      printerFactory_([] { return std::make_unique<QPrinter>(QPrinter::HighResolution); })
{
    setObjectName("reportView");
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
}

ReportView::~ReportView()
{
    if (host_.restoreTitle)
        host_.restoreTitle();
}

bool ReportView::attachReport(std::unique_ptr<korvan::reports::Report> report)
{
    if (report_ || !report)
        return false;
    report_ = std::move(report);
    if (host_.showTitle)
        host_.showTitle(QString::fromStdString(report_->title));
    return true;
}

void ReportView::setPrinterFactory(PrinterFactory factory)
{
    printerFactory_ = std::move(factory);
}

void ReportView::showPrinterMessage()
{
    if (host_.sink)
        host_.sink->showMessage(printerUnavailableMessage(), MessageIcon::Information);
}

std::unique_ptr<QPrinter> ReportView::setUpPrinter()
{
    std::unique_ptr<QPrinter> printer = printerFactory_();
    // The set-up proposes landscape for a table too wide for a portrait
    // page; the user may still turn it.
    printer->setPageOrientation(gui::preferredOrientation(*report_));
    QPrintDialog dialog(printer.get(), this);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    // Printer, paper and orientation: every page is printed, once.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, std::max(1, pageCount()));
    if (dialog.exec() != QDialog::Accepted) {
        finished_ = true;
        return nullptr;
    }
    printer->setCopyCount(1);
    printer->setFullPage(true);
    if (!printer->isValid()) {
        showPrinterMessage();
        // Nothing more will happen in this view: let the main window close it.
        finished_ = true;
        return nullptr;
    }
    return printer;
}

void ReportView::paintPass(QPrinter* printer)
{
    QPainter painter;
    if (!painter.begin(printer)) {
        showPrinterMessage();
        return;
    }
    prepared_ = gui::paintAllPages(*report_, *printer, painter);
    painter.end();
}

void ReportView::startPrint()
{
    finished_ = false;
    if (!report_) {
        finished_ = true;
        return;
    }
    std::unique_ptr<QPrinter> printer = setUpPrinter();
    if (!printer)
        return;
    paintPass(printer.get());
    finished_ = true;
}

void ReportView::startPreview()
{
    finished_ = false;
    if (!report_) {
        finished_ = true;
        return;
    }
    std::unique_ptr<QPrinter> printer = setUpPrinter();
    if (!printer)
        return;
    QPrintPreviewDialog dialog(printer.get(), this);
    dialog.setWindowTitle(QString::fromStdString(report_->title));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &ReportView::paintPass);
    if (auto* pages = dialog.findChild<QPrintPreviewWidget*>()) {
        pages->setViewMode(QPrintPreviewWidget::FacingPagesView);
        pages->fitInView();
    }
    addSaveButtons(dialog);
    bool printAsked = false;
    routePrintButton(dialog, printAsked);
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    QPointer<QPrintPreviewDialog> shown(&dialog);
    QMetaObject::invokeMethod(
        this,
        [this, shown] {
            if (shown)
                emit previewShown(shown.data());
        },
        Qt::QueuedConnection);
    dialog.exec();
    finished_ = true;
    if (!printAsked)
        return;
    // The preview has ended; its print button goes on as the window's print
    // command, which starts a print pass of this view.
    if (host_.printCommand)
        host_.printCommand();
    else
        startPrint();
}

void ReportView::routePrintButton(QPrintPreviewDialog& dialog, bool& printAsked)
{
    // The preview's print action is the one Qt names "Print" in its own
    // translation context; it would print on the preview's printer.
    const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QActionGroup* group : dialog.findChildren<QActionGroup*>()) {
        for (QAction* action : group->actions()) {
            if (action->text() != printText)
                continue;
            action->setObjectName("previewPrintAction");
            QObject::disconnect(action, SIGNAL(triggered(bool)), &dialog, nullptr);
            connect(action, &QAction::triggered, &dialog, [&dialog, &printAsked] {
                printAsked = true;
                dialog.accept();
            });
            return;
        }
    }
}

void ReportView::addSaveButtons(QPrintPreviewDialog& dialog)
{
    auto* toolBar = dialog.findChild<QToolBar*>();
    if (!toolBar)
        return;
    toolBar->addSeparator();
    QAction* pdf = toolBar->addAction(QStringLiteral("Salva PDF..."));
    pdf->setObjectName("savePdfAction");
    connect(pdf, &QAction::triggered, &dialog, [this, &dialog] {
        const QString path = QFileDialog::getSaveFileName(&dialog, QStringLiteral("Salva PDF"), QString(),
                                                          QStringLiteral("PDF (*.pdf)"));
        if (!path.isEmpty())
            savePdf(path);
    });
    QAction* csv = toolBar->addAction(QStringLiteral("Salva CSV..."));
    csv->setObjectName("saveCsvAction");
    connect(csv, &QAction::triggered, &dialog, [this, &dialog] {
        const QString path = QFileDialog::getSaveFileName(&dialog, QStringLiteral("Salva CSV"), QString(),
                                                          QStringLiteral("CSV (*.csv)"));
        if (!path.isEmpty())
            saveCsv(path);
    });
}

bool ReportView::savePdf(const QString& path)
{
    if (!report_)
        return false;
    std::string error;
    if (gui::writePdf(*report_, path.toStdString(), error))
        return true;
    if (host_.sink)
        host_.sink->showMessage(error, MessageIcon::Error);
    return false;
}

bool ReportView::saveCsv(const QString& path)
{
    if (!report_)
        return false;
    std::string error;
    if (korvan::reports::writeCsvFile(*report_, QFile::encodeName(path).toStdString(), error))
        return true;
    if (host_.sink)
        host_.sink->showMessage(error, MessageIcon::Error);
    return false;
}

} // namespace korvan::ui::reports
