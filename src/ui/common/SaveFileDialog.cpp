#include "ui/common/SaveFileDialog.h"

#include "db/MessageSink.h"
#include "reports/ReportFileName.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace korvan::ui {

QString SaveFolder::folder() const
{
    if (!folder_.isEmpty() && QDir(folder_).exists())
        return folder_;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir(documents).exists())
        return documents;
    return QDir::homePath();
}

void SaveFolder::rememberFile(const QString& path)
{
    folder_ = QFileInfo(path).absolutePath();
}

std::string replaceQuestion(const std::string& path)
{
    return "Il file " + path + " esiste già.\n\nSi intende sostituirlo?";
}

QString chooseSaveFile(QWidget* parent, const SaveFileRequest& request, const SaveFolder& folder, MessageSink& sink)
{
    QFileDialog files(parent, request.title, folder.folder(), request.filter);
    files.setObjectName("saveFileDialog");
    files.setAcceptMode(QFileDialog::AcceptSave);
    files.setFileMode(QFileDialog::AnyFile);
    files.setDefaultSuffix(request.extension);
    files.selectFile(request.stem + "." + request.extension);
    if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty())
        return {};
    const QString chosen = files.selectedFiles().constFirst();
    const QString path = QString::fromStdString(
        reports::withExtension(chosen.toStdString(), request.extension.toStdString()));
    if (path != chosen && QFile::exists(path) &&
        !sink.askConfirmation(replaceQuestion(QDir::toNativeSeparators(path).toStdString())))
        return {};
    return path;
}

} // namespace korvan::ui
