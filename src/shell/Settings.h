#pragma once

// The program's four settings and the INI file that keeps them.
//
// The store is an INI file (QSettings, IniFormat), by default
// $XDG_CONFIG_HOME/KORVAN/KORVAN.ini (~/.config/KORVAN/KORVAN.ini), with
// the values in the group "1.00":
//
//   [1.00]
//   Database=/home/anna/.local/share/KORVAN/demo.sqlite   (text)
//   DsnOdbc=                                              (text)
//   RowSzAlfa=25                                          (32-bit integer)
//   RowSzBlob=1                                           (32-bit integer)
//
// Installation creates the store: the Debian package installs the defaults
// for every user, /etc/xdg/KORVAN/KORVAN.ini (the first folder of
// $XDG_CONFIG_DIRS, where QSettings looks for system-wide settings). A user
// without a file of their own starts from those defaults, and their own file
// is written at exit. Without either the program warns and creates nothing.

#include "db/MessageSink.h"

#include <QString>

#include <string>

namespace korvan::shell {

struct StoredSettings {
    std::string sqlitePath;      // "Database"
    std::string odbcDsn;         // "DsnOdbc"
    int rowsetSizeOrdinary = 25; // "RowSzAlfa"
    int rowsetSizeBlob = 1;      // "RowSzBlob"
};

// The block sizes a stored value may have: the range korvan-batch accepts
// for --rowset. Larger blocks exhaust the memory of the block buffers.
inline constexpr int kMinStoredRowsetSize = 1;
inline constexpr int kMaxStoredRowsetSize = 100000;

// The long message shown when the store cannot be opened at start-up.
extern const char* const kSettingsStoreMissingMessage;
// The first paragraph of the message about stored block sizes out of range;
// a line "RowSzAlfa=999999999: viene usato il valore predefinito 25." per
// value follows.
extern const char* const kRowsetSizeOutOfRangeMessage;

class SettingsStore {
  public:
    static constexpr const char* kGroup = "1.00";

    // The user's file, and the defaults read while it does not exist (none:
    // only the user's file).
    explicit SettingsStore(QString filePath, QString defaultsFilePath = {});
    // The program's store: defaultFilePath() with defaultsFilePath().
    static SettingsStore standard();
    // $XDG_CONFIG_HOME/KORVAN/KORVAN.ini, or ~/.config/KORVAN/KORVAN.ini.
    static QString defaultFilePath();
    // KORVAN/KORVAN.ini in the first folder of $XDG_CONFIG_DIRS (default
    // /etc/xdg) that has one; in the first folder when none has.
    static QString defaultsFilePath();

    const QString& filePath() const { return filePath_; }
    const QString& defaultsFile() const { return defaultsFilePath_; }

    // Reads the four values over `values` from the user's file, or from the
    // defaults when the user's file does not exist. A value is taken only
    // when it is present and of the expected kind (a single text no longer than 2047
    // bytes; a whole number); otherwise the field keeps its value. A block
    // size outside kMinStoredRowsetSize..kMaxStoredRowsetSize is not taken
    // either: the field gets its default and one message names every such
    // value with the default used. When the store cannot be opened (neither
    // file, or the one to read is not a readable INI file) shows
    // kSettingsStoreMissingMessage, changes nothing and returns false.
    bool load(StoredSettings& values, MessageSink& sink) const;

    // Writes all four values, empty texts included, into the user's file; it
    // is created (with its folder) when it does not exist and the defaults
    // do. When the store does not exist or cannot be written, writes
    // nothing, says nothing and returns false.
    bool save(const StoredSettings& values) const;

  private:
    // The file load() reads: the user's, or the defaults while the user's
    // does not exist; empty when that one cannot be opened either.
    QString fileToRead() const;

    QString filePath_;
    QString defaultsFilePath_;
};

} // namespace korvan::shell
