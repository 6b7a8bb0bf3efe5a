#include "ui/runs/SplitAccountingDialog.h"

#include "db/MessageSink.h"
#include "runs/RunAccounting.h"
#include "runs/SplitEntry.h"
#include "ui/common/DialogButtons.h"
#include "ui/common/PickListCombo.h"
#include "ui/runs/AmountField.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvan::ui::runs {

QString SplitAccountingDialog::titleFor(SplitKind kind)
{
    return kind == SplitKind::Day ? QStringLiteral("Assegnazione Dati Contabili Giorno")
                                  : QStringLiteral("Assegnazione Dati Contabili Percorso");
}

SplitAccountingDialog::SplitAccountingDialog(const SplitDialogSetup& setup, DbConnection* connection, MessageSink& sink,
                                             Refusal refusal, QWidget* parent)
    : QDialog(parent), setup_(setup), connection_(connection), sink_(sink), refusal_(std::move(refusal)),
      minimumService_(setup.minimumService), applyToSelected_(setup.otherItemsSelected),
      applyToSelectedRuns_(setup.otherRunsSelected)
{
    setWindowTitle(titleFor(setup.kind));
    setObjectName(setup.kind == SplitKind::Day ? "dayAccountingDialog" : "arcAccountingDialog");
    setModal(true);
    buildControls();
    fillCombo(payerCombo_, refdata::allAuthorities(connection_));
    if (!setup.minimumService)
        selectByCode(payerCombo_, setup.payingAuthority);
    showAmount(amountEdit_, setup.amount);
    selectedCheck_->setEnabled(setup.otherItemsSelected);
    runsCheck_->setEnabled(setup.otherRunsSelected);
    refresh();
}

void SplitAccountingDialog::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;

    auto* service = new QGroupBox(QStringLiteral("Tipo Servizio"));
    auto* serviceColumn = new QVBoxLayout(service);
    minimumRadio_ = new QRadioButton(QStringLiteral("Servizio Minimo"));
    minimumRadio_->setObjectName("minimumRadio");
    additionalRadio_ = new QRadioButton(QStringLiteral("Servizio Aggiuntivo"));
    additionalRadio_->setObjectName("additionalRadio");
    serviceColumn->addWidget(minimumRadio_);
    serviceColumn->addWidget(additionalRadio_);
    groups->addWidget(service);

    auto* mode = new QGroupBox(QStringLiteral("Modalità Calcolo"));
    auto* modeColumn = new QVBoxLayout(mode);
    totalRadio_ = new QRadioButton(setup_.kind == SplitKind::Day ? QStringLiteral("Importo Totale Corsa")
                                                                 : QStringLiteral("Importo Totale Arco"));
    totalRadio_->setObjectName("totalRadio");
    perKmRadio_ = new QRadioButton(QStringLiteral("Importo Unitario Km"));
    perKmRadio_->setObjectName("perKmRadio");
    modeColumn->addWidget(totalRadio_);
    modeColumn->addWidget(perKmRadio_);
    groups->addWidget(mode);
    layout->addLayout(groups);

    auto* grid = new QGridLayout;
    payerCombo_ = new PickListCombo;
    payerCombo_->setObjectName("payerCombo");
    amountLabel_ = new QLabel;
    amountLabel_->setObjectName("amountLabel");
    amountEdit_ = new QLineEdit;
    amountEdit_->setObjectName("amountEdit");
    amountEdit_->setMaxLength(korvan::runs::kAmountMaxLength);
    grid->addWidget(new QLabel(QStringLiteral("Ente Pagante")), 0, 0);
    grid->addWidget(payerCombo_, 0, 1, 1, 2);
    grid->addWidget(amountLabel_, 1, 0);
    grid->addWidget(amountEdit_, 1, 1);
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);

    selectedCheck_ =
        new QCheckBox(setup_.kind == SplitKind::Day ? QStringLiteral("Applico a tutti i giorni selezionati")
                                                    : QStringLiteral("Applico a tutti gli archi selezionati"));
    selectedCheck_->setObjectName("selectedCheck");
    runsCheck_ = new QCheckBox(QStringLiteral("Applico a tutte le corse selezionate"));
    runsCheck_->setObjectName("runsCheck");
    layout->addWidget(selectedCheck_);
    layout->addWidget(runsCheck_);

    QPushButton* ok = makeNamedButton(QStringLiteral("OK"), "okButton");
    QPushButton* cancel = makeNamedButton(QStringLiteral("Annulla"), "cancelButton");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addLayout(makeButtonRow({ok, cancel}));

    // Each control changes the state, then every control is set from it.
    connect(minimumRadio_, &QRadioButton::clicked, this, [this] {
        minimumService_ = true;
        refresh();
    });
    connect(additionalRadio_, &QRadioButton::clicked, this, [this] {
        minimumService_ = false;
        refresh();
    });
    connect(totalRadio_, &QRadioButton::clicked, this, [this] {
        totalMode_ = true;
        refresh();
    });
    connect(perKmRadio_, &QRadioButton::clicked, this, [this] {
        totalMode_ = false;
        refresh();
    });
    connect(selectedCheck_, &QCheckBox::clicked, this, [this] {
        applyToSelected_ = !applyToSelected_;
        refresh();
    });
    connect(runsCheck_, &QCheckBox::clicked, this, [this] {
        applyToSelectedRuns_ = !applyToSelectedRuns_;
        refresh();
    });
}

void SplitAccountingDialog::refresh()
{
    minimumRadio_->setChecked(minimumService_);
    additionalRadio_->setChecked(!minimumService_);
    payerCombo_->setEnabled(!minimumService_);
    totalRadio_->setChecked(totalMode_);
    perKmRadio_->setChecked(!totalMode_);
    amountLabel_->setText(totalMode_ ? QStringLiteral("Euro/Totale") : QStringLiteral("Euro/Km"));
    selectedCheck_->setChecked(applyToSelected_);
    runsCheck_->setChecked(applyToSelectedRuns_);
}

void SplitAccountingDialog::accept()
{
    korvan::runs::SplitEntryInput input;
    input.amountText = amountEdit_->text().toStdString();
    input.minimumService = minimumService_;
    input.totalMode = totalMode_;
    input.authorityText = comboEditText(payerCombo_);
    input.applyToSelected = applyToSelected_;
    input.applyToSelectedRuns = applyToSelectedRuns_;
    const korvan::runs::SplitEntryResult result =
        korvan::runs::readSplitEntry(connection_, input, comboEntries(payerCombo_));
    if (!result.change) {
        sink_.showMessage(result.message, MessageIcon::Error);
        return;
    }
    if (refusal_) {
        if (const std::optional<std::string> refused = refusal_(*result.change)) {
            sink_.showMessage(*refused, MessageIcon::Error);
            return;
        }
    }
    change_ = *result.change;
    QDialog::accept();
}

} // namespace korvan::ui::runs
