#pragma once

// "Filtro Calendario": the period and the weekdays of the calendar view's
// automatic filter. Opens with every weekday ticked and the loaded days'
// first and last date; OK checks both dates (the first refusal is told and
// the dialog stays open) and keeps the period and the weekdays for the view
// to apply.

#include "runs/CalendarFilter.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;

namespace korvan {
class MessageSink;
}

namespace korvan::ui::runs {

class CalendarFilterDialog : public QDialog {
    Q_OBJECT
  public:
    CalendarFilterDialog(const korvan::runs::CalendarFilter& defaults, MessageSink& sink, QWidget* parent = nullptr);

    // After OK: the accepted period and the weekdays (Monday = 0).
    const korvan::runs::CalendarPeriod& period() const { return period_; }
    const std::array<bool, 7>& weekdays() const { return weekdays_; }

  public slots:
    void accept() override;

  private:
    MessageSink& sink_;
    QLineEdit* startEdit_ = nullptr;
    QLineEdit* endEdit_ = nullptr;
    std::array<QCheckBox*, 7> weekdayChecks_{};
    korvan::runs::CalendarPeriod period_;
    std::array<bool, 7> weekdays_{};
};

} // namespace korvan::ui::runs
