// Dialogs 120, 121, 133 and 134: opening state, the order in which OK checks
// the entries and the messages it shows, "Annulla", "Fine", Escape and the
// close button.

#include "support/WindowRequests.h"
#include "ui/AccountingDialogFixture.h"

#include "refdata/PickLists.h"
#include "ui/accounting/BaseAssignmentDialog.h"
#include "ui/common/PickListCombo.h"

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QTimer>

using namespace korvan;
using namespace korvan::test;
using korvan::accounting::AssignmentKind;
using korvan::ui::accounting::BaseAssignmentDialog;

Q_DECLARE_METATYPE(AssignmentKind)

namespace {

std::string authorityMessage()
{
    return refdata::invalidEntryMessage(refdata::EntryKind::Authority);
}
std::string companyMessage()
{
    return refdata::invalidEntryMessage(refdata::EntryKind::Company);
}

} // namespace

class BaseAssignmentDialogTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<AccountingDialogFixture> db;
    int currentAuthority = -1;
    int currentCompany = -1;

    std::unique_ptr<BaseAssignmentDialog> open(AssignmentKind kind)
    {
        auto dialog = std::make_unique<BaseAssignmentDialog>(kind, db->connection.get(), db->sink, db->feedback,
                                                             currentAuthority, currentCompany);
        dialog->show();
        return dialog;
    }

    // Pressing OK; the text of the one message it showed.
    std::string pressOk(QDialog& dialog)
    {
        db->sink.clear();
        click(&dialog, "okButton");
        if (db->sink.entries.size() != 1)
            return "<" + std::to_string(db->sink.entries.size()) + " messages>";
        return db->sink.entries.front().text;
    }

  private slots:
    void init()
    {
        db = std::make_unique<AccountingDialogFixture>();
        currentAuthority = -1;
        currentCompany = -1;
    }

    void opensOnTheCurrentContractWithItsDefaults()
    {
        currentAuthority = 10;
        currentCompany = 3;
        auto dialog = open(AssignmentKind::Line);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Assegnazione Dati Contabili per Linea (Importo Km)"));
        QCOMPARE(child<QComboBox>(dialog.get(), "authorityCombo")->currentText(),
                 QStringLiteral("0010 - Regione Dieci"));
        QCOMPARE(child<QComboBox>(dialog.get(), "companyCombo")->currentText(), QStringLiteral("0003 - Società Tre"));
        // Both current codes set: the line list is filled (not selected).
        QCOMPARE(child<QComboBox>(dialog.get(), "lineCombo")->count(), 1);
        QVERIFY(child<QRadioButton>(dialog.get(), "minimumRadio")->isChecked());
        QVERIFY(!child<QComboBox>(dialog.get(), "payerCombo")->isEnabled());
        QCOMPARE(child<QComboBox>(dialog.get(), "payerCombo")->count(), 2); // every authority
        QVERIFY(child<QCheckBox>(dialog.get(), "updateExistingCheck")->isChecked());
    }

    void contractDialogChecksEntriesInOrder()
    {
        auto dialog = open(AssignmentKind::Contract);
        QCOMPARE(pressOk(*dialog), authorityMessage());
        typeInto(dialog.get(), "authorityCombo", "Regione"); // a typed name is refused
        QCOMPARE(pressOk(*dialog), authorityMessage());
        typeInto(dialog.get(), "authorityCombo", "10");
        QCOMPARE(pressOk(*dialog), companyMessage());
        // Clicking an entry of the authority drop-down refills the companies.
        chooseEntry(child<ui::PickListCombo>(dialog.get(), "authorityCombo"), 0);
        QCOMPARE(child<QComboBox>(dialog.get(), "companyCombo")->count(), 1);
        typeInto(dialog.get(), "companyCombo", "0003");
        const std::string euroMessage =
            "ATTENZIONE: Il valore in Euro/Km non è valido.\n\nOccorre indicare un valore positivo non nullo.\n\n";
        QCOMPARE(pressOk(*dialog), euroMessage);
        typeInto(dialog.get(), "euroPerKmEdit", "1e3");
        QCOMPARE(pressOk(*dialog), euroMessage);
        typeInto(dialog.get(), "euroPerKmEdit", "0,75");
        child<QRadioButton>(dialog.get(), "additionalRadio")->click();
        QVERIFY(child<QComboBox>(dialog.get(), "payerCombo")->isEnabled());
        QCOMPARE(pressOk(*dialog), refdata::invalidEntryMessage(refdata::EntryKind::PayingAuthority));
        QCOMPARE(db->count("concors"), 0L);
        QCOMPARE(currentAuthority, -1);

        typeInto(dialog.get(), "payerCombo", "0040");
        QCOMPARE(pressOk(*dialog), std::string("Risultati dell'assegnazione:\n\nAssegnate 2 Corse (nuove)\n"
                                               "Modificate 0 Corse (già assegnate)"));
        QCOMPARE(db->count("concors", "ente = 40 AND minima = 0"), 2L);
        QCOMPARE(currentAuthority, 10);
        QCOMPARE(currentCompany, 3);
        QVERIFY(dialog->isVisible()); // open for another assignment
    }

    void mouseChoicesFollowTheCascadeInEveryDialog()
    {
        for (AssignmentKind kind :
             {AssignmentKind::Contract, AssignmentKind::Line, AssignmentKind::TimeBand, AssignmentKind::DayType}) {
            auto dialog = open(kind);
            auto* companies = child<QComboBox>(dialog.get(), "companyCombo");
            QCOMPARE(companies->count(), 0);
            chooseEntry(child<QComboBox>(dialog.get(), "authorityCombo"), 0); // "0010 - Regione Dieci"
            QCOMPARE(entriesOf(companies), QStringList({"0003 - Società Tre"}));
            if (kind != AssignmentKind::Line)
                continue;
            auto* lines = child<QComboBox>(dialog.get(), "lineCombo");
            QCOMPARE(lines->count(), 0);
            chooseEntry(companies, 0);
            QCOMPARE(lines->count(), 1);
            QVERIFY(lines->itemText(0).startsWith("L'1        - "));
        }
    }

    void lineDialogChecksTheLineBeforeTheAmount()
    {
        currentAuthority = 10;
        currentCompany = 3;
        auto dialog = open(AssignmentKind::Line);
        QCOMPARE(pressOk(*dialog), refdata::invalidEntryMessage(refdata::EntryKind::Line));
        typeInto(dialog.get(), "lineCombo", "L'1");
        typeInto(dialog.get(), "euroPerKmEdit", "0.75");
        QCOMPARE(pressOk(*dialog), std::string("Risultati dell'assegnazione:\n\nAssegnate 2 Corse (nuove)\n"
                                               "Modificate 0 Corse (già assegnate)"));
        QCOMPARE(db->count("concors", "ID = 1 AND euro = 9.26"), 1L);
    }

    void timeBandDialogChecksBothTimes()
    {
        currentAuthority = 10;
        currentCompany = 3;
        auto dialog = open(AssignmentKind::TimeBand);
        typeInto(dialog.get(), "euroPerKmEdit", "1");
        const std::string format = "Gli orari devono essere espressi nel formato HH.MM\n\n";
        QCOMPARE(pressOk(*dialog), "ATTENZIONE L'orario iniziale è espresso in modo illegale.\n\n" + format);
        typeInto(dialog.get(), "bandFromEdit", "24.00");
        QCOMPARE(pressOk(*dialog), "ATTENZIONE L'orario iniziale è espresso in modo illegale.\n\n" + format);
        typeInto(dialog.get(), "bandFromEdit", "8.30");
        typeInto(dialog.get(), "bandToEdit", "8.60");
        QCOMPARE(pressOk(*dialog), "ATTENZIONE L'orario finale è espresso in modo illegale.\n\n" + format);
        typeInto(dialog.get(), "bandToEdit", "09:00");
        QCOMPARE(pressOk(*dialog), std::string("Risultati dell'assegnazione:\n\nAssegnate 1 Corse (nuove)\n"
                                               "Modificate 0 Corse (già assegnate)"));
        QCOMPARE(db->count("concors", "ID = 1"), 1L);
    }

    void dayTypeDialogChecksBothDates()
    {
        currentAuthority = 10;
        currentCompany = 3;
        auto dialog = open(AssignmentKind::DayType);
        for (int day = 0; day < 7; ++day)
            QVERIFY(child<QCheckBox>(dialog.get(), qPrintable(QStringLiteral("weekday%1").arg(day)))->isChecked());
        QVERIFY(child<QLineEdit>(dialog.get(), "periodStartEdit")->text().isEmpty());
        typeInto(dialog.get(), "euroPerKmEdit", "1");
        const std::string format = "Le date devono essere espresse nella forma GG/MM/AAAA.\n\n";
        typeInto(dialog.get(), "periodStartEdit", "1/1/04");
        QCOMPARE(pressOk(*dialog),
                 "ATTENZIONE: la data di inizio periodo è espressa in un formato illegale.\n\n" + format);
        typeInto(dialog.get(), "periodStartEdit", "01-01-04");
        typeInto(dialog.get(), "periodEndEdit", "31/02/2004");
        QCOMPARE(pressOk(*dialog),
                 "ATTENZIONE: la data di fine periodo è espressa in un formato illegale.\n\n" + format);
        typeInto(dialog.get(), "periodEndEdit", "31.12.2004");
        QCOMPARE(pressOk(*dialog), std::string("Risultati dell'assegnazione:\n\nAssegnati 0 Giorni/Corsa (nuovi)\n"
                                               "Modificati 0 Giorni/Corsa (già assegnati)"));
    }

    void cancelClearsTheFormAndFinishCloses()
    {
        currentAuthority = 10;
        currentCompany = 3;
        auto dialog = open(AssignmentKind::TimeBand);
        typeInto(dialog.get(), "euroPerKmEdit", "0,5");
        typeInto(dialog.get(), "bandFromEdit", "8.00");
        child<QRadioButton>(dialog.get(), "additionalRadio")->click();
        typeInto(dialog.get(), "payerCombo", "0040");
        child<QCheckBox>(dialog.get(), "updateExistingCheck")->setChecked(false);

        click(dialog.get(), "cancelButton");
        QVERIFY(dialog->isVisible());
        QVERIFY(child<QComboBox>(dialog.get(), "authorityCombo")->currentText().isEmpty());
        QVERIFY(child<QComboBox>(dialog.get(), "companyCombo")->currentText().isEmpty());
        QVERIFY(child<QComboBox>(dialog.get(), "payerCombo")->currentText().isEmpty());
        QVERIFY(child<QLineEdit>(dialog.get(), "euroPerKmEdit")->text().isEmpty());
        QVERIFY(child<QRadioButton>(dialog.get(), "minimumRadio")->isChecked());
        QVERIFY(!child<QComboBox>(dialog.get(), "payerCombo")->isEnabled());
        // The band and the update box keep their state.
        QCOMPARE(child<QLineEdit>(dialog.get(), "bandFromEdit")->text(), QStringLiteral("8.00"));
        QVERIFY(!child<QCheckBox>(dialog.get(), "updateExistingCheck")->isChecked());

        click(dialog.get(), "finishButton");
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    }

    void escapeAndTheCloseButtonEndTheDialogAsFine_data()
    {
        QTest::addColumn<AssignmentKind>("kind");
        QTest::addColumn<bool>("escape");
        for (AssignmentKind kind :
             {AssignmentKind::Contract, AssignmentKind::Line, AssignmentKind::TimeBand, AssignmentKind::DayType}) {
            const QByteArray name = BaseAssignmentDialog::titleFor(kind).toUtf8();
            QTest::newRow(name + " Escape") << kind << true;
            QTest::newRow(name + " close button") << kind << false;
        }
    }

    // Through the command's own modal loop, as the user meets the dialog.
    void escapeAndTheCloseButtonEndTheDialogAsFine()
    {
        QFETCH(AssignmentKind, kind);
        QFETCH(bool, escape);
        currentAuthority = 10;
        currentCompany = 3;
        bool closed = false;
        QTimer::singleShot(0, [&closed, escape] {
            auto* dialog = qobject_cast<BaseAssignmentDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            typeInto(dialog, "euroPerKmEdit", "0,5");
            requestClose(dialog, escape);
            closed = !dialog->isVisible();
            if (!closed) // the command would wait for ever
                dialog->done(QDialog::Accepted);
        });
        BaseAssignmentDialog::runCommand(kind, nullptr, db->connection.get(), db->sink, db->feedback, currentAuthority,
                                         currentCompany);
        QVERIFY(closed);
        QCOMPARE(db->sink.entries.size(), size_t(1)); // the warning: nothing was assigned
        QCOMPARE(db->count("concors"), 0L);
    }

    void commandAsksFirstAndStopsOnCancel()
    {
        db->sink.confirmReply = false;
        BaseAssignmentDialog::runCommand(AssignmentKind::TimeBand, nullptr, db->connection.get(), db->sink,
                                         db->feedback, currentAuthority, currentCompany);
        QCOMPARE(db->sink.entries.size(), size_t(1));
        QCOMPARE(db->sink.entries.front().icon, MessageIcon::Question);
        QVERIFY(db->sink.entries.front().text.find("per fascia oraria è necessario effettuare la NORMALIZZAZIONE "
                                                   "DELLE LINEE\ned assegnare i VALORI CONTABILI DI BASE.\n\n") !=
                std::string::npos);
    }
};

QTEST_MAIN(BaseAssignmentDialogTest)
#include "BaseAssignmentDialogTest.moc"
