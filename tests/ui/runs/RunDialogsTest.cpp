// Dialogs 123 ("Filtro Selezione Corse") and 125 ("Assegnazione Dati
// Contabili Corsa"): their opening state, cascades, and the order in which
// OK checks the entries.

#include "BrowserWidgetFixture.h"
#include "ui/ComboChoice.h"

#include "refdata/PickLists.h"
#include "runs/RunAccounting.h"
#include "runs/RunListLoader.h"
#include "ui/common/PickListCombo.h"
#include "ui/runs/RunAccountingDialog.h"
#include "ui/runs/RunFilterDialog.h"
#include "ui/runs/SplitAccountingDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>

#include <functional>

using namespace korvan;
using namespace korvan::test;
using korvan::ui::runs::RunAccountingDialog;
using korvan::ui::runs::RunFilterDialog;
using korvan::ui::runs::SplitAccountingDialog;

namespace {

template <typename T> T* child(QObject* parent, const char* name)
{
    T* widget = parent->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

} // namespace

class RunDialogsTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<BrowserWidgetFixture> db;

    std::string pressOk(QDialog& dialog)
    {
        db->sink.clear();
        child<QPushButton>(&dialog, "okButton")->click();
        return db->sink.entries.size() == 1 ? db->sink.entries.front().text
                                            : "<" + std::to_string(db->sink.entries.size()) + " messages>";
    }

  private slots:
    void init() { db = std::make_unique<BrowserWidgetFixture>(); }

    void filterOpensOnTheCurrentContractAndLine()
    {
        RunFilterDialog dialog(db->connection.get(), db->sink, 10, 3, 1);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Filtro Selezione Corse"));
        QCOMPARE(dialog.authorityList()->currentText(), QStringLiteral("0010 - Regione Dieci"));
        QCOMPARE(dialog.companyList()->currentText(), QString::fromUtf8("0003 - Società Tre"));
        QCOMPARE(entriesOf(dialog.lineList()), QStringList({"0000 - L0", "0001 - L1"}));
        QCOMPARE(dialog.lineList()->currentText(), QStringLiteral("0001 - L1"));
        QVERIFY(!dialog.authorityList()->isEditable());
        QCOMPARE(pressOk(dialog), std::string("<0 messages>"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.choice().line, 1);
        // Without a contract: empty company and line lists.
        RunFilterDialog fresh(db->connection.get(), db->sink, -1, -1, -1);
        QCOMPARE(fresh.companyList()->count(), 0);
        QCOMPARE(fresh.lineList()->count(), 0);
        QCOMPARE(fresh.authorityList()->currentIndex(), -1);
    }

    void filterCascadesAndChecksInOrder()
    {
        RunFilterDialog dialog(db->connection.get(), db->sink, -1, -1, -1);
        QCOMPARE(pressOk(dialog), refdata::invalidEntryMessage(refdata::EntryKind::Authority));
        chooseEntry(dialog.authorityList(), 0);
        QCOMPARE(entriesOf(dialog.companyList()), QStringList{QString::fromUtf8("0003 - Società Tre")});
        QCOMPARE(dialog.lineList()->count(), 0);
        QCOMPARE(pressOk(dialog), refdata::invalidEntryMessage(refdata::EntryKind::Company));
        chooseEntry(dialog.companyList(), 0);
        QCOMPARE(dialog.lineList()->count(), 2);
        QCOMPARE(pressOk(dialog), refdata::invalidEntryMessage(refdata::EntryKind::Line));
        QVERIFY(dialog.isVisible());
        // Line 0 is a line like any other.
        chooseEntry(dialog.lineList(), 0);
        QCOMPARE(pressOk(dialog), std::string("<0 messages>"));
        QCOMPARE(dialog.choice().authority, 10);
        QCOMPARE(dialog.choice().company, 3);
        QCOMPARE(dialog.choice().line, 0);
    }

    void accountingOpensOnTheRunsState()
    {
        runs::RunListModel model = runs::loadRunList(db->connection.get(), {10, 3, 1});
        QCOMPARE(model.count(), 2);
        RunAccountingDialog minimum(db->connection.get(), db->sink, model, *model.findRun(1));
        QCOMPARE(minimum.windowTitle(), QStringLiteral("Assegnazione Dati Contabili Corsa"));
        QVERIFY(child<QRadioButton>(&minimum, "minimumRadio")->isChecked());
        QVERIFY(child<QRadioButton>(&minimum, "totalRadio")->isChecked());
        QVERIFY(!child<QRadioButton>(&minimum, "perKmRadio")->isChecked());
        QVERIFY(!child<QComboBox>(&minimum, "payerCombo")->isEnabled());
        QCOMPARE(child<QComboBox>(&minimum, "payerCombo")->count(), 2);
        QCOMPARE(child<QLabel>(&minimum, "amountLabel")->text(), QStringLiteral("Euro/Totale"));
        QCOMPARE(child<QLineEdit>(&minimum, "amountEdit")->text(), QStringLiteral("5.00"));
        QCOMPARE(child<QLineEdit>(&minimum, "amountEdit")->maxLength(), 8);
        QVERIFY(!child<QCheckBox>(&minimum, "applyToSelectedCheck")->isEnabled());
        // Switching the mode changes the label, not the number.
        child<QRadioButton>(&minimum, "perKmRadio")->click();
        QCOMPARE(child<QLabel>(&minimum, "amountLabel")->text(), QStringLiteral("Euro/Km"));
        QVERIFY(!child<QRadioButton>(&minimum, "totalRadio")->isChecked());
        QCOMPARE(child<QLineEdit>(&minimum, "amountEdit")->text(), QStringLiteral("5.00"));
        child<QRadioButton>(&minimum, "additionalRadio")->click();
        QVERIFY(child<QComboBox>(&minimum, "payerCombo")->isEnabled());
        QVERIFY(!child<QRadioButton>(&minimum, "minimumRadio")->isChecked());

        model.findRun(1)->selected = true;
        RunAccountingDialog additional(db->connection.get(), db->sink, model, *model.findRun(2));
        QVERIFY(child<QRadioButton>(&additional, "additionalRadio")->isChecked());
        QCOMPARE(child<QComboBox>(&additional, "payerCombo")->currentText(),
                 QStringLiteral("0040 - Provincia Quaranta"));
        QVERIFY(child<QCheckBox>(&additional, "applyToSelectedCheck")->isEnabled());
        QVERIFY(child<QCheckBox>(&additional, "applyToSelectedCheck")->isChecked());
        child<QCheckBox>(&additional, "applyToSelectedCheck")->click();
        QVERIFY(!child<QCheckBox>(&additional, "applyToSelectedCheck")->isChecked());
    }

    void accountingChecksAmountThenPayer()
    {
        runs::RunListModel model = runs::loadRunList(db->connection.get(), {10, 3, 1});
        RunAccountingDialog dialog(db->connection.get(), db->sink, model, *model.findRun(1));
        child<QRadioButton>(&dialog, "additionalRadio")->click();
        for (const char* refused : {"-5", "abc", "0"}) {
            child<QLineEdit>(&dialog, "amountEdit")->setText(refused);
            QCOMPARE(pressOk(dialog), runs::invalidAmountMessage());
        }
        child<QLineEdit>(&dialog, "amountEdit")->setText("+5");
        QCOMPARE(pressOk(dialog), refdata::invalidEntryMessage(refdata::EntryKind::PayingAuthority));
        QCOMPARE(dialog.result(), 0);
        child<QComboBox>(&dialog, "payerCombo")->setCurrentIndex(0);
        QCOMPARE(pressOk(dialog), std::string("<0 messages>"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.change().value, 5.0);
        QVERIFY(!dialog.change().minimumService);
        QVERIFY(dialog.change().totalMode);
        // Nothing is written by the dialog itself.
        QCOMPARE(db->query("SELECT euro FROM concors WHERE ID = 1"), std::string("5.0"));
    }

    void aStoredAmountLongerThanTheFieldIsShownAndTakenBackWhole()
    {
        // Qt cuts a text set by the program at the edit's limit: 123456,78
        // once showed as "123456.7", and OK wrote 123456,70.
        QVERIFY(db->rawDatabase().exec("UPDATE concors SET euro = 123456.78 WHERE ID = 1"));
        runs::RunListModel model = runs::loadRunList(db->connection.get(), {10, 3, 1});
        RunAccountingDialog run(db->connection.get(), db->sink, model, *model.findRun(1));
        ui::runs::SplitDialogSetup day;
        day.amount = 123456.78;
        ui::runs::SplitDialogSetup arc = day;
        arc.kind = ui::runs::SplitKind::Arc;
        SplitAccountingDialog dayDialog(day, db->connection.get(), db->sink, {});
        SplitAccountingDialog arcDialog(arc, db->connection.get(), db->sink, {});
        const std::vector<std::pair<QDialog*, std::function<double()>>> dialogs = {
            {&run, [&] { return run.change().value; }},
            {&dayDialog, [&] { return dayDialog.change().value; }},
            {&arcDialog, [&] { return arcDialog.change().value; }},
        };
        for (const auto& [dialog, accepted] : dialogs) {
            auto* edit = child<QLineEdit>(dialog, "amountEdit");
            QCOMPARE(edit->text(), QStringLiteral("123456.78"));
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            // Room for the whole text inside the frame and the edit's margins.
            const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
            QVERIFY(edit->width() - 2 * frame - 4 >= edit->fontMetrics().horizontalAdvance(edit->text()));
            QCOMPARE(pressOk(*dialog), std::string("<0 messages>"));
            QCOMPARE(dialog->result(), int(QDialog::Accepted));
            QCOMPARE(accepted(), 123456.78);
        }
    }
};

QTEST_MAIN(RunDialogsTest)
#include "RunDialogsTest.moc"
