#pragma once

// The days of one run in the list window: date, weekday, financing and
// amount; modified days in red, minimum service in grey, the selection as
// white on black; no balloon. A double click and the pop-up menu send the
// calendar view's commands.

#include "runs/CalendarDay.h"
#include "ui/runs/ListWindow.h"
#include "ui/runs/SplitPopupMenu.h"

#include <functional>

namespace korvan::ui::runs {

class CalendarListClient : public ListWindowClient {
  public:
    using CommandHandler = std::function<void(int commandId)>;

    explicit CalendarListClient(CommandHandler handler) : handler_(std::move(handler)) {}

    void setDays(korvan::runs::CalendarDayList* days) { days_ = days; }

    static std::vector<ListColumn> dayColumns();
    static const PopupEntries& popupEntries();

    std::vector<ListColumn> columns() const override { return dayColumns(); }
    bool hasModel() const override { return days_ != nullptr; }
    int rowCount() const override { return days_ ? static_cast<int>(days_->size()) : 0; }
    void paintRow(ListRowPainter& painter, int position) override;
    bool isSelected(int position) const override;
    void setSelected(int position, bool selected) override;
    void rowActivated(int position) override;
    void popupRequested(int position, const QPoint& globalPos) override;
    QStringList balloonLines(int) const override { return {}; }
    bool showsBalloon() const override { return false; }

  private:
    korvan::runs::CalendarDayList* days_ = nullptr;
    CommandHandler handler_;
};

} // namespace korvan::ui::runs
