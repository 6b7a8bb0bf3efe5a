// korvan-screenshots: a picture of every window of KORVAN, each the real
// window over a copy of the demo database, into <out>/<name>.png. Prints the
// path of every picture; the faults the window check finds go to standard
// error and make the exit status 2. Runs on Qt's offscreen platform
// (OffscreenScreen: 1280 x 800, QT_FONT_DPI for larger fonts) unless
// QT_QPA_PLATFORM says otherwise; --window gives the main window that size
// instead of the whole screen.

#include "OffscreenScreen.h"
#include "Shots.h"
#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "db/DbConnection.h"
#include "db/MessageSink.h"
#include "lines/LineExtraction.h"
#include "refdata/PickLists.h"
#include "shell/CommandWiring.h"
#include "shell/MainWindow.h"
#include "ui/common/MessageBoxSink.h"
#include "ui/common/QtTranslations.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSize>
#include <QTemporaryDir>

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>

namespace {

const char* const kUsage =
    "Usage: korvan-screenshots --database DEMO.sqlite --out FOLDER [--year YYYY] [--window WIDTHxHEIGHT]\n";

struct Options {
    QString database;
    QString out;
    int year = 2025;
    QSize window; // empty: the main window fills the screen
};

// "900x600" as a size; an empty one when it is not such a text.
QSize sizeOf(const QString& text)
{
    const QStringList parts = text.split('x');
    bool wide = false, high = false;
    const QSize size = parts.size() == 2 ? QSize(parts[0].toInt(&wide), parts[1].toInt(&high)) : QSize();
    return wide && high && size.width() >= 100 && size.height() >= 100 ? size : QSize();
}

std::optional<Options> readOptions(const QStringList& arguments)
{
    Options options;
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        const QString& name = arguments[i];
        const QString& value = arguments[i + 1];
        if (name == "--database")
            options.database = value;
        else if (name == "--out")
            options.out = value;
        else if (name == "--year")
            options.year = value.toInt();
        else if (name == "--window" && sizeOf(value).isValid())
            options.window = sizeOf(value);
        else
            return std::nullopt;
    }
    if (arguments.size() % 2 == 0 || options.database.isEmpty() || options.out.isEmpty() || options.year < 1901)
        return std::nullopt;
    return options;
}

bool writeFile(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

// A private ODBC set-up listing one data source, the demo copy through the
// SQLite ODBC driver, so that the data-source dialog shows what a user's
// machine would and the user's own data sources stay out of the pictures.
void privateDataSources(const QString& folder, const QString& database)
{
    QString driver;
    QDirIterator found("/usr/lib", {"libsqlite3odbc.so"}, QDir::Files, QDirIterator::Subdirectories);
    if (found.hasNext())
        driver = found.next();
    writeFile(folder + "/odbcinst.ini",
              ("[SQLite3]\nDescription = SQLite3 ODBC driver\nDriver = " + driver + "\n").toUtf8());
    writeFile(folder + "/odbc.ini",
              ("[korvan_demo]\nDescription = KORVAN demo\nDriver = SQLite3\nDatabase = " + database + "\n").toUtf8());
    writeFile(folder + "/user-odbc.ini", "");
    qputenv("ODBCSYSINI", folder.toLocal8Bit());
    qputenv("ODBCINI", (folder + "/user-odbc.ini").toLocal8Bit());
}

// Messages of the preparation: failures are printed, questions answered yes.
class PreparationSink : public korvan::MessageSink {
  public:
    void showMessage(const std::string& text, korvan::MessageIcon icon) override
    {
        if (icon == korvan::MessageIcon::Error || icon == korvan::MessageIcon::Warning) {
            std::cerr << text << "\n";
            failed = true;
        }
    }
    bool askConfirmation(const std::string&) override { return true; }
    bool failed = false;
};

int codeOf(const std::string& entry)
{
    return korvan::refdata::readCodeEntry(entry, {entry}).value_or(-1);
}

// The contract the pictures show: the first authority with lines that has
// companies, and its first company.
struct Contract {
    int authority = -1;
    int company = -1;
};

Contract firstContract(korvan::DbConnection* connection)
{
    using namespace korvan::refdata;
    for (const std::string& authority : authoritiesWithLines(connection)) {
        const PickList companies = companiesOfAuthority(connection, codeOf(authority));
        if (!companies.empty())
            return {codeOf(authority), codeOf(companies.front())};
    }
    return {};
}

// An authority that pays additional service only, else the contract's own.
int payingAuthority(korvan::DbConnection* connection, const Contract& contract)
{
    using namespace korvan::refdata;
    const PickList withLines = authoritiesWithLines(connection);
    for (const std::string& authority : allAuthorities(connection)) {
        if (std::find(withLines.begin(), withLines.end(), authority) == withLines.end())
            return codeOf(authority);
    }
    return contract.authority;
}

// The copy is given what a user's database has after the first steps: the
// normalized lines, the contract's minimum and additional service accounted
// per km, so that every list of the dialogs has entries, and its service
// days generated (over January: the generation writes the days of the
// runs' months), so that the statements have pages.
std::optional<Contract> prepareDatabase(const QString& path, int year)
{
    PreparationSink sink;
    korvan::SilentFeedback feedback;
    auto connection =
        korvan::DbConnection::openSqlite(path.toStdString(), korvan::DbConnection::kDefaultRowsetSizeOrdinary,
                                         korvan::DbConnection::kDefaultRowsetSizeBlob, sink);
    if (!connection || !connection->IsOpen() ||
        !korvan::lines::extractNormalizedLines(connection.get(), sink, feedback).completed)
        return std::nullopt;
    const Contract contract = firstContract(connection.get());
    korvan::accounting::AssignmentRequest request;
    request.contractAuthority = contract.authority;
    request.contractCompany = contract.company;
    request.euroPerKm = 2.15;
    bool done = korvan::accounting::runContractAssignment(connection.get(), request, sink, feedback).completed;
    request.minimumService = false;
    request.payingAuthority = payingAuthority(connection.get(), contract);
    request.euroPerKm = 0.35;
    done = done && korvan::accounting::runContractAssignment(connection.get(), request, sink, feedback).completed;
    const korvan::accounting::CalendarRequest january{
        contract.authority, contract.company, {year, 1, 1}, {year, 1, 31}};
    done = done && korvan::accounting::generateServiceDays(connection.get(), january, sink, feedback).completed;
    if (!done || sink.failed || contract.authority < 0)
        return std::nullopt;
    return contract;
}

QByteArray settingsText(const QString& database)
{
    QString quoted = database;
    quoted.replace("\\", "\\\\").replace("\"", "\\\"");
    return ("[1.00]\nDatabase=\"" + quoted + "\"\nDsnOdbc=\nRowSzAlfa=25\nRowSzBlob=1\n").toUtf8();
}

// The offscreen platform's notes on what it cannot do (raise a window, grab
// the keyboard) say nothing about the pictures.
void quietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith("This plugin does not support") || message.startsWith("QStandardPaths:"))
        return;
    qt_message_output(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir work;
    if (!work.isValid()) {
        std::cerr << "No temporary folder.\n";
        return 1;
    }
    if (!korvan::screenshots::chooseOffscreenScreen(work.path())) {
        std::cerr << "Cannot describe the screen.\n";
        return 1;
    }
    qInstallMessageHandler(quietPlatformNotes);
    QApplication app(argc, argv);
    QApplication::setApplicationName("KORVAN");
    QApplication::setOrganizationName("KORVAN");
    // Qt's own dialogs as the program shows them.
    korvan::ui::installItalianQtTranslations(app);

    const std::optional<Options> options = readOptions(QApplication::arguments());
    if (!options) {
        std::cerr << kUsage;
        return 1;
    }
    const QString database = work.filePath("demo.sqlite");
    const std::optional<Contract> contract =
        QFile::copy(options->database, database) ? prepareDatabase(database, options->year) : std::nullopt;
    if (!contract) {
        std::cerr << "Cannot prepare a copy of " << options->database.toStdString() << ".\n";
        return 1;
    }
    privateDataSources(work.path(), database);
    const QString settings = work.filePath("KORVAN.ini");
    writeFile(settings, settingsText(database));
    if (!QDir().mkpath(options->out)) {
        std::cerr << "Cannot create " << options->out.toStdString() << ".\n";
        return 1;
    }

    korvan::ui::MessageBoxSink sink;
    korvan::shell::MainWindow window(settings, sink);
    sink.setParentWidget(&window);
    korvan::shell::wireDataCommands(window);
    window.startUp();
    if (options->window.isValid()) {
        window.showNormal();
        window.resize(options->window);
    }
    if (!window.connection()) {
        std::cerr << "KORVAN did not connect to the demo copy.\n";
        return 1;
    }
    korvan::shell::MainWindow::CurrentContract& current = window.current();
    current.authority = contract->authority;
    current.company = contract->company;
    current.periodStartText = "01/01/" + std::to_string(options->year);
    current.periodEndText = "31/12/" + std::to_string(options->year);

    korvan::screenshots::ShotContext context{window, sink};
    bool faulty = false;
    bool failed = false;
    for (const korvan::screenshots::Shot& shot : korvan::screenshots::registeredShots()) {
        const korvan::screenshots::Picture picture = shot.take(context);
        const QString path = QDir(options->out).absoluteFilePath(QString::fromStdString(shot.name) + ".png");
        if (picture.image.isNull() || !picture.image.save(path, "PNG")) {
            std::cerr << shot.name << ": no picture\n";
            failed = true;
        } else {
            std::cout << path.toStdString() << "\n";
        }
        for (const std::string& fault : picture.faults)
            std::cerr << shot.name << ": " << fault << "\n";
        faulty = faulty || !picture.faults.empty();
    }
    return failed ? 1 : faulty ? 2 : 0;
}
