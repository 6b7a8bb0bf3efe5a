// Dialog 135 and commands 5127, 5125, 5126: the warning of each mode, the
// validation of the contract, and the removal run after OK.

#include "ui/AccountingDialogFixture.h"

#include "refdata/PickLists.h"
#include "ui/accounting/SplitRemovalDialog.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

using namespace korvan;
using namespace korvan::test;
using korvan::accounting::RemovalMode;
using korvan::ui::accounting::SplitRemovalDialog;

class SplitRemovalDialogTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<AccountingDialogFixture> db;
    int currentAuthority = -1;
    int currentCompany = -1;

  private slots:
    void init()
    {
        db = std::make_unique<AccountingDialogFixture>();
        currentAuthority = -1;
        currentCompany = -1;
    }

    void showsTheWarningOfEachMode()
    {
        SplitRemovalDialog itinerary(RemovalMode::ItinerarySplits, db->connection.get(), db->sink, currentAuthority,
                                     currentCompany);
        const QString itineraryText = child<QLabel>(&itinerary, "warningText")->text();
        QVERIFY(itineraryText.contains(
            QStringLiteral("del PERCORSO, purchè di competenza del contratto di servizio indicato.\n\n")));
        QVERIFY(itineraryText.endsWith(QStringLiteral("e perfettamente consapevoli.")));

        SplitRemovalDialog calendar(RemovalMode::CalendarSplits, db->connection.get(), db->sink, currentAuthority,
                                    currentCompany);
        QVERIFY(child<QLabel>(&calendar, "warningText")
                    ->text()
                    .contains(QStringLiteral("del CALENDARIO, purchè di competenza")));

        SplitRemovalDialog additional(RemovalMode::AdditionalFinancing, db->connection.get(), db->sink,
                                      currentAuthority, currentCompany);
        QVERIFY(child<QLabel>(&additional, "warningText")
                    ->text()
                    .contains(QStringLiteral("Alle corse interessate verrà assegnato un finanziamente come SERVIZIO "
                                             "MINIMO.\n\nQUESTA OPERAZIONE NON E' REVERSIBILE !!!\n\n")));
        QCOMPARE(additional.windowTitle(), QStringLiteral("Eliminazione Frazionamenti Contabili per Contratto"));
    }

    void checksAuthorityThenCompany()
    {
        SplitRemovalDialog dialog(RemovalMode::CalendarSplits, db->connection.get(), db->sink, currentAuthority,
                                  currentCompany);
        dialog.show();
        click(&dialog, "okButton");
        QCOMPARE(db->sink.lastText(), refdata::invalidEntryMessage(refdata::EntryKind::Authority));
        QCOMPARE(db->sink.entries.back().icon, MessageIcon::Error);
        typeInto(&dialog, "authorityCombo", "10");
        click(&dialog, "okButton");
        QCOMPARE(db->sink.lastText(), refdata::invalidEntryMessage(refdata::EntryKind::Company));
        QVERIFY(dialog.isVisible());
        QCOMPARE(currentAuthority, -1);
    }

    void clickingAnAuthorityFillsItsCompanies()
    {
        SplitRemovalDialog dialog(RemovalMode::ItinerarySplits, db->connection.get(), db->sink, currentAuthority,
                                  currentCompany);
        auto* companies = child<QComboBox>(&dialog, "companyCombo");
        QCOMPARE(companies->count(), 0);
        chooseEntry(child<QComboBox>(&dialog, "authorityCombo"), 0);
        QCOMPARE(companies->count(), 1);
        QCOMPARE(companies->itemText(0), QStringLiteral("0003 - Società Tre"));
    }

    void additionalFinancingCommandRestoresMinimumService()
    {
        tools::RawDatabase raw = tools::RawDatabase::sqliteFile(db->dir.file("runs.db"));
        QVERIFY(raw.exec("INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, 1, 40, 0, 2.5)"));
        currentAuthority = 10;
        currentCompany = 3;
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                click(dialog, "okButton");
        });
        SplitRemovalDialog::runCommand(RemovalMode::AdditionalFinancing, nullptr, db->connection.get(), db->sink,
                                       db->feedback, currentAuthority, currentCompany);
        QCOMPARE(db->sink.lastText(), std::string("Risultati dell'elaborazione:\n\n"
                                                  "Elaborate 1 corse (finanziamento servizio aggiuntivo)\n"
                                                  "Ripristinate 1 corse (finanziamento servizio minimo)\n"));
        QCOMPARE(db->count("concors", "ente = 10 AND minima = 1 AND euro = 2.5"), 1L);
    }

    void cancelChangesNothing()
    {
        tools::RawDatabase raw = tools::RawDatabase::sqliteFile(db->dir.file("runs.db"));
        QVERIFY(raw.exec("INSERT INTO conitine (azienda, ID, codperc, sub, ente, minima, euro, lung, tempo) "
                         "VALUES (3, 1, 1, 1, 40, 0, 1.0, 100, 1)"));
        currentAuthority = 10;
        currentCompany = 3;
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                click(dialog, "cancelButton");
        });
        SplitRemovalDialog::runCommand(RemovalMode::ItinerarySplits, nullptr, db->connection.get(), db->sink,
                                       db->feedback, currentAuthority, currentCompany);
        QVERIFY(db->sink.empty());
        QCOMPARE(db->count("conitine"), 1L);
    }
};

QTEST_MAIN(SplitRemovalDialogTest)
#include "SplitRemovalDialogTest.moc"
