#include "ui/runs/RunFilterDialog.h"

#include "db/MessageSink.h"
#include "refdata/PickLists.h"
#include "runs/RunFilter.h"
#include "ui/common/DialogButtons.h"
#include "ui/common/DialogUnits.h"
#include "ui/common/PickListCombo.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvan::ui::runs {

namespace {

PickListCombo* dropDownList(const char* name)
{
    auto* combo = new PickListCombo;
    combo->setEditable(false);
    combo->setObjectName(QString::fromLatin1(name));
    return combo;
}

} // namespace

RunFilterDialog::RunFilterDialog(DbConnection* connection, MessageSink& sink, int authority, int company, int line,
                                 QWidget* parent)
    : QDialog(parent), connection_(connection), sink_(sink), authorities_(dropDownList("authorityCombo")),
      companies_(dropDownList("companyCombo")), lines_(dropDownList("lineCombo"))
{
    setWindowTitle(QStringLiteral("Filtro Selezione Corse"));
    auto* group = new QGroupBox(QStringLiteral("Selezione Contratto di Servizio"));
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Ente"), authorities_);
    form->addRow(QStringLiteral("Azienda"), companies_);
    form->addRow(QStringLiteral("Linea"), lines_);
    QPushButton* ok = makeNamedButton(QStringLiteral("OK"), "okButton");
    QPushButton* cancel = makeNamedButton(QStringLiteral("Annulla"), "cancelButton");
    QPushButton* done = makeNamedButton(QStringLiteral("Fine"), "doneButton");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();
    layout->addLayout(makeButtonRow({ok, cancel, done}));
    const DialogUnits units(fontMetrics());
    resize(units.x(305), units.y(110));

    fillCombo(authorities_, refdata::authoritiesWithLines(connection_));
    selectByCode(authorities_, authority);
    if (authority < 0)
        clearCombo(companies_);
    else
        fillCombo(companies_, refdata::companiesOfAuthorityForRunFilter(connection_, authority));
    selectByCode(companies_, company);
    if (authority < 0 || company < 0)
        clearCombo(lines_);
    else
        fillCombo(lines_, refdata::contractLinesById(connection_, authority, company));
    selectByCode(lines_, line);

    connect(authorities_, &PickListCombo::dropDownClosed, this, [this] {
        fillCombo(companies_, refdata::companiesOfAuthorityForRunFilter(connection_, selectedCode(authorities_)));
    });
    connectLineCascade(connection_, authorities_, companies_, lines_, LineListForm::ById);
    connect(ok, &QPushButton::clicked, this, &RunFilterDialog::checkAndAccept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(done, &QPushButton::clicked, this, &QDialog::reject);
}

void RunFilterDialog::checkAndAccept()
{
    korvan::runs::RunFilterEntries entries;
    entries.contract = {comboEditText(authorities_), comboEntries(authorities_), comboEditText(companies_),
                        [this](int) { return comboEntries(companies_); }};
    entries.line = comboEditText(lines_);
    entries.lineEntries = [this](int, int) { return comboEntries(lines_); };
    const std::optional<korvan::runs::RunListKey> key = korvan::runs::readRunFilter(entries, sink_);
    if (!key)
        return;
    choice_ = *key;
    accept();
}

} // namespace korvan::ui::runs
