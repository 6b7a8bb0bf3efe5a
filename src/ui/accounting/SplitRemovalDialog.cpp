#include "ui/accounting/SplitRemovalDialog.h"

#include "db/MessageSink.h"
#include "ui/common/ContractGroupWidget.h"
#include "ui/common/DialogButtons.h"
#include "ui/common/DialogUnits.h"
#include "ui/common/PickListCombo.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvan::ui::accounting {

SplitRemovalDialog::SplitRemovalDialog(korvan::accounting::RemovalMode mode, DbConnection* connection,
                                       MessageSink& sink, int& currentAuthority, int& currentCompany, QWidget* parent)
    : QDialog(parent), sink_(sink), currentAuthority_(currentAuthority), currentCompany_(currentCompany)
{
    setWindowTitle(QStringLiteral("Eliminazione Frazionamenti Contabili per Contratto"));
    setModal(true);
    const DialogUnits units(fontMetrics());
    auto* layout = new QVBoxLayout(this);

    const ContractGroup contract = makeContractGroup(connection, currentAuthority_, currentCompany_);
    authorityCombo_ = contract.authority;
    companyCombo_ = contract.company;
    layout->addWidget(contract.group);

    auto* warning = new QLabel(QString::fromStdString(korvan::accounting::removalWarningText(mode)));
    warning->setObjectName("warningText");
    warning->setWordWrap(true);
    warning->setMinimumSize(units.x(260), units.y(80));
    layout->addWidget(warning);

    auto* ok = makeNamedButton(QStringLiteral("OK"), "okButton");
    auto* cancel = makeNamedButton(QStringLiteral("Annulla"), "cancelButton");
    layout->addLayout(makeButtonRow({ok, cancel}));
    connect(ok, &QPushButton::clicked, this, &SplitRemovalDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &SplitRemovalDialog::reject);

    resize(units.x(295), units.y(185));
}

void SplitRemovalDialog::accept()
{
    const std::optional<refdata::Contract> contract =
        refdata::validateContract(contractEntries(authorityCombo_, companyCombo_), sink_);
    if (!contract)
        return;
    currentAuthority_ = contract->authority;
    currentCompany_ = contract->company;
    QDialog::accept();
}

void SplitRemovalDialog::runCommand(korvan::accounting::RemovalMode mode, QWidget* parent, DbConnection* connection,
                                    MessageSink& sink, OperationFeedback& feedback, int& currentAuthority,
                                    int& currentCompany)
{
    SplitRemovalDialog dialog(mode, connection, sink, currentAuthority, currentCompany, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    korvan::accounting::runRemoval(mode, connection, currentAuthority, currentCompany, sink, feedback);
}

} // namespace korvan::ui::accounting
