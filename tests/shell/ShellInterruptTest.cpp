// Stopping a real calendar generation from the desktop while it works: the
// "Interrompi" button, Escape and the close button of the main window stop
// it in the middle of its insertion; it undoes its work (the accounting
// tables are as they were), says so in the words of a failed operation, and
// a confirmed close request is carried out afterwards. A close request
// answered no lets it finish.

#include "ShellTestSupport.h"

#include "accounting/CalendarGeneration.h"
#include "db/Locks.h"
#include "shell/BusyClockWidget.h"
#include "shell/ClientAreaWidget.h"
#include "shell/CommandIds.h"
#include "shell/CommandWiring.h"
#include "shell/OperationInterrupt.h"
#include "support/AccountingFixture.h"
#include "support/TestBackends.h"
#include "support/WindowRequests.h"
#include "ui/accounting/CalendarGenerationDialog.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

using namespace korvan;
using namespace korvan::test;

Q_DECLARE_METATYPE(korvan::test::Backend)

namespace {

constexpr const char* kInsertion = "Inserimento Giorni Effettuazione Corse";
const std::string kInterrupted = std::string("Interruzione in fase di ") + kInsertion +
                                 "\n\nOperazione annullata: nessuna modifica è stata registrata.";
constexpr int kRuns = 12;

enum class Request { Button, Escape, CloseButton };

// Contract 10/3: twelve runs scheduled on the first 28 days of every month
// of 2004, each with two additional-service days already split, so that
// the generation deletes rows before it inserts 4,032.
void fillContract(tools::RawDatabase& raw)
{
    std::vector<std::string> rows = {"INSERT INTO regent (codice, denom) VALUES (10, 'Regione Dieci')",
                                     "INSERT INTO regent (codice, denom) VALUES (40, 'Provincia Quaranta')",
                                     "INSERT INTO regazi (codice, denom) VALUES (3, 'Società Tre')",
                                     "INSERT INTO linee (ID, ente, linea, denom) VALUES (0, 10, 'L1', 'Linea')",
                                     "INSERT INTO proto (azienda, tipo, protoc, datini, datfin, azzera) "
                                     "VALUES (3, 'B', 1, '2004-01-01', '2004-12-31', 0)"};
    const std::string days = std::string(28, 'S') + "NNN";
    for (int run = 1; run <= kRuns; ++run) {
        const std::string id = std::to_string(run);
        rows.push_back("INSERT INTO corse (azienda, ID, ente, lung) VALUES (3, " + id + ", 10, 1000)");
        rows.push_back("INSERT INTO conline (azienda, ID, ente, linea) VALUES (3, " + id + ", 10, 0)");
        rows.push_back("INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, " + id + ", 10, 1, 0)");
        for (const char* date : {"2004-03-02", "2004-03-03"})
            rows.push_back("INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, " + id + ", '" +
                           date + "', 40, 0, 2.5)");
        for (int month = 1; month <= 12; ++month)
            rows.push_back("INSERT INTO mesi (azienda, ID, protoc, anno, mese, giorni) VALUES (3, " + id +
                           ", 1, 2004, " + std::to_string(month) + ", '" + days + "')");
    }
    for (const std::string& sql : rows)
        if (!raw.exec(sql))
            qFatal("fixture: %s (%s)", raw.error().c_str(), sql.c_str());
}

} // namespace

Q_DECLARE_METATYPE(Request)

class ShellInterruptTest : public QObject {
    Q_OBJECT

  private:
    // The main window on a fresh database of `backend` holding the contract,
    // with the contract and 2004 as the current choice.
    struct Desk {
        TempDir dir;
        std::optional<TestDatabase> database;
        RecordingMessageSink sink;
        std::unique_ptr<PromptedMainWindow> window;
        std::vector<std::string> before;
    };

    static std::unique_ptr<Desk> openDesk(Backend backend)
    {
        auto desk = std::make_unique<Desk>();
        desk->database.emplace(backend, desk->dir);
        const std::string error = desk->database->createTables();
        if (!error.empty())
            qFatal("tables: %s", error.c_str());
        fillContract(desk->database->raw());
        const std::map<QString, QVariant> settings =
            isOdbc(backend)
                ? std::map<QString, QVariant>{{"DsnOdbc", QString::fromStdString(dataSourceOf(backend))}}
                : std::map<QString, QVariant>{{"Database", QString::fromStdString(desk->database->sqlitePath())}};
        desk->window = std::make_unique<PromptedMainWindow>(writeSettingsStore(desk->dir, settings), desk->sink);
        shell::wireDataCommands(*desk->window);
        desk->window->startUp();
        if (!desk->window->connection())
            qFatal("no connection: %s", desk->sink.lastText().c_str());
        desk->window->current() = {10, 3, "01/01/2004", "31/12/2004"};
        desk->before = accountingSnapshot(desk->window->connection());
        return desk;
    }

    // The rows of the accounting tables through a connection of its own.
    static std::vector<std::string> snapshotNow(const Desk& desk)
    {
        RecordingMessageSink sink;
        const std::unique_ptr<DbConnection> connection = desk.database->open(sink);
        return accountingSnapshot(connection.get());
    }

    // Runs command 5141 through its dialog; `act` runs once, while the
    // generation has inserted half of its days.
    static void generateAndActHalfway(Desk& desk, const std::function<void()>& act)
    {
        shell::MainWindow& window = *desk.window;
        QTimer answer;
        answer.setInterval(0);
        bool acted = false;
        connect(&answer, &QTimer::timeout, [&] {
            if (auto* dialog =
                    qobject_cast<ui::accounting::CalendarGenerationDialog*>(QApplication::activeModalWidget())) {
                if (dialog->isVisible())
                    dialog->findChild<QPushButton*>("okButton")->click();
                return;
            }
            const QProgressBar* bar = window.progressBar();
            if (acted || !bar || window.clientArea()->bannerText() != kInsertion || bar->value() < 50)
                return;
            acted = true;
            answer.stop();
            act();
        });
        answer.start();
        window.commandAction(shell::command::ServiceDays)->trigger();
        answer.stop();
        if (!acted)
            qWarning("the generation ended before half of its insertion");
        // Back in the loop the command was started from.
        QCoreApplication::processEvents();
    }

  private slots:
    void aStopAskedHalfwayUndoesTheGeneration_data()
    {
        QTest::addColumn<Backend>("backend");
        QTest::addColumn<Request>("request");
        QTest::newRow("button, SQLite file") << Backend::SqliteFile << Request::Button;
        QTest::newRow("Escape, SQLite file") << Backend::SqliteFile << Request::Escape;
        QTest::newRow("close button, SQLite file") << Backend::SqliteFile << Request::CloseButton;
        QTest::newRow("button, PostgreSQL") << Backend::PostgresOdbc << Request::Button;
    }

    void aStopAskedHalfwayUndoesTheGeneration()
    {
        QFETCH(Backend, backend);
        QFETCH(Request, request);
        if (dataSourceMissing(backend)) {
            if (odbcRequired())
                QFAIL("the PostgreSQL data source is not configured");
            QSKIP("no PostgreSQL data source");
        }
        std::unique_ptr<Desk> desk = openDesk(backend);
        shell::MainWindow& window = *desk->window;
        bool buttonShown = false;
        generateAndActHalfway(*desk, [&] {
            QPushButton* button = window.interruptButton();
            buttonShown = button && button->isVisible();
            switch (request) {
            case Request::Button:
                if (button)
                    clickWithMouse(button);
                break;
            case Request::Escape:
                typeEscape(&window);
                break;
            case Request::CloseButton:
                pressCloseButton(&window);
                break;
            }
        });

        QVERIFY(buttonShown);
        QVERIFY(!window.interruptButton());
        QCOMPARE(countMessages(desk->sink, kInterrupted), 1);
        QVERIFY(!anyMessageStartsWith(desk->sink, "Risultati"));
        QCOMPARE(countMessages(desk->sink, shell::OperationInterrupt::closeQuestion()),
                 request == Request::CloseButton ? 1 : 0);
        if (request == Request::CloseButton) {
            // The close request, carried out: the exit question, then the end.
            QVERIFY(anyMessageStartsWith(desk->sink, "E' stata richiesta l'uscita da KORVAN."));
            QVERIFY(!window.isVisible());
        } else {
            QVERIFY(window.isVisible());
        }
        QCOMPARE(snapshotNow(*desk), desk->before);
    }

    void aCloseRequestAnsweredNoLetsTheGenerationFinish()
    {
        std::unique_ptr<Desk> desk = openDesk(Backend::SqliteFile);
        shell::MainWindow& window = *desk->window;
        generateAndActHalfway(*desk, [&] {
            desk->sink.confirmReply = false;
            pressCloseButton(&window);
        });

        QCOMPARE(countMessages(desk->sink, shell::OperationInterrupt::closeQuestion()), 1);
        QCOMPARE(desk->sink.entries.back().text,
                 std::string("Risultati della rigenerazione della Tavola Giorni Effettuazione Corse:\n\n"
                             "Giorni preesistenti eliminati: 24\nGiorni inseriti: 4032 di 4032\n"));
        QVERIFY(window.isVisible());
        QCOMPARE(desk->database->raw().queryText("SELECT COUNT(*) FROM conkal"), std::string("4032"));
    }

    // A colleague holds the contract (on a SQLite file: the file's one
    // writer lock): the generation waits with the wait cursor and the busy
    // clock, the window keeps taking events, the banner says what it waits
    // for after a few seconds, and "Interrompi" ends the wait with the
    // refusal; nothing is changed.
    void aWaitForAColleagueShowsTheClockAndStopsOnTheButton_data()
    {
        QTest::addColumn<Backend>("backend");
        QTest::newRow("SQLite file") << Backend::SqliteFile;
        QTest::newRow("PostgreSQL") << Backend::PostgresOdbc;
    }

    void aWaitForAColleagueShowsTheClockAndStopsOnTheButton()
    {
        QFETCH(Backend, backend);
        if (dataSourceMissing(backend)) {
            if (odbcRequired())
                QFAIL("the PostgreSQL data source is not configured");
            QSKIP("no PostgreSQL data source");
        }
        std::unique_ptr<Desk> desk = openDesk(backend);
        shell::MainWindow& window = *desk->window;
        RecordingMessageSink colleagueSink;
        const std::unique_ptr<DbConnection> colleague = desk->database->open(colleagueSink);
        QVERIFY(colleague->BeginTrans(LockScope::contract(10, 3)));

        bool waitCursor = false, clockRunning = false, buttonShown = false;
        QString banner;
        QTimer answer;
        answer.setInterval(0);
        connect(&answer, &QTimer::timeout, [&] {
            if (auto* dialog =
                    qobject_cast<ui::accounting::CalendarGenerationDialog*>(QApplication::activeModalWidget())) {
                if (dialog->isVisible())
                    dialog->findChild<QPushButton*>("okButton")->click();
                return;
            }
            if (!window.clientArea()->bannerText().startsWith(QStringLiteral("In attesa")))
                return;
            answer.stop();
            banner = window.clientArea()->bannerText();
            waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            clockRunning = window.busyClock() && window.busyClock()->isRunning();
            QPushButton* button = window.interruptButton();
            buttonShown = button && button->isVisible();
            if (button)
                clickWithMouse(button);
        });
        answer.start();
        window.commandAction(shell::command::ServiceDays)->trigger();
        answer.stop();
        QCoreApplication::processEvents();

        QVERIFY2(!banner.isEmpty(), "the wait never showed its banner");
        QVERIFY(banner.endsWith(QStringLiteral("\"Interrompi\" per rinunciare")));
        QVERIFY(waitCursor);
        QVERIFY(clockRunning);
        QVERIFY(buttonShown);
        const std::string refusal = backend == Backend::SqliteFile
                                        ? "ATTENZIONE: la base dati è in uso per un'altra operazione"
                                        : "ATTENZIONE: il contratto di servizio ente 0010, azienda 0003 è in uso "
                                          "per un'altra operazione.";
        QVERIFY2(anyMessageStartsWith(desk->sink, refusal), desk->sink.lastText().c_str());
        QVERIFY(!anyMessageStartsWith(desk->sink, "Risultati"));
        QVERIFY(colleague->Rollback());
        QCOMPARE(snapshotNow(*desk), desk->before);
    }
};

QTEST_MAIN(ShellInterruptTest)
#include "ShellInterruptTest.moc"
