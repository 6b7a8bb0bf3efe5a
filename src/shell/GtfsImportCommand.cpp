#include "shell/GtfsImportCommand.h"

#include <QFileDialog>
#include <QFileInfo>

namespace korvan::shell {

QString feedOfChosenFile(const QString& chosen)
{
    const QFileInfo file(chosen);
    if (file.isDir() || file.suffix().compare("zip", Qt::CaseInsensitive) == 0)
        return chosen;
    return file.absolutePath();
}

std::optional<GtfsImportChoice> askGtfsImport(QWidget* parent)
{
    QFileDialog feedDialog(parent, "Selezione del Feed GTFS (file .zip, o un file della cartella del feed)");
    feedDialog.setFileMode(QFileDialog::ExistingFile);
    feedDialog.setAcceptMode(QFileDialog::AcceptOpen);
    feedDialog.setNameFilters({"Feed GTFS (*.zip *.txt)", "Tutti i files (*.*)"});
    if (feedDialog.exec() != QDialog::Accepted || feedDialog.selectedFiles().isEmpty())
        return std::nullopt;
    GtfsImportChoice choice;
    choice.feed = feedOfChosenFile(feedDialog.selectedFiles().first());

    QFileDialog targetDialog(parent, "Nuovo Database delle Corse");
    targetDialog.setFileMode(QFileDialog::AnyFile);
    targetDialog.setAcceptMode(QFileDialog::AcceptSave);
    targetDialog.setNameFilters({"Database SQLite (*.sqlite *.sqlite3 *.db)", "Tutti i files (*.*)"});
    targetDialog.setDefaultSuffix("sqlite");
    if (targetDialog.exec() != QDialog::Accepted || targetDialog.selectedFiles().isEmpty())
        return std::nullopt;
    choice.target = targetDialog.selectedFiles().first();
    // The dialog has asked whether to replace a file that is there.
    choice.replace = QFileInfo::exists(choice.target);
    return choice;
}

} // namespace korvan::shell
