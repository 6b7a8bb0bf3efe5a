#include "ui/runs/CalendarFilterDialog.h"

#include "db/MessageSink.h"
#include "ui/common/DialogButtons.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace korvan::ui::runs {

namespace {

// Monday first, as the weekday flags count.
const std::array<const char*, 7> kWeekdayBoxes{
    "Includo tutti i Lunedi",  "Includo tutti i Martedi", "Includo tutti i Mercoledi", "Includo tutti i Giovedi",
    "Includo tutti i Venerdi", "Includo tutti i Sabati",  "Includo tutte le Domeniche"};

} // namespace

CalendarFilterDialog::CalendarFilterDialog(const korvan::runs::CalendarFilter& defaults, MessageSink& sink,
                                           QWidget* parent)
    : QDialog(parent), sink_(sink), weekdays_(defaults.weekdays)
{
    setWindowTitle(QStringLiteral("Filtro Calendario"));
    setObjectName("calendarFilterDialog");
    setModal(true);
    auto* layout = new QVBoxLayout(this);

    auto* period = new QGroupBox(QStringLiteral("Selezione Estremi Periodo"));
    auto* periodForm = new QFormLayout(period);
    startEdit_ = new QLineEdit(QString::fromStdString(defaults.startText));
    startEdit_->setObjectName("startEdit");
    startEdit_->setMaxLength(10);
    endEdit_ = new QLineEdit(QString::fromStdString(defaults.endText));
    endEdit_->setObjectName("endEdit");
    endEdit_->setMaxLength(10);
    periodForm->addRow(QStringLiteral("Data Inizio"), startEdit_);
    periodForm->addRow(QStringLiteral("Data Fine"), endEdit_);
    layout->addWidget(period);

    auto* days = new QGroupBox(QStringLiteral("Selezione Giorni Validi"));
    auto* daysColumn = new QVBoxLayout(days);
    for (size_t i = 0; i < kWeekdayBoxes.size(); ++i) {
        auto* check = new QCheckBox(QString::fromUtf8(kWeekdayBoxes[i]));
        check->setObjectName(QStringLiteral("weekday%1").arg(i));
        check->setChecked(weekdays_[i]);
        weekdayChecks_[i] = check;
        daysColumn->addWidget(check);
    }
    layout->addWidget(days);

    QPushButton* ok = makeNamedButton(QStringLiteral("OK"), "okButton");
    QPushButton* cancel = makeNamedButton(QStringLiteral("Annulla"), "cancelButton");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addLayout(makeButtonRow({ok, cancel}));
}

void CalendarFilterDialog::accept()
{
    korvan::runs::CalendarFilter filter;
    filter.startText = startEdit_->text().toStdString();
    filter.endText = endEdit_->text().toStdString();
    const korvan::runs::CalendarFilterCheck check = korvan::runs::checkCalendarFilter(filter);
    if (!check.period) {
        sink_.showMessage(check.message, MessageIcon::Error);
        (check.startRefused ? startEdit_ : endEdit_)->setFocus();
        return;
    }
    period_ = *check.period;
    for (size_t i = 0; i < weekdayChecks_.size(); ++i)
        weekdays_[i] = weekdayChecks_[i]->isChecked();
    QDialog::accept();
}

} // namespace korvan::ui::runs
