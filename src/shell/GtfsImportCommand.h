#pragma once

// "Importa Feed GTFS..." of the "Database" menu: the feed (a .zip file, or
// any file of a feed's folder, which stands for the folder) and the new
// database file, each chosen with the system's file dialog.

#include <QString>

#include <optional>

class QWidget;

namespace korvan::shell {

struct GtfsImportChoice {
    QString feed;         // a .zip file or a folder
    QString target;       // the new SQLite file
    bool replace = false; // the user agreed to replace the file there
};

// The two file dialogs; nothing when either is cancelled.
std::optional<GtfsImportChoice> askGtfsImport(QWidget* parent);

// A file chosen in the feed dialog as the feed: a .zip stands for itself,
// any other file for its folder.
QString feedOfChosenFile(const QString& chosen);

} // namespace korvan::shell
