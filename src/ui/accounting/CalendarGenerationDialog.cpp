#include "ui/accounting/CalendarGenerationDialog.h"

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
    using refdata::EntryKind;
    const std::optional<int> authority = readCodeEntry(authorityCombo_);
    if (!authority)
        return sink_.showMessage(refdata::invalidEntryMessage(EntryKind::Authority), MessageIcon::Error);
    const std::optional<int> company = readCodeEntry(companyCombo_);
    if (!company)
        return sink_.showMessage(refdata::invalidEntryMessage(EntryKind::Company), MessageIcon::Error);
    const std::optional<CivilDate> start = korvan::accounting::parseDateEntry(periodStartEdit_->text().toStdString());
    if (!start)
        return sink_.showMessage(korvan::accounting::invalidPeriodDateMessage(true), MessageIcon::Error);
    const std::optional<CivilDate> end = korvan::accounting::parseDateEntry(periodEndEdit_->text().toStdString());
    if (!end)
        return sink_.showMessage(korvan::accounting::invalidPeriodDateMessage(false), MessageIcon::Error);
    currentAuthority_ = *authority;
    currentCompany_ = *company;
    periodStartText_ = formatDateText(*start);
    periodEndText_ = formatDateText(*end);
    request_ = korvan::accounting::CalendarRequest{*authority, *company, *start, *end};
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
