// Dialog 136 and command 5141: the period edits, the validation order and
// messages, and the generation run after OK.

#include "ui/AccountingDialogFixture.h"

#include "refdata/PickLists.h"
#include "ui/accounting/CalendarGenerationDialog.h"

#include <QApplication>
#include <QTimer>

using namespace korvan;
using namespace korvan::test;
using korvan::ui::accounting::CalendarGenerationDialog;

class CalendarGenerationDialogTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<AccountingDialogFixture> db;
    int currentAuthority = 10;
    int currentCompany = 3;
    std::string periodStart = "01/01/2004";
    std::string periodEnd = "31/12/2004";

    std::string pressOk(QDialog& dialog)
    {
        db->sink.clear();
        click(&dialog, "okButton");
        return db->sink.entries.size() == 1 ? db->sink.entries.front().text : std::string("<no single message>");
    }

  private slots:
    void init()
    {
        db = std::make_unique<AccountingDialogFixture>();
        currentAuthority = 10;
        currentCompany = 3;
        periodStart = "01/01/2004";
        periodEnd = "31/12/2004";
    }

    void checksContractThenDatesAndRewritesThePeriod()
    {
        CalendarGenerationDialog dialog(db->connection.get(), db->sink, currentAuthority, currentCompany, periodStart,
                                        periodEnd);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Determinazione Giorni Effettuazione Corse"));
        QCOMPARE(child<QLineEdit>(&dialog, "periodStartEdit")->text(), QStringLiteral("01/01/2004"));

        typeInto(&dialog, "authorityCombo", "0010x");
        QCOMPARE(pressOk(dialog), refdata::invalidEntryMessage(refdata::EntryKind::Authority));
        typeInto(&dialog, "authorityCombo", "0010");
        typeInto(&dialog, "companyCombo", "0004");
        QCOMPARE(pressOk(dialog), refdata::invalidEntryMessage(refdata::EntryKind::Company));
        typeInto(&dialog, "companyCombo", "3");
        typeInto(&dialog, "periodStartEdit", "01/01/2004 ");
        const std::string format = "Le date devono essere espresse nella forma GG/MM/AAAA.\n\n";
        QCOMPARE(pressOk(dialog),
                 "ATTENZIONE: la data di inizio periodo è espressa in un formato illegale.\n\n" + format);
        typeInto(&dialog, "periodStartEdit", "01.03.04");
        typeInto(&dialog, "periodEndEdit", "30/02/2004");
        QCOMPARE(pressOk(dialog),
                 "ATTENZIONE: la data di fine periodo è espressa in un formato illegale.\n\n" + format);
        QCOMPARE(periodStart, std::string("01/01/2004"));
        QVERIFY(dialog.isVisible());

        typeInto(&dialog, "periodEndEdit", "31-03-2004");
        db->sink.clear();
        click(&dialog, "okButton");
        QVERIFY(db->sink.empty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(periodStart, std::string("01/03/2004"));
        QCOMPARE(periodEnd, std::string("31/03/2004"));
        QVERIFY(dialog.request().has_value());
        QCOMPARE(dialog.request()->company, 3);
    }

    void clickingAnAuthorityFillsItsCompanies()
    {
        currentAuthority = -1;
        currentCompany = -1;
        CalendarGenerationDialog dialog(db->connection.get(), db->sink, currentAuthority, currentCompany, periodStart,
                                        periodEnd);
        auto* companies = child<QComboBox>(&dialog, "companyCombo");
        QCOMPARE(companies->count(), 0);
        chooseEntry(child<QComboBox>(&dialog, "authorityCombo"), 0);
        QCOMPARE(companies->count(), 1);
        QCOMPARE(companies->itemText(0), QStringLiteral("0003 - Società Tre"));
    }

    void commandGeneratesAfterOk()
    {
        // Run 1 is scheduled on 2 and 3 March 2004 under protocol 1.
        tools::RawDatabase raw = tools::RawDatabase::sqliteFile(db->dir.file("runs.db"));
        QVERIFY(raw.exec("INSERT INTO proto (azienda, tipo, protoc, datini, datfin, azzera) "
                         "VALUES (3, 'B', 1, '2004-01-01', '2004-12-31', 0)"));
        QVERIFY(raw.exec("INSERT INTO mesi (azienda, ID, protoc, anno, mese, giorni) "
                         "VALUES (3, 1, 1, 2004, 3, 'NSSNNNNNNNNNNNNNNNNNNNNNNNNNNNN')"));
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                click(dialog, "okButton");
        });
        CalendarGenerationDialog::runCommand(nullptr, db->connection.get(), db->sink, db->feedback, currentAuthority,
                                             currentCompany, periodStart, periodEnd);
        QCOMPARE(db->sink.entries.size(), size_t(2));
        QCOMPARE(db->sink.entries.front().icon, MessageIcon::Question);
        QCOMPARE(db->sink.entries.back().text,
                 std::string("Risultati della rigenerazione della Tavola Giorni Effettuazione Corse:\n\n"
                             "Giorni preesistenti eliminati: 0\nGiorni inseriti: 2 di 2\n"));
        QCOMPARE(db->count("conkal"), 2L);
    }

    void cancelEndsTheCommand()
    {
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                click(dialog, "cancelButton");
        });
        CalendarGenerationDialog::runCommand(nullptr, db->connection.get(), db->sink, db->feedback, currentAuthority,
                                             currentCompany, periodStart, periodEnd);
        QCOMPARE(db->sink.entries.size(), size_t(1)); // the warning only
    }
};

QTEST_MAIN(CalendarGenerationDialogTest)
#include "CalendarGenerationDialogTest.moc"
