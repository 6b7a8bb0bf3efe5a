#pragma once

// The run list in the list window: five columns (ID, run code with times
// and length, financing with the CAL and PERC markers, amount, service
// days), the row colours of the accounting state, the balloon of a run and
// the pop-up menu of the browser's commands.

#include "runs/RunListModel.h"
#include "ui/runs/ListWindow.h"

#include <functional>

class QMenu;

namespace korvan::ui::runs {

class RunListClient : public ListWindowClient {
  public:
    // Receives the commands of the pop-up menu and of a double click.
    using CommandHandler = std::function<void(int commandId)>;

    explicit RunListClient(CommandHandler handler) : handler_(std::move(handler)) {}

    // The rows shown (nullptr: none loaded).
    void setModel(korvan::runs::RunListModel* model) { model_ = model; }
    korvan::runs::RunListModel* model() const { return model_; }

    static std::vector<ListColumn> runColumns();
    // The texts of column 1 after the run code and of column 4.
    static QString timesText(const korvan::runs::RunRow& row);
    static QString serviceDaysText(const korvan::runs::RunRow& row);

    // The pop-up menu, the current order checked; each action's data is its
    // command id.
    QMenu* buildPopupMenu(QWidget* parent) const;

    std::vector<ListColumn> columns() const override { return runColumns(); }
    bool hasModel() const override { return model_ != nullptr; }
    int rowCount() const override { return model_ ? model_->count() : 0; }
    void paintRow(ListRowPainter& painter, int position) override;
    bool isSelected(int position) const override;
    void setSelected(int position, bool selected) override;
    void rowActivated(int position) override;
    void findRequested() override;
    void copyRequested() override;
    void popupRequested(int position, const QPoint& globalPos) override;
    QStringList balloonLines(int position) const override;

  private:
    korvan::runs::RunListModel* model_ = nullptr;
    CommandHandler handler_;
};

} // namespace korvan::ui::runs
