// "Editing Linee Normalizzate": what is enabled when, and what OK, Annulla,
// Escape and the close button do.

#include "support/WindowRequests.h"
#include "ui/LinesDialogFixture.h"

#include "ui/common/PickListCombo.h"
#include "ui/lines/LineEditDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

using namespace korvan;
using namespace korvan::test;
using korvan::ui::lines::LineEditDialog;

class LineEditDialogTest : public QObject {
    Q_OBJECT

  private:
    static bool editing(const LineEditDialog& dialog)
    {
        const bool on = dialog.codeEdit()->isEnabled();
        // The two edits and OK/Annulla always switch together; ID never.
        if (dialog.nameEdit()->isEnabled() != on || dialog.okButton()->isEnabled() != on ||
            dialog.cancelButton()->isEnabled() != on || dialog.idEdit()->isEnabled())
            qFatal("inconsistent enabling");
        return on;
    }

  private slots:
    void opensWithAuthoritiesOnlyAndNothingToEdit()
    {
        LinesDialogFixture db;
        QVERIFY(db.ok);
        LineEditDialog dialog(db.connection.get());
        QCOMPARE(entriesOf(dialog.authorityList()), QStringList({"0002 - Beta", "0001 - Città Alfa"}));
        QCOMPARE(dialog.lineList()->count(), 0);
        QVERIFY(!editing(dialog));
        QVERIFY(dialog.doneButton()->isEnabled());
        QCOMPARE(dialog.codeEdit()->maxLength(), 10);
        QCOMPARE(dialog.nameEdit()->maxLength(), 120);
        QCOMPARE(dialog.windowTitle(), QString("Editing Linee Normalizzate"));
    }

    void choosingAuthorityThenLineLoadsTheLineForEditing()
    {
        LinesDialogFixture db;
        LineEditDialog dialog(db.connection.get());
        chooseEntry(dialog.authorityList(), 1);
        QCOMPARE(entriesOf(dialog.lineList()), QStringList({"0000 - A", "0001 - B", "0002 - C"}));
        QVERIFY(!editing(dialog));
        // Closing the list without a choice changes nothing.
        chooseEntry(dialog.lineList(), -1);
        QVERIFY(!editing(dialog));
        QCOMPARE(dialog.idEdit()->text(), QString());

        chooseEntry(dialog.lineList(), 0);
        QCOMPARE(dialog.idEdit()->text(), QString("0000"));
        QCOMPARE(dialog.codeEdit()->text(), QString("A"));
        QCOMPARE(dialog.nameEdit()->text(), QString("Prima"));
        QVERIFY(editing(dialog));
    }

    void okStoresCodeAndNameAndEndsTheEdit()
    {
        LinesDialogFixture db;
        LineEditDialog dialog(db.connection.get());
        chooseEntry(dialog.authorityList(), 1);
        chooseEntry(dialog.lineList(), 0);
        dialog.codeEdit()->clear();
        QTest::keyClicks(dialog.codeEdit(), "SANT'ANNA-NORD");
        QCOMPARE(dialog.codeEdit()->text(), QString("SANT'ANNA-")); // ten characters at most
        dialog.nameEdit()->setText("Via dell'Orto");
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QCOMPARE(db.query("SELECT linea || '|' || denom FROM linee WHERE ID = 0"),
                 std::string("SANT'ANNA-|Via dell'Orto"));
        QCOMPARE(db.query("SELECT COUNT(*) FROM conline WHERE linea = 0"), std::string("1"));
        QVERIFY(!editing(dialog));
        QCOMPARE(dialog.idEdit()->text(), QString());
        QCOMPARE(dialog.codeEdit()->text(), QString());
        // The line list still shows the old code until it is refilled.
        QCOMPARE(dialog.lineList()->itemText(0), QString("0000 - A"));
        QVERIFY(db.sink.empty());
    }

    void emptyCodeIsWritten()
    {
        LinesDialogFixture db;
        LineEditDialog dialog(db.connection.get());
        chooseEntry(dialog.authorityList(), 1);
        chooseEntry(dialog.lineList(), 1);
        dialog.codeEdit()->clear();
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QCOMPARE(db.query("SELECT COALESCE(linea, '') FROM linee WHERE ID = 1"), std::string(""));
    }

    void annullaDropsTheEditButKeepsTheDialog()
    {
        LinesDialogFixture db;
        LineEditDialog dialog(db.connection.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        chooseEntry(dialog.authorityList(), 1);

        chooseEntry(dialog.lineList(), 2);
        QVERIFY(editing(dialog));
        QCOMPARE(dialog.nameEdit()->text(), QString());
        dialog.codeEdit()->setText("changed");
        QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
        QVERIFY(!editing(dialog));
        QCOMPARE(dialog.codeEdit()->text(), QString());
        QCOMPARE(db.query("SELECT linea FROM linee WHERE ID = 2"), std::string("C"));
        QVERIFY(dialog.isVisible());

        QTest::mouseClick(dialog.doneButton(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void escapeAndTheCloseButtonCloseAsFineWithoutStoring_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close button") << false;
    }

    void escapeAndTheCloseButtonCloseAsFineWithoutStoring()
    {
        QFETCH(bool, escape);
        LinesDialogFixture db;
        LineEditDialog dialog(db.connection.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        chooseEntry(dialog.authorityList(), 1);
        chooseEntry(dialog.lineList(), 2);
        dialog.codeEdit()->setText("changed");
        requestClose(&dialog, escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(db.query("SELECT linea FROM linee WHERE ID = 2"), std::string("C"));
    }

    void aLineDeletedMeanwhileLeavesTheFieldsAlone()
    {
        LinesDialogFixture db;
        LineEditDialog dialog(db.connection.get());
        chooseEntry(dialog.authorityList(), 1);
        QVERIFY(db.query("SELECT COUNT(*) FROM linee") == "4");
        tools::RawDatabase::sqliteFile(db.dir.file("runs.db")).exec("DELETE FROM linee WHERE ID = 1");
        chooseEntry(dialog.lineList(), 1);
        QCOMPARE(dialog.idEdit()->text(), QString("0001"));
        QVERIFY(!editing(dialog));
        QVERIFY(db.sink.empty());
    }
};

QTEST_MAIN(LineEditDialogTest)
#include "LineEditDialogTest.moc"
