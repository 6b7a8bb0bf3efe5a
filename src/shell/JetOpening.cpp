#include "shell/JetOpening.h"

#include "transfer/DatabaseCopy.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <cctype>
#include <filesystem>
#include <fstream>

namespace korvan::shell {

namespace {

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A JET or ACE file begins with the engine's name after four bytes.
bool hasJetSignature(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    char page[19] = {0};
    in.read(page, sizeof page);
    const std::string name(page + 4, 15);
    return in && (name == "Standard Jet DB" || name == "Standard ACE DB");
}

} // namespace

bool isJetFileName(const std::string& path)
{
    const std::string name = lower(path);
    return endsWith(name, ".mdb") || endsWith(name, ".accdb");
}

std::string proposedCopyPath(const std::string& jetPath)
{
    return std::filesystem::path(jetPath).replace_extension(".sqlite").string();
}

QString JetOpening::noticeText(const std::string& jetPath, const std::string& copyPath, bool copyExists)
{
    QString text = QString("Il file %1 è un database JET (Access).\n\n"
                           "KORVAN legge questo file senza mai modificarlo: per lavorarci ne fa una copia in un "
                           "file SQLite e si connette alla copia.\n\n")
                       .arg(QString::fromStdString(jetPath));
    if (copyExists)
        return text + QString("Una copia esiste già:\n%1").arg(QString::fromStdString(copyPath));
    return text + QString("La copia sarà creata in:\n%1").arg(QString::fromStdString(copyPath));
}

QString JetOpening::doneText(const std::string& jetPath, const std::string& copyPath, int tables, long rows)
{
    return QString("Copia completata e verificata: %1 tavole, %2 righe.\n\n"
                   "KORVAN lavora ora sulla copia %3; il file %4 non è stato modificato.")
        .arg(tables)
        .arg(rows)
        .arg(QString::fromStdString(copyPath), QString::fromStdString(jetPath));
}

JetOpening::Choice JetOpening::askChoice(const std::string& jetPath, const std::string& copyPath, bool copyExists)
{
    QMessageBox box(QMessageBox::Information, "Database JET", noticeText(jetPath, copyPath, copyExists),
                    QMessageBox::NoButton, parent_);
    QPushButton* here = box.addButton(copyExists ? "Usa la copia esistente" : "Crea la copia", QMessageBox::AcceptRole);
    QPushButton* other = box.addButton("Scegli un altro file...", QMessageBox::ActionRole);
    QPushButton* cancel = box.addButton("Annulla", QMessageBox::RejectRole);
    box.setDefaultButton(here);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == here)
        return copyExists ? Choice::UseExisting : Choice::Copy;
    if (box.clickedButton() == other)
        return Choice::ChooseOther;
    return Choice::Cancel;
}

std::optional<std::string> JetOpening::pickCopyFile(const std::string& proposed)
{
    QFileDialog dialog(parent_, "Copia SQLite del database JET");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({"Database SQLite (*.sqlite *.sqlite3 *.db)", "Tutti i files (*.*)"});
    dialog.setDefaultSuffix("sqlite");
    // An existing file is refused by the copy itself, which never replaces one.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(QString::fromStdString(proposed));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

bool JetOpening::copy(const std::string& jetPath, const std::string& copyPath)
{
    transfer::CopyRequest request;
    request.source = {hasJetSignature(jetPath) ? transfer::EndpointKind::JetFile : transfer::EndpointKind::SqliteFile,
                      jetPath};
    request.target = {transfer::EndpointKind::SqliteFile, copyPath};
    const transfer::CopyResult result = transfer::copyDatabase(request, sink_, feedback_);
    feedback_.endProgress();
    if (!result.completed)
        return false;
    long rows = 0;
    for (const transfer::CopiedTable& table : result.tables)
        rows += table.stored.rows();
    sink_.showMessage(doneText(jetPath, copyPath, static_cast<int>(result.tables.size()), rows).toStdString(),
                      MessageIcon::Information);
    return true;
}

std::optional<std::string> JetOpening::run(const std::string& jetPath)
{
    std::string copyPath = proposedCopyPath(jetPath);
    std::error_code error;
    const bool exists = std::filesystem::exists(copyPath, error);
    switch (askChoice(jetPath, copyPath, exists)) {
    case Choice::UseExisting:
        return copyPath;
    case Choice::ChooseOther: {
        const std::optional<std::string> picked = pickCopyFile(copyPath);
        if (!picked)
            return std::nullopt;
        copyPath = *picked;
        break;
    }
    case Choice::Copy:
        break;
    case Choice::Cancel:
        return std::nullopt;
    }
    if (!copy(jetPath, copyPath))
        return std::nullopt;
    return copyPath;
}

} // namespace korvan::shell
