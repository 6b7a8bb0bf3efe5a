// "Selezione DataSource": initial values, the three validations in their
// order, and the driver looked up for the chosen DSN.

#include "ShellTestSupport.h"
#include "support/RecordingMessageSink.h"

#include "shell/DataSourceDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace korvan;
using namespace korvan::test;
using korvan::shell::DataSourceDialog;

namespace {

const std::string kOrdinaryMissing = "Occorre indicare la dimensione del rowset per dati di tipo ordinario !!!";
const std::string kBlobMissing = "Occorre indicare la dimensione del rowset per dati di tipo BLOB !!!";
const std::string kDsnMissing = "Occorre specificare il DSN per potere effettuare la connessione ODBC.";

void fill(DataSourceDialog& dialog, const QString& dsn, const QString& ordinary, const QString& blob)
{
    dialog.dsnField()->setEditText(dsn);
    dialog.ordinarySizeField()->setText(ordinary);
    dialog.blobSizeField()->setText(blob);
}

void pressOk(DataSourceDialog& dialog)
{
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
}

bool stillOpen(const DataSourceDialog& dialog)
{
    return dialog.isVisible() && dialog.result() != QDialog::Accepted;
}

} // namespace

class ShellDataSourceDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void opensWithEmptyDsnAndDefaultSizes()
    {
        RecordingMessageSink sink;
        DataSourceDialog dialog(sink);
        QCOMPARE(dialog.windowTitle(), QString("Selezione DataSource"));
        QCOMPARE(dialog.dsnField()->currentText(), QString());
        QVERIFY(dialog.dsnField()->isEditable());
        QCOMPARE(dialog.ordinarySizeField()->text(), QString("25"));
        QCOMPARE(dialog.blobSizeField()->text(), QString("1"));
        QCOMPARE(dialog.ordinarySizeField()->maxLength(), 4);
        QCOMPARE(dialog.blobSizeField()->maxLength(), 4);
        QVERIFY(dialog.ordinarySizeField()->alignment() & Qt::AlignRight);
        QVERIFY(dialog.okButton()->isDefault());
        QCOMPARE(dialog.cancelButton()->text(), QString("Annulla"));
        QVERIFY(sink.empty());
    }

    void ordinarySizeThatIsNotANumberIsRefusedFirst()
    {
        RecordingMessageSink sink;
        DataSourceDialog dialog(sink);
        dialog.show();
        // Every field is wrong: only the first check speaks.
        fill(dialog, "", "abc", "0");
        pressOk(dialog);
        QCOMPARE(sink.entries.size(), std::size_t(1));
        QCOMPARE(sink.entries[0].text, kOrdinaryMissing);
        QCOMPARE(sink.entries[0].icon, MessageIcon::Error);
        QVERIFY(stillOpen(dialog));
        // The entered values stay.
        QCOMPARE(dialog.ordinarySizeField()->text(), QString("abc"));
    }

    void blobSizeIsCheckedSecond()
    {
        RecordingMessageSink sink;
        DataSourceDialog dialog(sink);
        dialog.show();
        fill(dialog, "", "10", "x");
        pressOk(dialog);
        QCOMPARE(sink.entries.size(), std::size_t(1));
        QCOMPARE(sink.lastText(), kBlobMissing);
        QVERIFY(stillOpen(dialog));
    }

    void dsnIsCheckedLast()
    {
        RecordingMessageSink sink;
        DataSourceDialog dialog(sink);
        dialog.show();
        fill(dialog, "", "10", "2");
        pressOk(dialog);
        QCOMPARE(sink.entries.size(), std::size_t(1));
        QCOMPARE(sink.lastText(), kDsnMissing);
        QVERIFY(stillOpen(dialog));
    }

    void negativeSizeAndUnknownDsnPassWithAnEmptyDriver()
    {
        RecordingMessageSink sink;
        DataSourceDialog dialog(sink);
        dialog.show();
        fill(dialog, "korvan_typed_dsn", "-5", "3");
        pressOk(dialog);
        QVERIFY(sink.empty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.choice().dsn, std::string("korvan_typed_dsn"));
        QCOMPARE(dialog.choice().driver, std::string());
        QCOMPARE(dialog.choice().rowsetSizeOrdinary, -5);
        QCOMPARE(dialog.choice().rowsetSizeBlob, 3);
    }

    void leadingDigitsCountAsTheSize()
    {
        RecordingMessageSink sink;
        DataSourceDialog dialog(sink);
        dialog.show();
        fill(dialog, "x", "12ab", "7");
        pressOk(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.choice().rowsetSizeOrdinary, 12);
    }

    void listedDataSourceCarriesItsDriverDescription()
    {
        const std::string dsn = sqliteOdbcDsn();
        if (dsn.empty()) {
            if (odbcRequired())
                QFAIL("KORVAN_TEST_SQLITE_DSN is not set");
            QSKIP("no ODBC data sources configured");
        }
        RecordingMessageSink sink;
        DataSourceDialog dialog(sink);
        dialog.show();
        const int index = dialog.dsnField()->findText(QString::fromStdString(dsn));
        QVERIFY(index >= 0);
        if (!postgresDsn().empty())
            QVERIFY(dialog.dsnField()->findText(QString::fromStdString(postgresDsn())) >= 0);
        dialog.dsnField()->setCurrentIndex(index);
        pressOk(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.choice().dsn, dsn);
        QCOMPARE(dialog.choice().driver, std::string("SQLite3"));
        QCOMPARE(dialog.choice().rowsetSizeOrdinary, 25);

        // Names are compared exactly: another letter case is not listed.
        DataSourceDialog upper(sink);
        upper.show();
        fill(upper, QString::fromStdString(dsn).toUpper(), "25", "1");
        pressOk(upper);
        QCOMPARE(upper.result(), int(QDialog::Accepted));
        QCOMPARE(upper.choice().driver, std::string());
    }
};

QTEST_MAIN(ShellDataSourceDialogTest)
#include "ShellDataSourceDialogTest.moc"
