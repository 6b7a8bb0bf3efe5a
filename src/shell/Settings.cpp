#include "shell/Settings.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <cstdint>
#include <limits>

namespace korvan::shell {

const char* const kSettingsStoreMissingMessage = "ATTENZIONE: è stata riscontrata una anomalia grave\n"
                                                 "che rende impossibile il corretto funzionamento di\n"
                                                 "questo programma.\n\n"
                                                 "Ipotesi A) Il prodotto non è stato installato nella\n"
                                                 "           maniera corretta, utilizzando Setup.\n\n"
                                                 "Ipotesi B) Il file di configurazione KORVAN.ini\n"
                                                 "           si è corrotto e deve essere ripristinato.\n\n";

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

void readNumber(const QSettings& settings, const char* key, int& field)
{
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return;
    bool ok = false;
    qlonglong number = 0;
    if (value.typeId() == QMetaType::QString)
        number = value.toString().trimmed().toLongLong(&ok);
    else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
             value.typeId() == QMetaType::UInt)
        number = value.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<std::int32_t>::min() || number > std::numeric_limits<std::int32_t>::max())
        return;
    field = static_cast<int>(number);
}

} // namespace

SettingsStore::SettingsStore(QString filePath) : filePath_(std::move(filePath)) {}

QString SettingsStore::defaultFilePath()
{
    // GenericConfigLocation honours XDG_CONFIG_HOME and falls back to ~/.config.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/KORVAN/KORVAN.ini";
}

bool SettingsStore::isOpenable() const
{
    const QFileInfo info(filePath_);
    if (!info.isFile() || !info.isReadable())
        return false;
    QSettings settings(filePath_, QSettings::IniFormat);
    return settings.status() == QSettings::NoError;
}

bool SettingsStore::load(StoredSettings& values, MessageSink& sink) const
{
    if (!isOpenable()) {
        sink.showMessage(kSettingsStoreMissingMessage, MessageIcon::Error);
        return false;
    }
    QSettings settings(filePath_, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    readText(settings, kDatabaseKey, values.sqlitePath);
    readText(settings, kDsnKey, values.odbcDsn);
    readNumber(settings, kRowsetOrdinaryKey, values.rowsetSizeOrdinary);
    readNumber(settings, kRowsetBlobKey, values.rowsetSizeBlob);
    return true;
}

bool SettingsStore::save(const StoredSettings& values) const
{
    if (!isOpenable() || !QFileInfo(filePath_).isWritable())
        return false;
    QSettings settings(filePath_, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    settings.setValue(kDatabaseKey, QString::fromStdString(values.sqlitePath));
    settings.setValue(kDsnKey, QString::fromStdString(values.odbcDsn));
    settings.setValue(kRowsetOrdinaryKey, values.rowsetSizeOrdinary);
    settings.setValue(kRowsetBlobKey, values.rowsetSizeBlob);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace korvan::shell
