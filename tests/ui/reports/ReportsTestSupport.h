#pragma once

// Shared by the report widget tests: small reports, a main window standing
// in for the program's (it shows the report view as its central widget and
// keeps its title), printers that print into PDF files, and answering the
// modal dialogs a pass opens, as the user would.

#include "db/MessageSink.h"
#include "reports/LinesDirectory.h"
#include "ui/reports/ReportCommand.h"
#include "ui/reports/ReportView.h"

#include <QApplication>
#include <QMainWindow>
#include <QPointer>
#include <QPrinter>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace korvan::test {

inline std::unique_ptr<reports::Report> smallDirectory(int lines = 3)
{
    std::vector<reports::DirectoryEntry> entries;
    for (int i = 0; i < lines; ++i)
        entries.push_back({i, 10, "L" + std::to_string(i), "Linea di prova " + std::to_string(i), 10 + i});
    entries.push_back({99, 20, "C1", "Circolare", 4});
    return std::make_unique<reports::Report>(reports::linesDirectoryReport(
        entries, {{10, "Provincia di Valdora"}, {20, "Comune di San Vito"}}, "07/03/2025 09:04"));
}

// A printer that prints into `path` (no printer is installed here).
inline ui::reports::ReportView::PrinterFactory pdfPrinterInto(const std::string& path)
{
    return [path] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(path));
        return printer;
    };
}

// The main window's part in a report: the view over its client area, its
// title while a report is shown, its status line, the print session its
// views share.
class ReportHostWindow : public QMainWindow {
  public:
    static constexpr const char* kMainTitle = "KORVAN - \"Contabilità Varcotab - Regione Valdora\"";

    explicit ReportHostWindow(MessageSink& sink) : sink_(sink) { setWindowTitle(kMainTitle); }

    ui::reports::ReportViewHost viewHost()
    {
        return {&sink_,
                [this](const QString& title) { setWindowTitle(title); },
                [this] { setWindowTitle(kMainTitle); },
                nullptr,
                [this](const QString& text) { statusTexts.push_back(text); },
                session};
    }
    void showView(ui::reports::ReportView* view)
    {
        ++viewsShown;
        setCentralWidget(view);
        if (configureView)
            configureView(*view);
    }
    void closeView() { delete centralWidget(); }
    ui::reports::ReportView* view() const { return qobject_cast<ui::reports::ReportView*>(centralWidget()); }

    // Called on every view shown (a printer for it, say).
    std::function<void(ui::reports::ReportView&)> configureView;
    int viewsShown = 0;
    std::vector<QString> statusTexts;
    std::shared_ptr<ui::reports::PrintSession> session = std::make_shared<ui::reports::PrintSession>();

  private:
    MessageSink& sink_;
};

// Runs `action` on the first modal dialog of type T to show up, once.
template <typename T> void whenModal(std::function<void(T*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}

} // namespace korvan::test
