#include "ui/runs/RunAccountingDialog.h"

#include "db/Values.h"
#include "refdata/PickLists.h"
#include "ui/common/DialogUnits.h"
#include "ui/common/PickListCombo.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace korvan::ui::runs {

namespace {

template <typename T> T* placed(T* widget, QWidget* parent, const char* name, const QRect& rect)
{
    widget->setParent(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(rect);
    return widget;
}

} // namespace

RunAccountingDialog::RunAccountingDialog(DbConnection* connection, MessageSink& sink,
                                         const korvan::runs::RunListModel& model, const korvan::runs::RunRow& edited,
                                         QWidget* parent)
    : QDialog(parent), sink_(sink), edited_(edited), minimumService_(edited.minimumService),
      applyToSelected_(model.anyOtherSelected(edited))
{
    setWindowTitle(QStringLiteral("Assegnazione Dati Contabili Corsa"));
    const DialogUnits du(fontMetrics());
    setFixedSize(du.x(270), du.y(140));

    placed(new QGroupBox(QStringLiteral("Tipo Servizio")), this, "serviceGroup", du.rect(7, 7, 120, 40));
    minimum_ =
        placed(new QRadioButton(QStringLiteral("Servizio Minimo")), this, "minimumRadio", du.rect(27, 20, 79, 10));
    additional_ = placed(new QRadioButton(QStringLiteral("Servizio Aggiuntivo")), this, "additionalRadio",
                         du.rect(27, 30, 79, 10));
    placed(new QGroupBox(QString::fromUtf8("Modalità Calcolo")), this, "modeGroup", du.rect(142, 7, 120, 40));
    total_ =
        placed(new QRadioButton(QStringLiteral("Importo Totale Corsa")), this, "totalRadio", du.rect(162, 20, 79, 10));
    perKm_ =
        placed(new QRadioButton(QStringLiteral("Importo Unitario Km")), this, "perKmRadio", du.rect(162, 30, 79, 10));
    // Radios of different groups: each pair is exclusive by the program.
    for (QRadioButton* radio : {minimum_, additional_, total_, perKm_})
        radio->setAutoExclusive(false);
    placed(new QLabel(QStringLiteral("Ente Pagante")), this, "payerLabel", du.rect(7, 57, 60, 8));
    payers_ = placed(new PickListCombo, this, "payerCombo", du.rect(63, 54, 200, 14));
    payers_->setEditable(false);
    amountLabel_ = placed(new QLabel(QStringLiteral("Euro/Km")), this, "amountLabel", du.rect(7, 74, 50, 8));
    amount_ = placed(new QLineEdit, this, "amountEdit", du.rect(63, 71, 40, 14));
    amount_->setMaxLength(korvan::runs::kAmountMaxLength);
    applyToSelectedBox_ = placed(new QCheckBox(QStringLiteral("Applico a tutte le corse selezionate")), this,
                                 "applyToSelectedCheck", du.rect(63, 100, 140, 10));
    auto* ok = placed(new QPushButton(QStringLiteral("OK")), this, "okButton", du.rect(80, 120, 50, 14));
    auto* cancel = placed(new QPushButton(QStringLiteral("Annulla")), this, "cancelButton", du.rect(135, 120, 50, 14));
    ok->setDefault(true);

    fillCombo(payers_, refdata::allAuthorities(connection));
    if (!edited.minimumService)
        selectByCode(payers_, edited.payingAuthority);
    amount_->setText(QString::fromStdString(formatText("%1.2f", edited.amount)));
    applyToSelectedBox_->setEnabled(applyToSelected_);

    connect(minimum_, &QRadioButton::clicked, this, [this] {
        minimumService_ = true;
        refresh();
    });
    connect(additional_, &QRadioButton::clicked, this, [this] {
        minimumService_ = false;
        refresh();
    });
    connect(total_, &QRadioButton::clicked, this, [this] {
        totalMode_ = true;
        refresh();
    });
    connect(perKm_, &QRadioButton::clicked, this, [this] {
        totalMode_ = false;
        refresh();
    });
    connect(applyToSelectedBox_, &QCheckBox::clicked, this, [this] {
        applyToSelected_ = !applyToSelected_;
        refresh();
    });
    connect(ok, &QPushButton::clicked, this, &RunAccountingDialog::checkAndAccept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    refresh();
}

void RunAccountingDialog::refresh()
{
    minimum_->setChecked(minimumService_);
    additional_->setChecked(!minimumService_);
    payers_->setEnabled(!minimumService_);
    total_->setChecked(totalMode_);
    perKm_->setChecked(!totalMode_);
    amountLabel_->setText(totalMode_ ? QStringLiteral("Euro/Totale") : QStringLiteral("Euro/Km"));
    applyToSelectedBox_->setChecked(applyToSelected_);
}

void RunAccountingDialog::checkAndAccept()
{
    korvan::runs::RunAccountingEntry entry;
    entry.minimumService = minimumService_;
    entry.totalMode = totalMode_;
    entry.applyToSelected = applyToSelected_;
    entry.amountText = amount_->text().toStdString();
    entry.payerText = comboEditText(payers_);
    const std::optional<korvan::runs::RunAccountingChange> change =
        korvan::runs::readRunAccountingEntry(entry, comboEntries(payers_), edited_, sink_);
    if (!change)
        return;
    change_ = *change;
    accept();
}

} // namespace korvan::ui::runs
