// The pick-list combo box: filling, preselection of the current contract,
// the authority -> company -> line cascade driven by mouse and key events on
// the real drop-down list, and the OK-time readings on a real combo.

#include "ui/LinesDialogFixture.h"

#include "ui/common/PickListCombo.h"

#include <QApplication>

using namespace korvan;
using namespace korvan::test;
using namespace korvan::refdata;
using namespace korvan::ui;

class PickListComboTest : public QObject {
    Q_OBJECT

  private slots:
    void fillingKeepsQueryOrderAndSelectsNothing()
    {
        PickListCombo combo;
        QVERIFY(combo.isEditable());
        combo.setEditText("typed");
        fillCombo(&combo, {"0009 - Zeta", "0001 - Alfa"});
        QCOMPARE(entriesOf(&combo), QStringList({"0009 - Zeta", "0001 - Alfa"}));
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(combo.currentText(), QString());
        QCOMPARE(selectedCode(&combo), 0);
        // Typed text never becomes an entry.
        typeInto(&combo, "42");
        QTest::keyClick(&combo, Qt::Key_Return);
        QCOMPARE(combo.count(), 2);
    }

    void selectByCodeFindsTheCodeOrLeavesTheSelection()
    {
        PickListCombo combo;
        fillCombo(&combo, {"0009 - Zeta", "0012 - Dodici", "12345 - Grande"});
        selectByCode(&combo, 12);
        QCOMPARE(combo.currentIndex(), 1);
        QCOMPARE(selectedCode(&combo), 12);
        selectByCode(&combo, -1);
        QCOMPARE(combo.currentIndex(), 1);
        selectByCode(&combo, 77);
        QCOMPARE(combo.currentIndex(), 1);
        combo.setCurrentIndex(2);
        QCOMPARE(selectedCode(&combo), 1234);
    }

    void okReadsTheTypedText()
    {
        PickListCombo combo;
        fillCombo(&combo, {"0012 - Dodici"});
        typeInto(&combo, "12");
        QCOMPARE(readCodeEntry(&combo), std::optional<int>(12));
        typeInto(&combo, "0012x");
        QVERIFY(!readCodeEntry(&combo));
        typeInto(&combo, "Dodici");
        QVERIFY(!readCodeEntry(&combo));
        combo.setCurrentIndex(0);
        QCOMPARE(readCodeEntry(&combo), std::optional<int>(12));

        PickListCombo lines;
        fillCombo(&lines, {"CIRCOLARE-NORD - Giro"});
        typeInto(&lines, "circolare-nord");
        QCOMPARE(readLineCodeEntry(&lines), std::optional<std::string>("CIRCOLARE-NORD"));
    }

    void contractListsPreselectTheCurrentContract()
    {
        LinesDialogFixture db;
        QVERIFY(db.ok);
        PickListCombo authorities, companies;
        fillContractLists(db.connection.get(), &authorities, &companies, 1, 2);
        QCOMPARE(authorities.currentText(), QString("0001 - Città Alfa"));
        QCOMPARE(entriesOf(&companies), QStringList({"0002 - Autolinee Rossi", "0001 - Società Trasporti"}));
        QCOMPARE(companies.currentText(), QString("0002 - Autolinee Rossi"));

        fillContractLists(db.connection.get(), &authorities, &companies, -1, -1);
        QCOMPARE(authorities.count(), 2);
        QCOMPARE(authorities.currentIndex(), -1);
        QCOMPARE(companies.count(), 0);
    }

    void closingTheAuthorityListRefillsTheCompanies()
    {
        LinesDialogFixture db;
        PickListCombo authorities, companies;
        connectCompanyCascade(db.connection.get(), &authorities, &companies);
        fillContractLists(db.connection.get(), &authorities, &companies, -1, -1);
        // A click on an entry: Qt closes the list before the entry becomes
        // current; the companies are those of the entry clicked.
        chooseEntry(&authorities, 0); // "0002 - Beta"
        QCOMPARE(authorities.currentText(), QString("0002 - Beta"));
        QCOMPARE(entriesOf(&companies), QStringList({"0005 - Bus Beta"}));
        QCOMPARE(companies.currentIndex(), -1);
        chooseEntry(&authorities, 1); // "0001 - Città Alfa"
        QCOMPARE(entriesOf(&companies), QStringList({"0002 - Autolinee Rossi", "0001 - Società Trasporti"}));
        // Closed with no entry selected: no code, an empty list.
        chooseEntry(&authorities, -1);
        QCOMPARE(companies.count(), 0);
        // The keyboard: Alt+Down, Down, Return from "0002 - Beta".
        authorities.setCurrentIndex(0);
        chooseWithKeys(&authorities, 1);
        QCOMPARE(authorities.currentText(), QString("0001 - Città Alfa"));
        QCOMPARE(companies.count(), 2);
    }

    void closingWithoutAChoiceRefillsForTheSelection()
    {
        LinesDialogFixture db;
        PickListCombo authorities, companies;
        connectCompanyCascade(db.connection.get(), &authorities, &companies);
        fillContractLists(db.connection.get(), &authorities, &companies, 1, 2);
        companies.clear();
        int closes = 0;
        connect(&authorities, &PickListCombo::dropDownClosed, this, [&] { ++closes; });
        // Escape, then a click outside the list: each closes it once.
        QAbstractItemView* list = openDropDown(&authorities);
        QTest::keyClick(list, Qt::Key_Escape);
        settleDropDown(list);
        QCOMPARE(closes, 1);
        QCOMPARE(entriesOf(&companies), QStringList({"0002 - Autolinee Rossi", "0001 - Società Trasporti"}));
        companies.clear();
        list = openDropDown(&authorities);
        // The pop-up has the mouse: a press outside its rectangle closes it.
        QTest::mouseClick(list->window(), Qt::LeftButton, Qt::NoModifier, QPoint(-20, -20));
        settleDropDown(list);
        QCOMPARE(closes, 2);
        QCOMPARE(companies.count(), 2);
        // Hiding a list that is not shown tells nothing.
        authorities.hidePopup();
        QTest::qWait(50);
        QCOMPARE(closes, 2);
    }

    void lineListsFollowTheContract()
    {
        LinesDialogFixture db;
        PickListCombo authorities, companies, lines;
        connectCompanyCascade(db.connection.get(), &authorities, &companies);
        connectLineCascade(db.connection.get(), &authorities, &companies, &lines, LineListForm::ById);
        fillContractLists(db.connection.get(), &authorities, &companies, 1, -1);
        fillContractLineList(db.connection.get(), &lines, LineListForm::ById, 1, -1);
        QCOMPARE(lines.count(), 0);
        fillContractLineList(db.connection.get(), &lines, LineListForm::ByCode, 1, 1);
        QCOMPARE(entriesOf(&lines), QStringList({"A          - Prima", "B          - "}));

        chooseEntry(&companies, 0); // "0002 - Autolinee Rossi" of authority 1
        QCOMPARE(entriesOf(&lines), QStringList({"0001 - B"}));
        QCOMPARE(lines.currentIndex(), -1);
        chooseEntry(&companies, 1); // "0001 - Società Trasporti"
        QCOMPARE(entriesOf(&lines), QStringList({"0000 - A", "0001 - B"}));
        chooseEntry(&authorities, 0); // "0002 - Beta": its companies, then its lines
        chooseEntry(&companies, 0);
        QCOMPARE(entriesOf(&lines), QStringList({"0003 - Z"}));
    }
};

QTEST_MAIN(PickListComboTest)
#include "PickListComboTest.moc"
