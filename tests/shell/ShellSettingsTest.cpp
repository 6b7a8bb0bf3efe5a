// The settings store: defaults, round trip, values of the wrong kind, a store
// that cannot be opened, the defaults for every user, and where they live.

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

QString writeRawStore(const TempDir& dir, const QByteArray& text, const std::string& name = "KORVAN.ini")
{
    const QString path = QString::fromStdString(dir.file(name));
    QDir().mkpath(QFileInfo(path).absolutePath());
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

QByteArray fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Sets an environment variable for the length of a scope.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const QByteArray& value) : name_(name), saved_(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedVariable()
    {
        if (saved_.isNull())
            qunsetenv(name_);
        else
            qputenv(name_, saved_);
    }

  private:
    const char* name_;
    QByteArray saved_;
};

const QByteArray kSystemDefaults = "[1.00]\n"
                                   "Database=/srv/dati/runs.sqlite\n"
                                   "DsnOdbc=\n"
                                   "RowSzAlfa=50\n"
                                   "RowSzBlob=2\n";

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

    void withoutTheirOwnFileAUserStartsFromTheDefaultsAndGetsTheirFileAtExit()
    {
        TempDir dir;
        const QString defaults = writeRawStore(dir, kSystemDefaults, "etc/xdg/KORVAN/KORVAN.ini");
        const QString own = QString::fromStdString(dir.file("home/.config/KORVAN/KORVAN.ini"));
        const SettingsStore store(own, defaults);
        RecordingMessageSink sink;
        StoredSettings values;
        QVERIFY(store.load(values, sink));
        QVERIFY(sink.empty());
        QCOMPARE(values.sqlitePath, std::string("/srv/dati/runs.sqlite"));
        QCOMPARE(values.rowsetSizeOrdinary, 50);
        QCOMPARE(values.rowsetSizeBlob, 2);
        QVERIFY(!QFileInfo::exists(own));

        // The first exit writes the user's own file (and its folder); the
        // defaults stay as they were.
        QVERIFY(store.save(someSettings()));
        QCOMPARE(fileText(defaults), kSystemDefaults);
        QCOMPARE(storedValue(own, "RowSzAlfa").toInt(), 40);
        QCOMPARE(storedValue(own, "Database").toString(), QString::fromUtf8("/srv/dati/Città, nuova/runs.sqlite"));

        // From then on the user's file counts.
        values = StoredSettings{};
        QVERIFY(store.load(values, sink));
        QCOMPARE(values.odbcDsn, std::string("korvan_pg"));
        QCOMPARE(values.rowsetSizeBlob, 3);
    }

    void theUsersOwnFileWinsAndABrokenOneIsNotHiddenByTheDefaults()
    {
        TempDir dir;
        const QString defaults = writeRawStore(dir, kSystemDefaults, "defaults.ini");
        const SettingsStore store(writeRawStore(dir, "[1.00]\nRowSzAlfa=7\n"), defaults);
        RecordingMessageSink sink;
        StoredSettings values;
        QVERIFY(store.load(values, sink));
        QCOMPARE(values.rowsetSizeOrdinary, 7);
        QCOMPARE(values.sqlitePath, std::string());

        // A user's "file" that cannot be read is reported as the store's fault.
        TempDir brokenDir;
        const QString broken = QString::fromStdString(brokenDir.file("KORVAN.ini"));
        QVERIFY(QDir().mkpath(broken));
        const SettingsStore brokenStore(broken, defaults);
        sink.clear();
        values = someSettings();
        QVERIFY(!brokenStore.load(values, sink));
        QCOMPARE(sink.entries.size(), std::size_t(1));
        QCOMPARE(sink.entries[0].text, std::string(shell::kSettingsStoreMissingMessage));
        QCOMPARE(values.rowsetSizeOrdinary, 40);
        QVERIFY(!brokenStore.save(someSettings()));
        QCOMPARE(fileText(defaults), kSystemDefaults);
    }

    void withNeitherFileTheStoreIsMissingAndNothingIsCreated()
    {
        TempDir dir;
        const QString own = QString::fromStdString(dir.file("home/KORVAN/KORVAN.ini"));
        const SettingsStore store(own, QString::fromStdString(dir.file("etc/KORVAN/KORVAN.ini")));
        RecordingMessageSink sink;
        StoredSettings values = someSettings();
        QVERIFY(!store.load(values, sink));
        QCOMPARE(sink.entries.size(), std::size_t(1));
        QCOMPARE(sink.entries[0].text, std::string(shell::kSettingsStoreMissingMessage));
        QCOMPARE(values.sqlitePath, someSettings().sqlitePath);
        QVERIFY(!store.save(someSettings()));
        QVERIFY(!QFileInfo::exists(QString::fromStdString(dir.file("home"))));
    }

    void aUserFileThatCannotBeCreatedLeavesNothingBehind()
    {
        TempDir dir;
        const QString defaults = writeRawStore(dir, kSystemDefaults, "defaults.ini");
        // The user's configuration folder would have to be made inside a file.
        const QString own = QString::fromStdString(dir.file("defaults.ini/KORVAN/KORVAN.ini"));
        const SettingsStore store(own, defaults);
        QVERIFY(!store.save(someSettings()));
        QCOMPARE(fileText(defaults), kSystemDefaults);
    }

    void theDefaultsAreInTheFirstSystemFolderThatHasThem()
    {
        TempDir dir;
        const std::string first = dir.file("first");
        const std::string second = dir.file("second");
        const ScopedVariable home("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.file("home")));
        const ScopedVariable folders("XDG_CONFIG_DIRS", QByteArray::fromStdString(first + ":" + second));
        QCOMPARE(SettingsStore::defaultsFilePath(), QString::fromStdString(first + "/KORVAN/KORVAN.ini"));
        writeRawStore(dir, kSystemDefaults, "second/KORVAN/KORVAN.ini");
        QCOMPARE(SettingsStore::defaultsFilePath(), QString::fromStdString(second + "/KORVAN/KORVAN.ini"));
        const SettingsStore standard = SettingsStore::standard();
        QCOMPARE(standard.filePath(), QString::fromStdString(dir.file("home") + "/KORVAN/KORVAN.ini"));
        QCOMPARE(standard.defaultsFile(), QString::fromStdString(second + "/KORVAN/KORVAN.ini"));
        {
            const ScopedVariable none("XDG_CONFIG_DIRS", "");
            QCOMPARE(SettingsStore::defaultsFilePath(), QString("/etc/xdg/KORVAN/KORVAN.ini"));
        }
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
