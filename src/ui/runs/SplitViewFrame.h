#pragma once

// What the calendar and itinerary views share: a modal window over the
// client area of the window that opens it, three labels naming the run
// ("Corsa: ", "P: ", "A: "), the list window and a row of buttons, the
// first one the default, laid out as the run browser is (ViewLayout).
// Escape and the close box are "Annulla": the view closes and its changes
// are dropped, after the user has said so when there are changes not yet
// written.

#include "runs/RunRow.h"

#include <QDialog>

#include <string>

#include <utility>
#include <vector>

class QLabel;
class QPushButton;

namespace korvan {
class MessageSink;
}

namespace korvan::ui::runs {

class ListWindow;

// The question asked before changes not yet written are dropped.
std::string discardQuestion();

class SplitViewFrame : public QDialog {
    Q_OBJECT
  public:
    ListWindow* listWindow() const { return list_; }

    // "Annulla", Escape and the close box: closes when nothing would be
    // lost or the user agrees to drop the changes.
    void reject() override;
    // Changes the view holds that "Registra Modifiche" has not written.
    virtual bool hasUnsavedChanges() const = 0;

  protected:
    SplitViewFrame(const korvan::runs::RunRow& run, MessageSink& sink, QWidget* parent);

    // A bar button sending `commandId`, `gap` pixels after the previous one
    // (the first stands at x = 15).
    QPushButton* addBarButton(const QString& text, const char* objectName, int gap, int commandId);
    virtual void runCommand(int commandId) = 0;

    void resizeEvent(QResizeEvent* event) override;

  private:
    void placeControls();

    MessageSink& sink_;
    std::vector<QLabel*> labels_;
    ListWindow* list_ = nullptr;
    std::vector<std::pair<QPushButton*, int>> buttons_;
};

} // namespace korvan::ui::runs
