#pragma once

// The report view: shown over the main window's client area while a report
// is printed or previewed. It holds the report, runs the print set-up
// (QPrintDialog: printer, paper, orientation), the print preview
// (QPrintPreviewDialog, two pages side by side) and printing, and tells
// when its pass has ended: after printing, at the end of the preview, or
// when the set-up was cancelled; the main window then closes it. Outside a
// pass it shows an empty area. Every pass starts from the system's default
// printer and lays the report out again for the chosen paper.

#include "gui/ReportLayout.h"
#include "reports/PrintableReport.h"
#include "ui/common/ReportViewBase.h"

#include <functional>
#include <memory>

class QPrinter;
class QPrintPreviewDialog;

namespace korvan {
class MessageSink;
}

namespace korvan::ui::reports {

// What a report view does to the window it is shown in.
struct ReportViewHost {
    MessageSink* sink = nullptr;
    // The window title while the report is shown.
    std::function<void(const QString&)> showTitle;
    // The program's own title, when the view goes.
    std::function<void()> restoreTitle;
    // The window's print command, which the preview's print button sends
    // (the window hands it back to the view shown: printRequest). Without
    // one the button prints at once.
    std::function<void()> printCommand;
};

class ReportView : public ReportViewBase {
    Q_OBJECT
  public:
    explicit ReportView(ReportViewHost host, QWidget* parent = nullptr);
    ~ReportView() override;

    // Takes the report and shows its title; refused (false) when the view
    // holds a report already or there is none.
    bool attachReport(std::unique_ptr<korvan::reports::Report> report);
    const korvan::reports::Report* report() const { return report_.get(); }

    // A pass: set-up, then the preview or the printing.
    void startPreview();
    void startPrint();

    // The pass has ended or was cancelled.
    bool isFinished() const { return finished_; }
    // ReportViewBase: the main window's names for the same two things.
    bool previewEnded() const override { return isFinished(); }
    void printRequest() override { startPrint(); }

    // Pages of the last layout (0 before the first pass).
    int pageCount() const { return prepared_.pageCount(); }

    // The printer a pass starts from; by default the system's default
    // printer at high resolution. Tests give a printer that writes a PDF.
    using PrinterFactory = std::function<std::unique_ptr<QPrinter>()>;
    void setPrinterFactory(PrinterFactory factory);

    // The preview's two extra buttons, also callable directly: the report
    // as a PDF file or as CSV. False when it could not be written (said).
    bool savePdf(const QString& path);
    bool saveCsv(const QString& path);

  signals:
    // The preview dialog is open (for tests and screenshots).
    void previewShown(QPrintPreviewDialog* dialog);

  private:
    std::unique_ptr<QPrinter> setUpPrinter();
    void paintPass(QPrinter* printer);
    void addSaveButtons(QPrintPreviewDialog& dialog);
    void routePrintButton(QPrintPreviewDialog& dialog, bool& printAsked);
    void showPrinterMessage();

    ReportViewHost host_;
    std::unique_ptr<korvan::reports::Report> report_;
    gui::PreparedReport prepared_;
    PrinterFactory printerFactory_;
    bool finished_ = false;
};

// "Non è possibile aprire la stampante..." (information icon).
std::string printerUnavailableMessage();

} // namespace korvan::ui::reports
