#include "ui/accounting/BaseAssignmentDialog.h"

#include "accounting/AccountingEntries.h"
#include "accounting/AccountingInput.h"
#include "db/MessageSink.h"
#include "ui/common/DialogButtons.h"
#include "ui/common/DialogUnits.h"
#include "ui/common/PickListCombo.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvan::ui::accounting {

namespace {

std::string text(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

QLineEdit* limitedEdit(int maxLength, const char* name)
{
    auto* edit = new QLineEdit;
    edit->setMaxLength(maxLength);
    edit->setObjectName(name);
    return edit;
}

PickListCombo* namedCombo(const char* name)
{
    auto* combo = new PickListCombo;
    combo->setObjectName(name);
    return combo;
}

} // namespace

QString BaseAssignmentDialog::titleFor(korvan::accounting::AssignmentKind kind)
{
    switch (kind) {
    case korvan::accounting::AssignmentKind::Contract:
        return QStringLiteral("Assegnazione Dati Contabili per Contratto (Importo Km)");
    case korvan::accounting::AssignmentKind::Line:
        return QStringLiteral("Assegnazione Dati Contabili per Linea (Importo Km)");
    case korvan::accounting::AssignmentKind::TimeBand:
        return QStringLiteral("Assegnazione Dati Contabili per Fascia Oraria (Importo Km)");
    case korvan::accounting::AssignmentKind::DayType:
        break;
    }
    return QStringLiteral("Assegnazione Dati Contabili per Tipo Giorno (Importo Km)");
}

BaseAssignmentDialog::BaseAssignmentDialog(korvan::accounting::AssignmentKind kind, DbConnection* connection,
                                           MessageSink& sink, OperationFeedback& feedback, int& currentAuthority,
                                           int& currentCompany, QWidget* parent)
    : RoundDialog(parent), kind_(kind), connection_(connection), sink_(sink), feedback_(feedback),
      currentAuthority_(currentAuthority), currentCompany_(currentCompany)
{
    setWindowTitle(titleFor(kind));
    setModal(true);
    buildControls();

    fillContractLists(connection_, authorityCombo_, companyCombo_, currentAuthority_, currentCompany_);
    connectCompanyCascade(connection_, authorityCombo_, companyCombo_);
    if (lineCombo_) {
        if (currentAuthority_ != -1 && currentCompany_ != -1)
            refillLines();
        connect(companyCombo_, &PickListCombo::dropDownClosed, this, &BaseAssignmentDialog::refillLines);
    }
    fillCombo(payerCombo_, refdata::allAuthorities(connection_));
    setMinimumService(true);
}

void BaseAssignmentDialog::buildControls()
{
    auto* layout = new QVBoxLayout(this);

    auto* contract =
        new QGroupBox(kind_ == korvan::accounting::AssignmentKind::Line ? QStringLiteral("Selezione Contratto e Linea")
                                                                        : QStringLiteral("Selezione Contratto"));
    auto* contractForm = new QFormLayout(contract);
    authorityCombo_ = namedCombo("authorityCombo");
    companyCombo_ = namedCombo("companyCombo");
    contractForm->addRow(QStringLiteral("Ente"), authorityCombo_);
    contractForm->addRow(QStringLiteral("Azienda"), companyCombo_);
    if (kind_ == korvan::accounting::AssignmentKind::Line) {
        lineCombo_ = namedCombo("lineCombo");
        contractForm->addRow(QStringLiteral("Linea"), lineCombo_);
    }
    layout->addWidget(contract);

    if (kind_ == korvan::accounting::AssignmentKind::TimeBand) {
        auto* band = new QGroupBox(QStringLiteral("Fascia Oraria"));
        auto* bandRow = new QHBoxLayout(band);
        bandFromEdit_ = limitedEdit(5, "bandFromEdit");
        bandToEdit_ = limitedEdit(5, "bandToEdit");
        bandRow->addWidget(new QLabel(QStringLiteral("Dalle")));
        bandRow->addWidget(bandFromEdit_);
        bandRow->addWidget(new QLabel(QStringLiteral("Alle")));
        bandRow->addWidget(bandToEdit_);
        layout->addWidget(band);
    }

    if (kind_ == korvan::accounting::AssignmentKind::DayType) {
        auto* days = new QGroupBox(QStringLiteral("Tipo Giorno Efettuazione"));
        auto* grid = new QGridLayout(days);
        periodStartEdit_ = limitedEdit(10, "periodStartEdit");
        periodEndEdit_ = limitedEdit(10, "periodEndEdit");
        grid->addWidget(new QLabel(QStringLiteral("Data Inizio")), 0, 0);
        grid->addWidget(periodStartEdit_, 0, 1);
        grid->addWidget(new QLabel(QStringLiteral("Data Fine")), 0, 2);
        grid->addWidget(periodEndEdit_, 0, 3);
        for (int day = 0; day < 7; ++day) {
            auto* check = new QCheckBox(QString::fromLatin1(korvan::accounting::weekdayName(day)));
            check->setObjectName(QStringLiteral("weekday%1").arg(day));
            check->setChecked(true);
            weekdayChecks_[static_cast<size_t>(day)] = check;
            grid->addWidget(check, 1 + day / 4, day % 4);
        }
        layout->addWidget(days);
    }

    auto* values = new QGroupBox(QStringLiteral("Dati Contabili"));
    auto* valuesGrid = new QGridLayout(values);
    minimumRadio_ = new QRadioButton(QStringLiteral("Servizio Minimo"));
    minimumRadio_->setObjectName("minimumRadio");
    additionalRadio_ = new QRadioButton(QStringLiteral("Servizio Aggiuntivo"));
    additionalRadio_->setObjectName("additionalRadio");
    payerCombo_ = namedCombo("payerCombo");
    euroPerKmEdit_ = limitedEdit(static_cast<int>(korvan::accounting::kEuroPerKmMaxLength), "euroPerKmEdit");
    updateExistingCheck_ = new QCheckBox(QStringLiteral("Aggiorno informazioni già presenti"));
    updateExistingCheck_->setObjectName("updateExistingCheck");
    updateExistingCheck_->setChecked(true);
    valuesGrid->addWidget(minimumRadio_, 0, 0);
    valuesGrid->addWidget(additionalRadio_, 0, 1);
    valuesGrid->addWidget(new QLabel(QStringLiteral("Ente Pagante")), 1, 0);
    valuesGrid->addWidget(payerCombo_, 1, 1);
    valuesGrid->addWidget(new QLabel(QStringLiteral("Euro/Km")), 2, 0);
    valuesGrid->addWidget(euroPerKmEdit_, 2, 1);
    valuesGrid->addWidget(updateExistingCheck_, 3, 0, 1, 2);
    layout->addWidget(values);
    connect(minimumRadio_, &QRadioButton::clicked, this, [this] { setMinimumService(true); });
    connect(additionalRadio_, &QRadioButton::clicked, this, [this] { setMinimumService(false); });

    auto* ok = makeNamedButton(QStringLiteral("OK"), "okButton");
    auto* cancel = makeNamedButton(QStringLiteral("Annulla"), "cancelButton");
    auto* finish = makeNamedButton(QStringLiteral("Fine"), "finishButton");
    layout->addLayout(makeButtonRow({ok, cancel, finish}));
    connect(ok, &QPushButton::clicked, this, &BaseAssignmentDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &BaseAssignmentDialog::clearForm);
    connect(finish, &QPushButton::clicked, this, &BaseAssignmentDialog::finish);

    const int height = kind_ == korvan::accounting::AssignmentKind::Contract   ? 195
                       : kind_ == korvan::accounting::AssignmentKind::Line     ? 215
                       : kind_ == korvan::accounting::AssignmentKind::TimeBand ? 235
                                                                               : 280;
    const DialogUnits units(fontMetrics());
    resize(units.x(295), units.y(height));
}

void BaseAssignmentDialog::setMinimumService(bool minimum)
{
    minimumRadio_->setChecked(minimum);
    additionalRadio_->setChecked(!minimum);
    payerCombo_->setEnabled(!minimum);
}

void BaseAssignmentDialog::refillLines()
{
    fillCombo(lineCombo_,
              refdata::contractLinesByCode(connection_, selectedCode(authorityCombo_), selectedCode(companyCombo_)));
}

void BaseAssignmentDialog::clearForm()
{
    authorityCombo_->setEditText(QString());
    companyCombo_->setEditText(QString());
    payerCombo_->setEditText(QString());
    euroPerKmEdit_->clear();
    if (lineCombo_)
        clearCombo(lineCombo_);
    setMinimumService(true);
}

std::optional<korvan::accounting::AssignmentRequest> BaseAssignmentDialog::validatedRequest()
{
    korvan::accounting::AssignmentEntries entries;
    entries.contract = contractEntries(authorityCombo_, companyCombo_);
    if (lineCombo_) {
        entries.lineText = comboEditText(lineCombo_);
        entries.lineEntries = [lines = comboEntries(lineCombo_)](int, int) { return lines; };
    }
    entries.euroPerKmText = text(euroPerKmEdit_);
    if (!minimumRadio_->isChecked()) {
        entries.payerText = comboEditText(payerCombo_);
        entries.payerEntries = comboEntries(payerCombo_);
    }
    if (bandFromEdit_)
        entries.bandTexts = std::make_pair(text(bandFromEdit_), text(bandToEdit_));
    if (periodStartEdit_) {
        entries.period = korvan::accounting::PeriodEntries{text(periodStartEdit_), text(periodEndEdit_)};
        for (size_t day = 0; day < 7; ++day)
            entries.weekdays[day] = weekdayChecks_[day]->isChecked();
    }
    entries.updateExisting = updateExistingCheck_->isChecked();
    return korvan::accounting::validateAssignment(entries, sink_);
}

void BaseAssignmentDialog::accept()
{
    const std::optional<korvan::accounting::AssignmentRequest> request = validatedRequest();
    if (!request)
        return;
    currentAuthority_ = request->contractAuthority;
    currentCompany_ = request->contractCompany;
    korvan::accounting::runAssignment(kind_, connection_, *request, sink_, feedback_);
}

void BaseAssignmentDialog::runCommand(korvan::accounting::AssignmentKind kind, QWidget* parent,
                                      DbConnection* connection, MessageSink& sink, OperationFeedback& feedback,
                                      int& currentAuthority, int& currentCompany)
{
    if (!sink.askConfirmation(korvan::accounting::assignmentWarningText(kind)))
        return;
    BaseAssignmentDialog dialog(kind, connection, sink, feedback, currentAuthority, currentCompany, parent);
    dialog.exec();
}

} // namespace korvan::ui::accounting
