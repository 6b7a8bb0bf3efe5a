#include "ui/runs/RunAccountingDialog.h"

#include "refdata/PickLists.h"
#include "ui/common/DialogButtons.h"
#include "ui/common/DialogUnits.h"
#include "ui/common/PickListCombo.h"
#include "ui/runs/AmountField.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvan::ui::runs {

RunAccountingDialog::RunAccountingDialog(DbConnection* connection, MessageSink& sink,
                                         const korvan::runs::RunListModel& model, const korvan::runs::RunRow& edited,
                                         QWidget* parent)
    : QDialog(parent), sink_(sink), edited_(edited), minimumService_(edited.minimumService),
      applyToSelected_(model.anyOtherSelected(edited))
{
    setWindowTitle(QStringLiteral("Assegnazione Dati Contabili Corsa"));
    auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };
    minimum_ = named(new QRadioButton(QStringLiteral("Servizio Minimo")), "minimumRadio");
    additional_ = named(new QRadioButton(QStringLiteral("Servizio Aggiuntivo")), "additionalRadio");
    total_ = named(new QRadioButton(QStringLiteral("Importo Totale Corsa")), "totalRadio");
    perKm_ = named(new QRadioButton(QStringLiteral("Importo Unitario Km")), "perKmRadio");
    // Radios of two groups, each pair kept exclusive by the program.
    for (QRadioButton* radio : {minimum_, additional_, total_, perKm_})
        radio->setAutoExclusive(false);
    auto* service = named(new QGroupBox(QStringLiteral("Tipo Servizio")), "serviceGroup");
    auto* serviceLayout = new QVBoxLayout(service);
    serviceLayout->addWidget(minimum_);
    serviceLayout->addWidget(additional_);
    auto* mode = named(new QGroupBox(QString::fromUtf8("Modalità Calcolo")), "modeGroup");
    auto* modeLayout = new QVBoxLayout(mode);
    modeLayout->addWidget(total_);
    modeLayout->addWidget(perKm_);
    auto* groups = new QHBoxLayout;
    groups->addWidget(service);
    groups->addWidget(mode);

    payers_ = named(new PickListCombo, "payerCombo");
    payers_->setEditable(false);
    amountLabel_ = named(new QLabel(QStringLiteral("Euro/Totale")), "amountLabel");
    amount_ = named(new QLineEdit, "amountEdit");
    amount_->setMaxLength(korvan::runs::kAmountMaxLength);
    auto* amountRow = new QHBoxLayout;
    amountRow->addWidget(amount_);
    amountRow->addStretch();
    auto* form = new QFormLayout;
    form->addRow(named(new QLabel(QStringLiteral("Ente Pagante")), "payerLabel"), payers_);
    form->addRow(amountLabel_, amountRow);
    applyToSelectedBox_ =
        named(new QCheckBox(QStringLiteral("Applico a tutte le corse selezionate")), "applyToSelectedCheck");
    form->addRow(QString(), applyToSelectedBox_);

    QPushButton* ok = makeNamedButton(QStringLiteral("OK"), "okButton");
    QPushButton* cancel = makeNamedButton(QStringLiteral("Annulla"), "cancelButton");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(makeButtonRow({ok, cancel}));
    const DialogUnits du(fontMetrics());
    resize(du.x(270), du.y(140));
    amount_->setFixedWidth(du.x(50));

    fillCombo(payers_, refdata::allAuthorities(connection));
    if (!edited.minimumService)
        selectByCode(payers_, edited.payingAuthority);
    showAmount(amount_, edited.amount);
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
