// The report-choice dialogs 119, 131 and 132: what they show on opening,
// the order and texts of their refusals, the normalized period and what an
// accepted choice leaves in the current authority and period.

#include "ui/AccountingDialogFixture.h"

#include "refdata/PickLists.h"
#include "ui/reports/ReportChoiceDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>

using namespace korvan;
using namespace korvan::test;
using reports::ReportKind;
using ui::reports::ReportChoiceDialog;

namespace {

const std::string kStartMessage = "ATTENZIONE: la data di inizio periodo è espressa in un formato illegale.\n\n"
                                  "Le date devono essere espresse nella forma GG/MM/AAAA.\n\n";
const std::string kEndMessage = "ATTENZIONE: la data di fine periodo è espressa in un formato illegale.\n\n"
                                "Le date devono essere espresse nella forma GG/MM/AAAA.\n\n";

QStringList groupTitles(QWidget* dialog)
{
    QStringList titles;
    for (const QGroupBox* group : dialog->findChildren<QGroupBox*>())
        titles << group->title();
    return titles;
}

} // namespace

class ReportChoiceDialogTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<AccountingDialogFixture> db;
    int currentAuthority = -1;
    std::string periodStart;
    std::string periodEnd;

    std::unique_ptr<ReportChoiceDialog> open(ReportKind kind)
    {
        auto dialog = std::make_unique<ReportChoiceDialog>(kind, db->connection.get(), db->sink, currentAuthority,
                                                           periodStart, periodEnd);
        dialog->show();
        return dialog;
    }

  private slots:
    void init()
    {
        db = std::make_unique<AccountingDialogFixture>();
        // Authority 40 pays additional service of run 1.
        tools::RawDatabase raw = tools::RawDatabase::sqliteFile(db->dir.file("runs.db"));
        QVERIFY(raw.exec("INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, 1, 40, 0, 2.5)"));
        currentAuthority = -1;
        periodStart.clear();
        periodEnd.clear();
    }

    void linesDirectoryOpensOnEveryAuthorityAndPreview()
    {
        currentAuthority = 40;
        auto dialog = open(ReportKind::LinesDirectory);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Rubrica Linee Normalizzate"));
        QCOMPARE(groupTitles(dialog.get()), (QStringList{"Selezione ente", "Tipo stampa"}));
        QVERIFY(child<QCheckBox>(dialog.get(), "allAuthoritiesCheck")->isChecked());
        auto* combo = child<QComboBox>(dialog.get(), "authorityCombo");
        QVERIFY(!combo->isEnabled());
        QCOMPARE(entriesOf(combo), QStringList{"0010 - Regione Dieci"});
        QVERIFY(child<QRadioButton>(dialog.get(), "previewRadio")->isChecked());
        QVERIFY(!dialog->findChild<QLineEdit*>("periodStartEdit"));

        child<QCheckBox>(dialog.get(), "allAuthoritiesCheck")->click();
        QVERIFY(combo->isEnabled());
        chooseEntry(combo, 0);
        child<QRadioButton>(dialog.get(), "printRadio")->click();
        click(dialog.get(), "okButton");
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(dialog->choice().authority, 10);
        QVERIFY(!dialog->choice().allAuthorities);
        QVERIFY(!dialog->choice().preview);
        QVERIFY(db->sink.empty());
        // The lines directory keeps no choice.
        QCOMPARE(currentAuthority, 40);
        QVERIFY(periodStart.empty());
    }

    void contractsOpenOnTheCurrentAuthorityAndPeriod()
    {
        currentAuthority = 10;
        periodStart = "01/01/2025";
        periodEnd = "31/12/2025";
        auto dialog = open(ReportKind::Contracts);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Stampa Contratti di Servizio"));
        QCOMPARE(groupTitles(dialog.get()),
                 (QStringList{"Selezione ente concedente", "Tipo stampa", "Date di Inizio e Fine Periodo Contrattuale",
                              "Livello di dettaglio"}));
        QVERIFY(!child<QCheckBox>(dialog.get(), "allAuthoritiesCheck")->isChecked());
        auto* combo = child<QComboBox>(dialog.get(), "authorityCombo");
        QVERIFY(combo->isEnabled());
        QCOMPARE(combo->currentText(), QStringLiteral("0010 - Regione Dieci"));
        QCOMPARE(child<QLineEdit>(dialog.get(), "periodStartEdit")->text(), QStringLiteral("01/01/2025"));
        QCOMPARE(child<QLineEdit>(dialog.get(), "periodEndEdit")->maxLength(), 10);
        QVERIFY(child<QRadioButton>(dialog.get(), "analyticRadio")->isChecked());
        QVERIFY(child<QRadioButton>(dialog.get(), "previewRadio")->isChecked());

        // Without a current authority: every authority, the list disabled.
        currentAuthority = -1;
        auto fresh = open(ReportKind::Contracts);
        QVERIFY(child<QCheckBox>(fresh.get(), "allAuthoritiesCheck")->isChecked());
        QVERIFY(!child<QComboBox>(fresh.get(), "authorityCombo")->isEnabled());
    }

    void contributionsListThePayingAuthorities()
    {
        auto dialog = open(ReportKind::Contributions);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Stampa Contributi Aggiuntivi"));
        QCOMPARE(groupTitles(dialog.get()).first(), QStringLiteral("Selezione ente erogante contributo aggiuntivo"));
        QCOMPARE(entriesOf(child<QComboBox>(dialog.get(), "authorityCombo")), QStringList{"0040 - Provincia Quaranta"});
    }

    void refusesAuthorityThenStartThenEndAndKeepsTheDialog()
    {
        auto dialog = open(ReportKind::Contracts);
        child<QCheckBox>(dialog.get(), "allAuthoritiesCheck")->click();
        typeInto(dialog.get(), "authorityCombo", "0099");
        typeInto(dialog.get(), "periodStartEdit", "1/2/2024");
        click(dialog.get(), "okButton");
        QCOMPARE(db->sink.lastText(), refdata::invalidEntryMessage(refdata::EntryKind::Authority));
        QCOMPARE(db->sink.entries.back().icon, MessageIcon::Error);

        typeInto(dialog.get(), "authorityCombo", "0010");
        click(dialog.get(), "okButton");
        QCOMPARE(db->sink.lastText(), kStartMessage);

        typeInto(dialog.get(), "periodStartEdit", "31/02/2024");
        click(dialog.get(), "okButton");
        QCOMPARE(db->sink.lastText(), kStartMessage);

        typeInto(dialog.get(), "periodStartEdit", "01-02-24");
        typeInto(dialog.get(), "periodEndEdit", "");
        click(dialog.get(), "okButton");
        QCOMPARE(db->sink.lastText(), kEndMessage);
        QVERIFY(dialog->isVisible());
        QCOMPARE(child<QLineEdit>(dialog.get(), "periodStartEdit")->text(), QStringLiteral("01-02-24"));
        QCOMPARE(currentAuthority, -1);

        // A start later than the end is accepted.
        typeInto(dialog.get(), "periodEndEdit", "15.01.2024");
        child<QRadioButton>(dialog.get(), "syntheticRadio")->click();
        click(dialog.get(), "okButton");
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(currentAuthority, 10);
        QCOMPARE(periodStart, std::string("01/02/2024"));
        QCOMPARE(periodEnd, std::string("15/01/2024"));
        QCOMPARE(dialog->choice().periodStart, std::string("01/02/2024"));
        QVERIFY(!dialog->choice().analytic);
        QCOMPARE(db->sink.entries.size(), size_t(4));
    }

    void everyAuthorityIgnoresTheListAndKeepsTheCurrentOne()
    {
        currentAuthority = 40;
        auto dialog = open(ReportKind::Contributions);
        typeInto(dialog.get(), "authorityCombo", "non un codice");
        child<QCheckBox>(dialog.get(), "allAuthoritiesCheck")->click();
        QVERIFY(!child<QComboBox>(dialog.get(), "authorityCombo")->isEnabled());
        typeInto(dialog.get(), "periodStartEdit", "01/01/2025");
        typeInto(dialog.get(), "periodEndEdit", "31/01/2025");
        click(dialog.get(), "okButton");
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(db->sink.empty());
        QVERIFY(dialog->choice().allAuthorities);
        QCOMPARE(currentAuthority, 40);

        // Reopened: the authority chosen before is preselected again.
        auto again = open(ReportKind::Contributions);
        QCOMPARE(child<QComboBox>(again.get(), "authorityCombo")->currentText(),
                 QStringLiteral("0040 - Provincia Quaranta"));
        QCOMPARE(child<QLineEdit>(again.get(), "periodEndEdit")->text(), QStringLiteral("31/01/2025"));
    }
};

QTEST_MAIN(ReportChoiceDialogTest)
#include "ReportChoiceDialogTest.moc"
