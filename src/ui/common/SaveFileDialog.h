#pragma once

// How a "Salva ..." command asks for its file: Qt's file dialog on a
// proposed name in the folder of the last save, the extension added to a
// typed name that lacks it, and a question before that name replaces a file
// (the dialog asked only about the name as typed).

#include <QString>

#include <string>

class QWidget;

namespace korvan {
class MessageSink;
}

namespace korvan::ui {

// Where the next save proposes its file: the folder of the last one while
// the program runs, at first the user's documents folder (or home).
class SaveFolder {
  public:
    QString folder() const;
    // The folder of a file just saved.
    void rememberFile(const QString& path);

  private:
    QString folder_;
};

struct SaveFileRequest {
    QString title;     // "Salva CSV"
    QString filter;    // "CSV (*.csv)"
    QString extension; // "csv", without the dot
    QString stem;      // the proposed name without the extension
};

// The path chosen, with its extension; empty when the user cancels or
// does not want the file replaced.
QString chooseSaveFile(QWidget* parent, const SaveFileRequest& request, const SaveFolder& folder, MessageSink& sink);

// The question before an existing file is replaced.
std::string replaceQuestion(const std::string& path);

} // namespace korvan::ui
