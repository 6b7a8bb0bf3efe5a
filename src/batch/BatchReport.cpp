#include "batch/BatchReport.h"

#include "batch/BatchOptions.h"
#include "db/MessageSink.h"
#include "gui/ReportOutput.h"
#include "reports/CsvWriter.h"
#include "reports/ReportChoice.h"
#include "reports/ReportCollection.h"

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryFile>

#include <ctime>
#include <memory>

namespace korvan::batch {

namespace {

using reports::ReportKind;

ReportKind reportKindNamed(const std::string& name)
{
    if (name == "contracts")
        return ReportKind::Contracts;
    if (name == "contributions")
        return ReportKind::Contributions;
    return ReportKind::LinesDirectory;
}

// The page painter measures text with the platform's fonts: it needs a
// QGuiApplication. The batch program shows no window, so the offscreen
// platform serves unless the user names another.
std::unique_ptr<QGuiApplication> guiApplication()
{
    if (QGuiApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "korvan-batch";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

// A PDF for standard output is written to a temporary file first.
bool writePdfTo(const reports::Report& report, const std::string& path, std::ostream& out, std::string& error)
{
    const std::unique_ptr<QGuiApplication> application = guiApplication();
    if (path != "-")
        return gui::writePdf(report, path, error);
    QTemporaryFile file;
    if (!file.open()) {
        error = "Impossibile scrivere il file PDF temporaneo";
        return false;
    }
    file.close();
    if (!gui::writePdf(report, QFile::encodeName(file.fileName()).toStdString(), error))
        return false;
    if (!file.open()) {
        error = "Impossibile leggere il file PDF temporaneo";
        return false;
    }
    const QByteArray bytes = file.readAll();
    out.write(bytes.constData(), bytes.size());
    out.flush();
    if (!out) {
        error = "Impossibile scrivere il PDF sullo standard output";
        return false;
    }
    return true;
}

} // namespace

bool writeCsvTo(const reports::Report& report, const std::string& path, std::ostream& out, std::string& error)
{
    if (path != "-")
        return reports::writeCsvFile(report, path, error);
    if (reports::writeCsv(report, out) && out.flush())
        return true;
    error = "Impossibile scrivere il CSV sullo standard output";
    return false;
}

void writeReport(const BatchOptions& options, DbConnection* connection, MessageSink& sink, OperationFeedback& feedback,
                 std::ostream& out)
{
    const ReportKind kind = reportKindNamed(options.reportKind);
    reports::ReportChoiceEntries entries;
    entries.allAuthorities = !options.authority;
    if (options.authority) {
        entries.authorityText = *options.authority;
        entries.authorityEntries = reports::authorityChoices(kind, connection);
    }
    entries.analytic = !options.synthetic;
    entries.periodStartText = options.periodStart.value_or("");
    entries.periodEndText = options.periodEnd.value_or("");
    const reports::ChoiceCheck check = reports::checkReportChoice(kind, entries);
    if (!check.choice) {
        sink.showMessage(check.message, MessageIcon::Error);
        return;
    }

    const std::optional<reports::Report> report =
        reports::collectReport(kind, *check.choice, connection, feedback, std::time(nullptr));
    if (!report)
        return; // the failure has been told
    if (report->empty()) {
        sink.showMessage(reports::kNoDataMessage, MessageIcon::Warning);
        return;
    }
    std::string error;
    if (options.csvFile && !writeCsvTo(*report, *options.csvFile, out, error)) {
        sink.showMessage(error, MessageIcon::Error);
        return;
    }
    if (options.pdfFile && !writePdfTo(*report, *options.pdfFile, out, error))
        sink.showMessage(error, MessageIcon::Error);
}

} // namespace korvan::batch
