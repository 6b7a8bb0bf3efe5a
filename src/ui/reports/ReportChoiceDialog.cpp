#include "ui/reports/ReportChoiceDialog.h"

#include "db/MessageSink.h"
#include "ui/common/DialogButtons.h"
#include "ui/common/DialogUnits.h"
#include "ui/common/PickListCombo.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvan::ui::reports {

using korvan::reports::ReportKind;

namespace {

constexpr int kPeriodMaxLength = 10;

QString authorityGroupTitle(ReportKind kind)
{
    switch (kind) {
    case ReportKind::LinesDirectory:
        return QStringLiteral("Selezione ente");
    case ReportKind::Contracts:
        return QStringLiteral("Selezione ente concedente");
    case ReportKind::Contributions:
        break;
    }
    return QStringLiteral("Selezione ente erogante contributo aggiuntivo");
}

QRadioButton* namedRadio(const QString& text, const char* objectName)
{
    auto* radio = new QRadioButton(text);
    radio->setObjectName(QString::fromLatin1(objectName));
    return radio;
}

QLineEdit* periodEdit(const std::string& text, const char* objectName)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setMaxLength(kPeriodMaxLength);
    edit->setText(QString::fromStdString(text));
    return edit;
}

} // namespace

QString reportChoiceTitle(ReportKind kind)
{
    switch (kind) {
    case ReportKind::LinesDirectory:
        return QStringLiteral("Rubrica Linee Normalizzate");
    case ReportKind::Contracts:
        return QStringLiteral("Stampa Contratti di Servizio");
    case ReportKind::Contributions:
        break;
    }
    return QStringLiteral("Stampa Contributi Aggiuntivi");
}

ReportChoiceDialog::ReportChoiceDialog(ReportKind kind, DbConnection* connection, MessageSink& sink,
                                       int& currentAuthority, std::string& periodStartText, std::string& periodEndText,
                                       QWidget* parent)
    : QDialog(parent), kind_(kind), sink_(sink), currentAuthority_(currentAuthority), periodStartText_(periodStartText),
      periodEndText_(periodEndText)
{
    setWindowTitle(reportChoiceTitle(kind));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildAuthorityGroup(connection));
    layout->addWidget(buildOutputGroup());
    if (korvan::reports::hasPeriod(kind)) {
        layout->addWidget(buildPeriodGroup());
        layout->addWidget(buildDetailGroup());
    }

    auto* ok = makeNamedButton(QStringLiteral("OK"), "okButton");
    auto* cancel = makeNamedButton(QStringLiteral("Annulla"), "cancelButton");
    layout->addStretch();
    layout->addLayout(makeButtonRow({ok, cancel}));
    connect(ok, &QPushButton::clicked, this, &ReportChoiceDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &ReportChoiceDialog::reject);

    // Every authority unless the dialog has a period and a current authority
    // to offer (the lines directory always starts from every authority).
    const bool preselect = korvan::reports::hasPeriod(kind) && currentAuthority_ != -1;
    allAuthoritiesCheck_->setChecked(!preselect);
    applyAllAuthorities(!preselect);
    if (preselect)
        selectByCode(authorityCombo_, currentAuthority_);

    const DialogUnits units(fontMetrics());
    resize(units.x(230), units.y(korvan::reports::hasPeriod(kind) ? 215 : 130));
}

QGroupBox* ReportChoiceDialog::buildAuthorityGroup(DbConnection* connection)
{
    auto* group = new QGroupBox(authorityGroupTitle(kind_));
    auto* form = new QFormLayout(group);
    allAuthoritiesCheck_ = new QCheckBox(QStringLiteral("Elaboro tutti gli enti"));
    allAuthoritiesCheck_->setObjectName("allAuthoritiesCheck");
    authorityCombo_ = new PickListCombo;
    authorityCombo_->setObjectName("authorityCombo");
    fillCombo(authorityCombo_, korvan::reports::authorityChoices(kind_, connection));
    form->addRow(allAuthoritiesCheck_);
    form->addRow(QStringLiteral("Ente"), authorityCombo_);
    connect(allAuthoritiesCheck_, &QCheckBox::toggled, this, &ReportChoiceDialog::applyAllAuthorities);
    return group;
}

QGroupBox* ReportChoiceDialog::buildOutputGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Tipo stampa"));
    auto* box = new QVBoxLayout(group);
    previewRadio_ = namedRadio(QStringLiteral("Anteprima di stampa"), "previewRadio");
    printRadio_ = namedRadio(QStringLiteral("Stampa"), "printRadio");
    box->addWidget(previewRadio_);
    box->addWidget(printRadio_);
    previewRadio_->setChecked(true);
    return group;
}

QGroupBox* ReportChoiceDialog::buildPeriodGroup()
{
    auto* period = new QGroupBox(QStringLiteral("Date di Inizio e Fine Periodo Contrattuale"));
    auto* form = new QFormLayout(period);
    periodStartEdit_ = periodEdit(periodStartText_, "periodStartEdit");
    periodEndEdit_ = periodEdit(periodEndText_, "periodEndEdit");
    form->addRow(QStringLiteral("Inizio Periodo"), periodStartEdit_);
    form->addRow(QStringLiteral("Fine Periodo"), periodEndEdit_);
    return period;
}

QGroupBox* ReportChoiceDialog::buildDetailGroup()
{
    auto* detail = new QGroupBox(QStringLiteral("Livello di dettaglio"));
    auto* box = new QVBoxLayout(detail);
    analyticRadio_ = namedRadio(QStringLiteral("Analitico (tutte le corse)"), "analyticRadio");
    syntheticRadio_ = namedRadio(QStringLiteral("Sintetico (solo totali linea)"), "syntheticRadio");
    box->addWidget(analyticRadio_);
    box->addWidget(syntheticRadio_);
    analyticRadio_->setChecked(true);
    return detail;
}

void ReportChoiceDialog::applyAllAuthorities(bool all)
{
    authorityCombo_->setEnabled(!all);
}

korvan::reports::ReportChoiceEntries ReportChoiceDialog::entries() const
{
    korvan::reports::ReportChoiceEntries entries;
    entries.allAuthorities = allAuthoritiesCheck_->isChecked();
    entries.authorityText = comboEditText(authorityCombo_);
    entries.authorityEntries = comboEntries(authorityCombo_);
    entries.preview = previewRadio_->isChecked();
    if (analyticRadio_)
        entries.analytic = analyticRadio_->isChecked();
    if (periodStartEdit_)
        entries.periodStartText = periodStartEdit_->text().toStdString();
    if (periodEndEdit_)
        entries.periodEndText = periodEndEdit_->text().toStdString();
    return entries;
}

void ReportChoiceDialog::accept()
{
    const korvan::reports::ChoiceCheck check = korvan::reports::checkReportChoice(kind_, entries());
    if (!check.choice)
        return sink_.showMessage(check.message, MessageIcon::Error);
    choice_ = *check.choice;
    korvan::reports::rememberChoice(kind_, choice_, currentAuthority_, periodStartText_, periodEndText_);
    QDialog::accept();
}

} // namespace korvan::ui::reports
