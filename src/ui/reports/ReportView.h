#pragma once

// The report view: shown over the main window's client area while a report
// is printed or previewed. It holds the report, runs the print set-up
// (QPrintDialog: printer, paper, orientation), the print preview
// (QPrintPreviewDialog, one page as wide as the window) and printing, and
// tells when its pass has ended: after printing, at the end of the preview,
// or when the set-up was cancelled; the main window then closes it. Outside
// a pass it shows an empty area. The first set-up of the program's run
// starts from the system's default printer, every later one from the
// printer chosen last (PrintSession); each pass lays the report out again
// for the chosen paper. The preview's print button prints on the printer
// the preview was set up for, without asking again.

#include "gui/ReportLayout.h"
#include "reports/PrintableReport.h"
#include "ui/common/ReportViewBase.h"
#include "ui/reports/PrintSession.h"

#include <functional>
#include <memory>

class QPrinter;
class QPrintPreviewDialog;
class QStatusBar;

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
    // The window's status line: where a print went.
    std::function<void(const QString&)> showStatus;
    // Shared by the views of the program's run; none: the view's own.
    std::shared_ptr<PrintSession> session;
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
    // A print pass; after the preview's print button, on the preview's
    // printer without a set-up.
    void printRequest() override;

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

    // The name the save buttons propose, without folder and extension
    // (reportFileStem); by default the report's title.
    void setFileStem(const QString& stem) { fileStem_ = stem; }
    const PrintSession& session() const { return *session_; }
  signals:
    // The preview dialog is open (for tests and screenshots).
    void previewShown(QPrintPreviewDialog* dialog);

  private:
    std::unique_ptr<QPrinter> setUpPrinter();
    bool paintPass(QPrinter* printer);
    void addSaveButtons(QPrintPreviewDialog& dialog);
    enum class SaveFormat { Pdf, Csv };
    // The file dialog in the last folder with the proposed name, then the
    // file, and where it went in `statusLine`.
    void saveWithDialog(QWidget* parent, SaveFormat format, QStatusBar* statusLine);
    void printOn(QPrinter& printer);
    void routePrintButton(QPrintPreviewDialog& dialog, bool& printAsked);
    void showPrinterMessage();

    ReportViewHost host_;
    std::unique_ptr<korvan::reports::Report> report_;
    gui::PreparedReport prepared_;
    PrinterFactory printerFactory_;
    std::shared_ptr<PrintSession> session_;
    // The preview's printer, kept for the print its button asked.
    std::unique_ptr<QPrinter> previewPrinter_;
    QString fileStem_;
    bool finished_ = false;
};

// "Non è possibile aprire la stampante..." (information icon).
std::string printerUnavailableMessage();

} // namespace korvan::ui::reports
