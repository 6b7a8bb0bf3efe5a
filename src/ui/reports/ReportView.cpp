#include "ui/reports/ReportView.h"

#include "ui/common/MessageBoxSink.h"
#include "ui/common/SaveFileDialog.h"

#include "db/MessageSink.h"
#include "gui/ReportOutput.h"
#include "reports/CsvWriter.h"
#include "reports/ReportFileName.h"
#include "ui/reports/PreviewPageTop.h"

#include <QActionGroup>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

namespace korvan::ui::reports {

namespace {

// An action of the preview's tool bar by the text Qt gives it (in the
// language of the translations installed).
QAction* previewAction(QPrintPreviewDialog& dialog, const char* text)
{
    const QString translated = QCoreApplication::translate("QPrintPreviewDialog", text);
    for (QActionGroup* group : dialog.findChildren<QActionGroup*>())
        for (QAction* action : group->actions())
            if (action->text() == translated)
                return action;
    return nullptr;
}

// One page at a time, as wide as the window: the statements' small print
// stays readable. Through the dialog's own actions, so that its tool bar
// shows the mode.
void showOnePageAsWideAsTheWindow(QPrintPreviewDialog& dialog)
{
    QAction* single = previewAction(dialog, "Show single page");
    QAction* fitWidth = previewAction(dialog, "Fit width");
    if (single && fitWidth) {
        single->trigger();
        fitWidth->trigger();
    } else if (auto* pages = dialog.findChild<QPrintPreviewWidget*>()) {
        pages->setViewMode(QPrintPreviewWidget::SinglePageView);
        pages->fitToWidth();
    }
    if (auto* pages = dialog.findChild<QPrintPreviewWidget*>())
        new PreviewPageTop(pages);
}

} // namespace

std::string printerUnavailableMessage()
{
    return "Non è possibile aprire la stampante.\n\n"
           "Verificare l'impostazione della stampante associata\n"
           "all'applicazione e riprovare successivamente.\n";
}

ReportView::ReportView(ReportViewHost host, QWidget* parent)
    : ReportViewBase(parent), host_(std::move(host)),
      printerFactory_([] { return std::make_unique<QPrinter>(QPrinter::HighResolution); }),
      session_(host_.session ? host_.session : std::make_shared<PrintSession>())
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
    session_->applyPrinter(*printer);
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
    session_->rememberPrinter(*printer);
    return printer;
}

bool ReportView::paintPass(QPrinter* printer)
{
    QPainter painter;
    if (!painter.begin(printer)) {
        showPrinterMessage();
        return false;
    }
    prepared_ = gui::paintAllPages(*report_, *printer, painter);
    return painter.end();
}

void ReportView::printOn(QPrinter& printer)
{
    if (paintPass(&printer) && host_.showStatus)
        host_.showStatus(printedWhere(printer));
}

void ReportView::printRequest()
{
    if (!previewPrinter_ || !report_) {
        startPrint();
        return;
    }
    const std::unique_ptr<QPrinter> printer = std::move(previewPrinter_);
    finished_ = false;
    printOn(*printer);
    finished_ = true;
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
    printOn(*printer);
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
    showOnePageAsWideAsTheWindow(dialog);
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
    // command, which prints this view on the preview's printer.
    previewPrinter_ = std::move(printer);
    if (host_.printCommand)
        host_.printCommand();
    else
        printRequest();
    previewPrinter_.reset();
}

void ReportView::routePrintButton(QPrintPreviewDialog& dialog, bool& printAsked)
{
    // The preview's print action is the one Qt names "Print" in its own
    // translation context; Qt's own handling would ask for a printer again.
    QAction* action = previewAction(dialog, "Print");
    if (!action)
        return;
    action->setObjectName("previewPrintAction");
    QObject::disconnect(action, SIGNAL(triggered(bool)), &dialog, nullptr);
    connect(action, &QAction::triggered, &dialog, [&dialog, &printAsked] {
        printAsked = true;
        dialog.accept();
    });
}

void ReportView::addSaveButtons(QPrintPreviewDialog& dialog)
{
    auto* toolBar = dialog.findChild<QToolBar*>();
    if (!toolBar)
        return;
    // A status line under the pages says where a saved file went.
    QStatusBar* statusLine = nullptr;
    if (auto* layout = qobject_cast<QBoxLayout*>(dialog.layout())) {
        statusLine = new QStatusBar(&dialog);
        statusLine->setObjectName("previewStatusLine");
        statusLine->setSizeGripEnabled(false);
        layout->addWidget(statusLine);
    }
    toolBar->addSeparator();
    QAction* pdf = toolBar->addAction(QStringLiteral("Salva PDF..."));
    pdf->setObjectName("savePdfAction");
    connect(pdf, &QAction::triggered, &dialog,
            [this, &dialog, statusLine] { saveWithDialog(&dialog, SaveFormat::Pdf, statusLine); });
    QAction* csv = toolBar->addAction(QStringLiteral("Salva CSV..."));
    csv->setObjectName("saveCsvAction");
    connect(csv, &QAction::triggered, &dialog,
            [this, &dialog, statusLine] { saveWithDialog(&dialog, SaveFormat::Csv, statusLine); });
}

void ReportView::saveWithDialog(QWidget* parent, SaveFormat format, QStatusBar* statusLine)
{
    if (!report_)
        return;
    const bool pdf = format == SaveFormat::Pdf;
    const QString stem = fileStem_.isEmpty() ? QString::fromStdString(report_->title) : fileStem_;
    const SaveFileRequest request{pdf ? QStringLiteral("Salva PDF") : QStringLiteral("Salva CSV"),
                                  pdf ? QStringLiteral("PDF (*.pdf)") : QStringLiteral("CSV (*.csv)"),
                                  pdf ? QStringLiteral("pdf") : QStringLiteral("csv"), stem};
    // A view without the program's sink asks in a box of its own.
    MessageBoxSink boxes;
    boxes.setParentWidget(parent);
    const QString path =
        chooseSaveFile(parent, request, session_->saveFolder(), host_.sink ? *host_.sink : static_cast<MessageSink&>(boxes));
    if (path.isEmpty())
        return;
    if (!(pdf ? savePdf(path) : saveCsv(path)))
        return;
    session_->saveFolder().rememberFile(path);
    const QString where = QStringLiteral("%1 salvato in %2").arg(pdf ? "PDF" : "CSV", QDir::toNativeSeparators(path));
    if (statusLine)
        statusLine->showMessage(where);
    if (host_.showStatus)
        host_.showStatus(where);
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
