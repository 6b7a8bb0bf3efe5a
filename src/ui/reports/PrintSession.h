#pragma once

// What the report views remember while the program runs: the printer last
// chosen in the print set-up (its name, or the PDF file printed into, and
// the paper), so that the next set-up starts from it, and the folder a
// report was last saved in, where the next save proposes its file.

#include "ui/common/SaveFileDialog.h"

#include <QPageSize>
#include <QString>

#include <optional>

class QPrinter;

namespace korvan::ui::reports {

class PrintSession {
  public:
    // Notes the printer of an accepted set-up.
    void rememberPrinter(const QPrinter& printer);
    // Gives `printer` the choice noted last; nothing before the first.
    void applyPrinter(QPrinter& printer) const;
    bool hasPrinter() const { return hasPrinter_; }

    // Where the next save proposes its file.
    SaveFolder& saveFolder() { return saveFolder_; }

  private:
    bool hasPrinter_ = false;
    QString printerName_;
    QString outputFile_;
    std::optional<QPageSize> pageSize_;
    SaveFolder saveFolder_;
};

// Where the output of a pass on `printer` went, for the status line.
QString printedWhere(const QPrinter& printer);

} // namespace korvan::ui::reports
