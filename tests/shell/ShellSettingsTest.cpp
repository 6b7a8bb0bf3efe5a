// The settings store: defaults, round trip, values of the wrong kind, a store
// that cannot be opened, and where it lives.

#include "ShellTestSupport.h"
#include "support/RecordingMessageSink.h"

#include "shell/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace korvan;
using namespace korvan::test;
using korvan::shell::SettingsStore;
using korvan::shell::StoredSettings;

namespace {

QString writeRawStore(const TempDir& dir, const QByteArray& text)
{
    const QString path = QString::fromStdString(dir.file("KORVAN.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the store");
    file.write(text);
    return path;
}

StoredSettings someSettings()
{
    return StoredSettings{"/srv/dati/Città, nuova/runs.sqlite", "korvan_pg", 40, 3};
}

} // namespace

class ShellSettingsTest : public QObject {
    Q_OBJECT

  private slots:
    void missingStoreShowsTheLongMessageAndKeepsTheValues()
    {
        TempDir dir;
        const SettingsStore store(QString::fromStdString(dir.file("KORVAN.ini")));
        RecordingMessageSink sink;
        StoredSettings values = someSettings();
        QVERIFY(!store.load(values, sink));
        QCOMPARE(sink.entries.size(), std::size_t(1));
        QCOMPARE(sink.entries[0].icon, MessageIcon::Error);
        QCOMPARE(sink.entries[0].text, std::string("ATTENZIONE: è stata riscontrata una anomalia grave\n"
                                                   "che rende impossibile il corretto funzionamento di\n"
                                                   "questo programma.\n\n"
                                                   "Ipotesi A) Il prodotto non è stato installato nella\n"
                                                   "           maniera corretta, utilizzando Setup.\n\n"
                                                   "Ipotesi B) Il file di configurazione KORVAN.ini\n"
                                                   "           si è corrotto e deve essere ripristinato.\n\n"));
        QCOMPARE(values.sqlitePath, someSettings().sqlitePath);
        QCOMPARE(values.rowsetSizeOrdinary, 40);
    }

    void aStoreThatIsNotAFileCannotBeOpened()
    {
        TempDir dir;
        const QString path = QString::fromStdString(dir.file("KORVAN.ini"));
        QVERIFY(QDir().mkpath(path));
        const SettingsStore store(path);
        RecordingMessageSink sink;
        StoredSettings values;
        QVERIFY(!store.load(values, sink));
        QCOMPARE(sink.entries.size(), std::size_t(1));
        QVERIFY(!store.save(someSettings()));
    }

    void emptyStoreGivesTheDefaultsSilently()
    {
        TempDir dir;
        const SettingsStore store(writeRawStore(dir, ""));
        RecordingMessageSink sink;
        StoredSettings values;
        QVERIFY(store.load(values, sink));
        QVERIFY(sink.empty());
        QCOMPARE(values.sqlitePath, std::string());
        QCOMPARE(values.odbcDsn, std::string());
        QCOMPARE(values.rowsetSizeOrdinary, 25);
        QCOMPARE(values.rowsetSizeBlob, 1);
    }

    void savedValuesReadBackEqual()
    {
        TempDir dir;
        const SettingsStore store(writeRawStore(dir, ""));
        QVERIFY(store.save(someSettings()));
        RecordingMessageSink sink;
        StoredSettings values;
        QVERIFY(store.load(values, sink));
        QCOMPARE(values.sqlitePath, someSettings().sqlitePath);
        QCOMPARE(values.odbcDsn, std::string("korvan_pg"));
        QCOMPARE(values.rowsetSizeOrdinary, 40);
        QCOMPARE(values.rowsetSizeBlob, 3);
        QCOMPARE(storedValue(store.filePath(), "RowSzAlfa").toString(), QString("40"));

        // Cleared texts are written as empty texts, not left out.
        QVERIFY(store.save(StoredSettings{"", "", 100000, 1}));
        values = someSettings();
        QVERIFY(store.load(values, sink));
        QVERIFY(sink.empty());
        QCOMPARE(values.sqlitePath, std::string());
        QCOMPARE(values.odbcDsn, std::string());
        QCOMPARE(values.rowsetSizeOrdinary, 100000);
    }

    void valuesOfTheWrongKindKeepTheFields()
    {
        TempDir dir;
        const QByteArray tooLong(3000, 'x');
        const SettingsStore store(writeRawStore(dir, "[1.00]\n"
                                                     "Database=/a/b,/c/d\n"
                                                     "DsnOdbc=" +
                                                         tooLong +
                                                         "\n"
                                                         "RowSzAlfa=abc\n"
                                                         "RowSzBlob=1.5\n"));
        RecordingMessageSink sink;
        StoredSettings values = someSettings();
        QVERIFY(store.load(values, sink));
        QVERIFY(sink.empty());
        QCOMPARE(values.sqlitePath, someSettings().sqlitePath);
        QCOMPARE(values.odbcDsn, std::string("korvan_pg"));
        QCOMPARE(values.rowsetSizeOrdinary, 40);
        QCOMPARE(values.rowsetSizeBlob, 3);
    }

    void numbersAndTextsInTheStoreAreTaken()
    {
        TempDir dir;
        const SettingsStore store(writeRawStore(dir, "[1.00]\n"
                                                     "Database=\"/dati/a,b.sqlite\"\n"
                                                     "DsnOdbc=\n"
                                                     "RowSzAlfa=+1\n"
                                                     "RowSzBlob= 12\n"));
        RecordingMessageSink sink;
        StoredSettings values = someSettings();
        QVERIFY(store.load(values, sink));
        QVERIFY(sink.empty());
        QCOMPARE(values.sqlitePath, std::string("/dati/a,b.sqlite"));
        QCOMPARE(values.odbcDsn, std::string());
        QCOMPARE(values.rowsetSizeOrdinary, 1);
        QCOMPARE(values.rowsetSizeBlob, 12);
    }

    void blockSizesOutOfRangeGiveTheDefaultsWithOneMessage()
    {
        TempDir dir;
        // Blocks of 999999999 rows exhausted the memory of every block fetch.
        const SettingsStore store(writeRawStore(dir, "[1.00]\n"
                                                     "RowSzAlfa=999999999\n"
                                                     "RowSzBlob=-2147483648\n"));
        RecordingMessageSink sink;
        StoredSettings values = someSettings();
        QVERIFY(store.load(values, sink));
        QCOMPARE(values.rowsetSizeOrdinary, 25);
        QCOMPARE(values.rowsetSizeBlob, 1);
        QCOMPARE(sink.entries.size(), std::size_t(1));
        QCOMPARE(sink.entries[0].icon, MessageIcon::Error);
        QCOMPARE(sink.entries[0].text,
                 std::string("ATTENZIONE: Il file di configurazione KORVAN.ini contiene una dimensione\n"
                             "del rowset fuori dall'intervallo ammesso (da 1 a 100000).\n\n"
                             "RowSzAlfa=999999999: viene usato il valore predefinito 25.\n"
                             "RowSzBlob=-2147483648: viene usato il valore predefinito 1.\n\n"));

        // Just outside on either side, and beyond any integer type.
        TempDir edgesDir;
        const SettingsStore edges(writeRawStore(edgesDir, "[1.00]\n"
                                                          "RowSzAlfa=0\n"
                                                          "RowSzBlob=100001\n"));
        sink.clear();
        values = someSettings();
        QVERIFY(edges.load(values, sink));
        QCOMPARE(values.rowsetSizeOrdinary, 25);
        QCOMPARE(values.rowsetSizeBlob, 1);
        QCOMPARE(sink.entries.size(), std::size_t(1));
        QVERIFY(sink.entries[0].text.find("RowSzAlfa=0: viene usato il valore predefinito 25.\n") != std::string::npos);
        QVERIFY(sink.entries[0].text.find("RowSzBlob=100001: viene usato il valore predefinito 1.\n") !=
                std::string::npos);

        TempDir hugeDir;
        const SettingsStore huge(writeRawStore(hugeDir, "[1.00]\nRowSzAlfa=123456789012345678901234567890\n"));
        sink.clear();
        values = someSettings();
        QVERIFY(huge.load(values, sink));
        QCOMPARE(values.rowsetSizeOrdinary, 25);
        QCOMPARE(values.rowsetSizeBlob, 3);
        QCOMPARE(sink.entries.size(), std::size_t(1));
        QVERIFY(sink.entries[0].text.find("RowSzAlfa=123456789012345678901234567890: viene") != std::string::npos);
    }

    void savingToAMissingStoreCreatesNothing()
    {
        TempDir dir;
        const QString path = QString::fromStdString(dir.file("KORVAN.ini"));
        const SettingsStore store(path);
        QVERIFY(!store.save(someSettings()));
        QVERIFY(!QFileInfo::exists(path));
    }

    void theStoreLivesInTheUsersConfigurationFolder()
    {
        TempDir dir;
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.path()));
        const QString path = SettingsStore::defaultFilePath();
        if (saved.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", saved);
        QCOMPARE(path, QString::fromStdString(dir.path()) + "/KORVAN/KORVAN.ini");
    }
};

QTEST_MAIN(ShellSettingsTest)
#include "ShellSettingsTest.moc"
