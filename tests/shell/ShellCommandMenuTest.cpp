// The command menu: texts, ids, order and separators, and which commands are
// usable with and without an open connection.

#include "ShellTestSupport.h"
#include "support/RecordingMessageSink.h"

#include "shell/CommandIds.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace korvan;
using namespace korvan::test;

namespace {

// One line per entry, indented by depth: "text id" for a command, "text"
// for a pop-up, "—" for a separator.
void dumpMenu(const QList<QAction*>& actions, int depth, QStringList& lines)
{
    for (QAction* action : actions) {
        const QString indent(depth * 2, ' ');
        if (action->isSeparator())
            lines << indent + QString::fromUtf8("—");
        else if (action->menu()) {
            lines << indent + action->text();
            dumpMenu(action->menu()->actions(), depth + 1, lines);
        } else
            lines << indent + action->text() + " " + action->data().toString();
    }
}

const char* const kExpectedMenu = R"(&Database
  Metodo &SQLite
    &Connetti 5104
    &Sconnetti 5105
  Metodo &ODBC
    &Connetti 5108
  —
  Importa Feed &GTFS... 5150
&Corse 5120
&Stampe
  Stampa &Contratti di Servizio 5121
  Stampa Contributi &Aggiuntivi 5122
&Utilità
  &Linee Normalizzate
    &Estrai Linee Normalizzate 5114
    &Editing Linee Normalizzate 5117
    &Stampa Linee Normalizzate 5118
    &Fusione Linee 5119
  Assegnazione &Dati Contabili
    per &Contratto 5115
    per &Linea Normalizzata 5116
    per &Calendario 5123
    per &Orario 5124
  Determinazione &Giorni Effettuazione 5141
  —
  Eliminazione &Dati Contabili
    finanziamenti &Aggiuntivi 5127
    frazionamenti &Calendario 5125
    frazionamenti &Itinerario 5126
&Fine 5101
&? 5102)";

const int kAlwaysEnabled[] = {5101, 5102, 5104, 5105, 5108, 5150};
const int kDataCommands[] = {5114, 5115, 5116, 5117, 5118, 5119, 5120, 5121, 5122, 5123, 5124, 5125, 5126, 5127, 5141};

} // namespace

class ShellCommandMenuTest : public QObject {
    Q_OBJECT

  private slots:
    void menuTreeHasTheTextsIdsAndOrder()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        QStringList lines;
        dumpMenu(window.menuBar()->actions(), 0, lines);
        QCOMPARE(lines.join('\n'), QString::fromUtf8(kExpectedMenu));
    }

    void withoutConnectionOnlyDatabaseExitAndAboutAreEnabled()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        for (int id : kAlwaysEnabled)
            QVERIFY2(window.commandAction(id)->isEnabled(), qPrintable(QString::number(id)));
        for (int id : kDataCommands)
            QVERIFY2(!window.commandAction(id)->isEnabled(), qPrintable(QString::number(id)));
    }

    void anOpenConnectionEnablesEveryCommandUntilDisconnected()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}}), sink);
        window.startUp();
        for (int id : kAlwaysEnabled)
            QVERIFY(window.commandAction(id)->isEnabled());
        for (int id : kDataCommands)
            QVERIFY2(window.commandAction(id)->isEnabled(), qPrintable(QString::number(id)));

        window.closeConnection();
        for (int id : kDataCommands)
            QVERIFY2(!window.commandAction(id)->isEnabled(), qPrintable(QString::number(id)));
        for (int id : kAlwaysEnabled)
            QVERIFY(window.commandAction(id)->isEnabled());
    }

    void theRuleIsAppliedWhenAMenuIsShown()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}}), sink);
        window.startUp();
        QAction* extract = window.commandAction(shell::command::ExtractLines);
        extract->setEnabled(false);
        QMenu* lines = qobject_cast<QMenu*>(extract->parent());
        QVERIFY(lines);
        emit lines->aboutToShow();
        QVERIFY(extract->isEnabled());
    }
};

QTEST_MAIN(ShellCommandMenuTest)
#include "ShellCommandMenuTest.moc"
