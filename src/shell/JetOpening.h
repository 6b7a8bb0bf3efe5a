#pragma once

// A runs database kept as a JET file (*.mdb, *.accdb), chosen with "Metodo
// SQLite → Connetti": KORVAN only reads such a file. It says so, proposes a
// SQLite file beside it (or one the user picks), copies the database there
// with the progress bar and the busy clock (transfer/DatabaseCopy.h) and
// hands back the copy to connect to. A copy made earlier can be used again.

#include "core/OperationFeedback.h"
#include "db/MessageSink.h"

#include <QString>

#include <optional>
#include <string>

class QWidget;

namespace korvan::shell {

// A file name that ends in .mdb or .accdb (letter case ignored).
bool isJetFileName(const std::string& path);
// The SQLite file beside `jetPath`: its name with ".sqlite" for the extension.
std::string proposedCopyPath(const std::string& jetPath);

class JetOpening {
  public:
    enum class Choice { Copy, UseExisting, ChooseOther, Cancel };

    JetOpening(QWidget* parent, MessageSink& sink, OperationFeedback& feedback)
        : parent_(parent), sink_(sink), feedback_(feedback)
    {
    }

    // The SQLite file to connect to; nothing when the user cancelled or the
    // copy failed (its message shown). The file is read as a JET file when
    // it is one, else as a SQLite file.
    std::optional<std::string> run(const std::string& jetPath);

    // The texts of the notice, for the dialog and the tests.
    static QString noticeText(const std::string& jetPath, const std::string& copyPath, bool copyExists);
    static QString doneText(const std::string& jetPath, const std::string& copyPath, int tables, long rows);

  private:
    // The notice with its buttons; "Crea la copia" or "Usa la copia esistente"
    // (when the proposed copy exists), "Scegli un altro file...", "Annulla".
    Choice askChoice(const std::string& jetPath, const std::string& copyPath, bool copyExists);
    // The save dialog for another copy; nothing on cancel.
    std::optional<std::string> pickCopyFile(const std::string& proposed);
    bool copy(const std::string& jetPath, const std::string& copyPath);

    QWidget* parent_;
    MessageSink& sink_;
    OperationFeedback& feedback_;
};

} // namespace korvan::shell
