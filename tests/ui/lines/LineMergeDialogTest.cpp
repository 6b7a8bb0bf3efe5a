// "Fusione Linee Normalizzate": the order and texts of the refusals, the
// merge itself and what the lists show afterwards.

#include "support/RecordingMessageSink.h"
#include "support/WindowRequests.h"
#include "ui/LinesDialogFixture.h"

#include "ui/common/PickListCombo.h"
#include "ui/lines/LineMergeDialog.h"

#include <QApplication>
#include <QPushButton>

using namespace korvan;
using namespace korvan::test;
using korvan::ui::lines::LineMergeDialog;

namespace {

const std::string kBadAuthority = "ATTENZIONE: Il Codice Ente non è valido.\n\n"
                                  "Occorre selezionare un Codice Ente presente nella lista.\n\n";
const std::string kBadSource = "ATTENZIONE: Il codice della Linea da eliminare non è valido.\n\n"
                               "Occorre selezionare un Codice Linea presente nella lista.\n\n";
const std::string kBadTarget = "ATTENZIONE: Il codice della Linea che accetta le corse non è valido.\n\n"
                               "Occorre selezionare un Codice Linea presente nella lista.\n\n";
const std::string kSameLines = "ATTENZIONE: I codice delle due Linee non possono essere identici.";

} // namespace

class LineMergeDialogTest : public QObject {
    Q_OBJECT

  private:
    // Presses OK and returns the one message shown, checking its icon.
    static std::string pressOk(LineMergeDialog& dialog, RecordingMessageSink& sink)
    {
        sink.clear();
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        if (sink.entries.size() != 1)
            return "<" + std::to_string(sink.entries.size()) + " messages>";
        return sink.entries[0].text;
    }

  private slots:
    void opensWithAuthoritiesAndEmptyLineLists()
    {
        LinesDialogFixture db;
        QVERIFY(db.ok);
        LineMergeDialog dialog(db.connection.get(), db.sink);
        QCOMPARE(dialog.windowTitle(), QString("Fusione Linee Normalizzate"));
        QCOMPARE(entriesOf(dialog.authorityList()), QStringList({"0002 - Beta", "0001 - Città Alfa"}));
        QCOMPARE(dialog.sourceList()->count(), 0);
        QCOMPARE(dialog.targetList()->count(), 0);
        chooseEntry(dialog.authorityList(), 1);
        const QStringList lines{"0000 - A", "0001 - B", "0002 - C"};
        QCOMPARE(entriesOf(dialog.sourceList()), lines);
        QCOMPARE(entriesOf(dialog.targetList()), lines);
    }

    void refusalsComeInOrderAndChangeNothing()
    {
        LinesDialogFixture db;
        LineMergeDialog dialog(db.connection.get(), db.sink);
        chooseEntry(dialog.authorityList(), 1);

        typeInto(dialog.authorityList(), "Città Alfa");
        typeInto(dialog.sourceList(), "B");
        typeInto(dialog.targetList(), "B");
        QCOMPARE(pressOk(dialog, db.sink), kBadAuthority);
        QCOMPARE(db.sink.entries[0].icon, MessageIcon::Error);

        typeInto(dialog.authorityList(), "1");
        QCOMPARE(pressOk(dialog, db.sink), kBadSource);
        typeInto(dialog.sourceList(), "0001 - B");
        QCOMPARE(pressOk(dialog, db.sink), kBadTarget);
        typeInto(dialog.targetList(), "9");
        QCOMPARE(pressOk(dialog, db.sink), kBadTarget);
        typeInto(dialog.targetList(), "1");
        QCOMPARE(pressOk(dialog, db.sink), kSameLines);

        QCOMPARE(db.query("SELECT COUNT(*) FROM linee"), std::string("4"));
        QCOMPARE(db.query("SELECT COUNT(*) FROM conline WHERE linea = 1"), std::string("3"));
        QCOMPARE(dialog.sourceList()->currentText(), QString("0001 - B"));
    }

    void okMergesReportsAndRefillsBothLists()
    {
        LinesDialogFixture db;
        LineMergeDialog dialog(db.connection.get(), db.sink);
        chooseEntry(dialog.authorityList(), 1);
        chooseEntry(dialog.sourceList(), 1);
        // Typing the number without zeros chooses line 0000.
        typeInto(dialog.targetList(), "0");
        QCOMPARE(pressOk(dialog, db.sink), std::string("Trasferite 3 Corse"));
        QCOMPARE(db.sink.entries[0].icon, MessageIcon::Information);
        QCOMPARE(db.query("SELECT COUNT(*) FROM conline WHERE linea = 0"), std::string("4"));
        QCOMPARE(db.query("SELECT COUNT(*) FROM linee WHERE ID = 1"), std::string("0"));
        const QStringList lines{"0000 - A", "0002 - C"};
        QCOMPARE(entriesOf(dialog.sourceList()), lines);
        QCOMPARE(entriesOf(dialog.targetList()), lines);
        QCOMPARE(dialog.sourceList()->currentText(), QString());
        QCOMPARE(dialog.targetList()->currentText(), QString());
    }

    void annullaClearsTheChoiceButKeepsTheDialog()
    {
        LinesDialogFixture db;
        LineMergeDialog dialog(db.connection.get(), db.sink);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        chooseEntry(dialog.authorityList(), 1);
        chooseEntry(dialog.sourceList(), 1);
        QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
        QCOMPARE(dialog.authorityList()->currentText(), QString());
        QCOMPARE(dialog.authorityList()->count(), 2);
        QCOMPARE(dialog.sourceList()->count(), 0);
        QCOMPARE(dialog.targetList()->count(), 0);
        QCOMPARE(dialog.sourceList()->currentText(), QString());

        QVERIFY(dialog.isVisible());

        QTest::mouseClick(dialog.doneButton(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(db.sink.empty());
    }

    void escapeAndTheCloseButtonCloseAsFineWithoutMerging_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close button") << false;
    }

    void escapeAndTheCloseButtonCloseAsFineWithoutMerging()
    {
        QFETCH(bool, escape);
        LinesDialogFixture db;
        LineMergeDialog dialog(db.connection.get(), db.sink);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        chooseEntry(dialog.authorityList(), 0);
        chooseEntry(dialog.sourceList(), 0);
        chooseEntry(dialog.targetList(), 1);
        requestClose(&dialog, escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(db.query("SELECT COUNT(*) FROM linee"), std::string("4"));
        QVERIFY(db.sink.empty());
    }
};

QTEST_MAIN(LineMergeDialogTest)
#include "LineMergeDialogTest.moc"
