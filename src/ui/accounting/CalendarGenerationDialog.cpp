#include "ui/accounting/CalendarGenerationDialog.h"

#include "accounting/AccountingEntries.h"
#include "accounting/AccountingInput.h"
#include "accounting/CalendarGeneration.h"
#include "db/MessageSink.h"
#include "ui/common/ContractGroupWidget.h"
#include "ui/common/DialogButtons.h"
#include "ui/common/DialogUnits.h"
#include "ui/common/PickListCombo.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvan::ui::accounting {

CalendarGenerationDialog::CalendarGenerationDialog(DbConnection* connection, MessageSink& sink, int& currentAuthority,
                                                   int& currentCompany, std::string& periodStartText,
                                                   std::string& periodEndText, QWidget* parent)
    : QDialog(parent), sink_(sink), currentAuthority_(currentAuthority), currentCompany_(currentCompany),
      periodStartText_(periodStartText), periodEndText_(periodEndText)
{
    setWindowTitle(QStringLiteral("Determinazione Giorni Effettuazione Corse"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);

    const ContractGroup contract = makeContractGroup(connection, currentAuthority_, currentCompany_);
    authorityCombo_ = contract.authority;
    companyCombo_ = contract.company;
    layout->addWidget(contract.group);

    auto* period = new QGroupBox(QStringLiteral("Selezione Periodo Validità Contrattuale"));
    auto* periodForm = new QFormLayout(period);
    periodStartEdit_ = new QLineEdit(QString::fromStdString(periodStartText_));
    periodStartEdit_->setObjectName("periodStartEdit");
    periodEndEdit_ = new QLineEdit(QString::fromStdString(periodEndText_));
    periodEndEdit_->setObjectName("periodEndEdit");
    periodForm->addRow(QStringLiteral("Data Inizio"), periodStartEdit_);
    periodForm->addRow(QStringLiteral("Data Fine"), periodEndEdit_);
    layout->addWidget(period);

    auto* ok = makeNamedButton(QStringLiteral("OK"), "okButton");
    auto* cancel = makeNamedButton(QStringLiteral("Annulla"), "cancelButton");
    layout->addLayout(makeButtonRow({ok, cancel}));
    connect(ok, &QPushButton::clicked, this, &CalendarGenerationDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CalendarGenerationDialog::reject);

    const DialogUnits units(fontMetrics());
    resize(units.x(295), units.y(130));
}

const std::optional<korvan::accounting::CalendarRequest>& CalendarGenerationDialog::request() const
{
    return request_;
}

void CalendarGenerationDialog::accept()
{
    const std::optional<korvan::accounting::CalendarRequest> request = korvan::accounting::validateCalendarEntries(
        contractEntries(authorityCombo_, companyCombo_),
        {periodStartEdit_->text().toStdString(), periodEndEdit_->text().toStdString()}, sink_);
    if (!request)
        return;
    currentAuthority_ = request->authority;
    currentCompany_ = request->company;
    periodStartText_ = formatDateText(request->periodStart);
    periodEndText_ = formatDateText(request->periodEnd);
    request_ = request;
    QDialog::accept();
}

void CalendarGenerationDialog::runCommand(QWidget* parent, DbConnection* connection, MessageSink& sink,
                                          OperationFeedback& feedback, int& currentAuthority, int& currentCompany,
                                          std::string& periodStartText, std::string& periodEndText)
{
    if (!sink.askConfirmation(korvan::accounting::calendarWarningText()))
        return;
    CalendarGenerationDialog dialog(connection, sink, currentAuthority, currentCompany, periodStartText, periodEndText,
                                    parent);
    if (dialog.exec() != QDialog::Accepted || !dialog.request())
        return;
    korvan::accounting::generateServiceDays(connection, *dialog.request(), sink, feedback);
}

} // namespace korvan::ui::accounting
