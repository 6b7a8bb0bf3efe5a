#include "shell/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <optional>

namespace korvan::shell {

const char* const kSettingsStoreMissingMessage = "ATTENZIONE: è stata riscontrata una anomalia grave\n"
                                                 "che rende impossibile il corretto funzionamento di\n"
                                                 "questo programma.\n\n"
                                                 "Ipotesi A) Il prodotto non è stato installato nella\n"
                                                 "           maniera corretta, utilizzando Setup.\n\n"
                                                 "Ipotesi B) Il file di configurazione KORVAN.ini\n"
                                                 "           si è corrotto e deve essere ripristinato.\n\n";

const char* const kRowsetSizeOutOfRangeMessage =
    "ATTENZIONE: Il file di configurazione KORVAN.ini contiene una dimensione\n"
    "del rowset fuori dall'intervallo ammesso (da 1 a 100000).\n\n";

namespace {

// Values were read into a buffer of this many bytes, terminator included.
constexpr qsizetype kValueBufferBytes = 2048;

const char* const kDatabaseKey = "Database";
const char* const kDsnKey = "DsnOdbc";
const char* const kRowsetOrdinaryKey = "RowSzAlfa";
const char* const kRowsetBlobKey = "RowSzBlob";

void readText(const QSettings& settings, const char* key, std::string& field)
{
    const QVariant value = settings.value(key);
    // An unquoted text holding commas comes back as a list: not one text.
    if (!value.isValid() || value.typeId() != QMetaType::QString)
        return;
    const QByteArray utf8 = value.toString().toUtf8();
    if (utf8.size() + 1 > kValueBufferBytes)
        return;
    field = utf8.toStdString();
}

// The stored text of a whole number; nothing when absent or of another kind.
std::optional<QString> readWholeNumber(const QSettings& settings, const char* key)
{
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return std::nullopt;
    QString text;
    if (value.typeId() == QMetaType::QString)
        text = value.toString().trimmed();
    else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
             value.typeId() == QMetaType::UInt)
        text = value.toString();
    static const QRegularExpression wholeNumber("^[+-]?[0-9]+$");
    if (!wholeNumber.match(text).hasMatch())
        return std::nullopt;
    return text;
}

// Takes a stored block size within the accepted range. One outside it (even
// beyond 64 bits) gives the field its default and a line for the message.
void readRowsetSize(const QSettings& settings, const char* key, int defaultSize, int& field, std::string& refused)
{
    const std::optional<QString> text = readWholeNumber(settings, key);
    if (!text)
        return;
    bool ok = false;
    const qlonglong number = text->toLongLong(&ok);
    if (ok && number >= kMinStoredRowsetSize && number <= kMaxStoredRowsetSize) {
        field = static_cast<int>(number);
        return;
    }
    field = defaultSize;
    refused += std::string(key) + "=" + text->toStdString() + ": viene usato il valore predefinito " +
               QByteArray::number(defaultSize).toStdString() + ".\n";
}

bool isOpenable(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return false;
    QSettings settings(path, QSettings::IniFormat);
    return settings.status() == QSettings::NoError;
}

const char* const kStoreInFolder = "/KORVAN/KORVAN.ini";

} // namespace

SettingsStore::SettingsStore(QString filePath, QString defaultsFilePath)
    : filePath_(std::move(filePath)), defaultsFilePath_(std::move(defaultsFilePath))
{
}

SettingsStore SettingsStore::standard()
{
    return SettingsStore(defaultFilePath(), defaultsFilePath());
}

QString SettingsStore::defaultFilePath()
{
    // GenericConfigLocation honours XDG_CONFIG_HOME and falls back to ~/.config.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + kStoreInFolder;
}

QString SettingsStore::defaultsFilePath()
{
    // After the user's folder come those of XDG_CONFIG_DIRS (or /etc/xdg).
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    folders.removeAll(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    if (folders.isEmpty())
        folders.append("/etc/xdg");
    for (const QString& folder : folders)
        if (QFileInfo::exists(folder + kStoreInFolder))
            return folder + kStoreInFolder;
    return folders.first() + kStoreInFolder;
}

QString SettingsStore::fileToRead() const
{
    const bool userFileExists = QFileInfo::exists(filePath_) || QFileInfo(filePath_).isSymLink();
    const QString path = userFileExists || defaultsFilePath_.isEmpty() ? filePath_ : defaultsFilePath_;
    return isOpenable(path) ? path : QString();
}

bool SettingsStore::load(StoredSettings& values, MessageSink& sink) const
{
    const QString path = fileToRead();
    if (path.isEmpty()) {
        sink.showMessage(kSettingsStoreMissingMessage, MessageIcon::Error);
        return false;
    }
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    readText(settings, kDatabaseKey, values.sqlitePath);
    readText(settings, kDsnKey, values.odbcDsn);
    const StoredSettings defaults;
    std::string refused;
    readRowsetSize(settings, kRowsetOrdinaryKey, defaults.rowsetSizeOrdinary, values.rowsetSizeOrdinary, refused);
    readRowsetSize(settings, kRowsetBlobKey, defaults.rowsetSizeBlob, values.rowsetSizeBlob, refused);
    if (!refused.empty())
        sink.showMessage(kRowsetSizeOutOfRangeMessage + refused + "\n", MessageIcon::Error);
    return true;
}

bool SettingsStore::save(const StoredSettings& values) const
{
    const QString path = fileToRead();
    if (path.isEmpty())
        return false;
    // After a start from the defaults the user's own file is created.
    const bool creating = path != filePath_;
    if (creating ? !QDir().mkpath(QFileInfo(filePath_).absolutePath()) : !QFileInfo(filePath_).isWritable())
        return false;
    QSettings settings(filePath_, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    settings.setValue(kDatabaseKey, QString::fromStdString(values.sqlitePath));
    settings.setValue(kDsnKey, QString::fromStdString(values.odbcDsn));
    settings.setValue(kRowsetOrdinaryKey, values.rowsetSizeOrdinary);
    settings.setValue(kRowsetBlobKey, values.rowsetSizeBlob);
    settings.endGroup();
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    // A file left half written would hide the defaults at the next start.
    if (creating)
        QFile::remove(filePath_);
    return false;
}

} // namespace korvan::shell
