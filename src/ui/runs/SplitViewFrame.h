#pragma once

// What the calendar and itinerary views share: a modal window over the
// client area of the window that opens it, three labels naming the run
// ("Corsa: ", "P: ", "A: "), the list window from (10, 60) to 10 pixels
// from the right and 35 from the bottom, and a row of buttons whose bottom
// edges stand 5 pixels above the bottom, the first one the default. Escape
// is "Annulla": the view closes and its changes are dropped.

#include "runs/RunRow.h"

#include <QDialog>

#include <utility>
#include <vector>

class QLabel;
class QPushButton;

namespace korvan::ui::runs {

class ListWindow;

class SplitViewFrame : public QDialog {
    Q_OBJECT
  public:
    ListWindow* listWindow() const { return list_; }

  protected:
    SplitViewFrame(const korvan::runs::RunRow& run, QWidget* parent);

    // A bar button sending `commandId`, `gap` pixels after the previous one
    // (the first stands at x = 15).
    QPushButton* addBarButton(const QString& text, const char* objectName, int gap, int commandId);
    virtual void runCommand(int commandId) = 0;

    void resizeEvent(QResizeEvent* event) override;

  private:
    void placeControls();

    std::vector<QLabel*> labels_;
    ListWindow* list_ = nullptr;
    std::vector<std::pair<QPushButton*, int>> buttons_;
};

} // namespace korvan::ui::runs
