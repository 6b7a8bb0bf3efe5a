#include "ui/lines/LineEditDialog.h"

#include "lines/LineEdit.h"
#include "ui/common/DialogButtons.h"
#include "ui/common/DialogUnits.h"
#include "ui/common/PickListCombo.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace korvan::ui::lines {

LineEditDialog::LineEditDialog(DbConnection* connection, QWidget* parent)
    : RoundDialog(parent), connection_(connection), authorities_(new PickListCombo), lines_(new PickListCombo),
      id_(new QLineEdit), code_(new QLineEdit), name_(new QLineEdit), ok_(new QPushButton("OK")),
      cancel_(new QPushButton("Annulla")), done_(new QPushButton("Fine"))
{
    setWindowTitle("Editing Linee Normalizzate");
    authorities_->setObjectName("listaEnti");
    lines_->setObjectName("listaLinee");
    id_->setObjectName("id");
    code_->setObjectName("codiceLinea");
    name_->setObjectName("denominazione");
    ok_->setObjectName("ok");
    cancel_->setObjectName("annulla");
    done_->setObjectName("fine");

    id_->setEnabled(false);
    code_->setMaxLength(korvan::lines::kLineCodeMaxLength);
    name_->setMaxLength(korvan::lines::kLineNameMaxLength);

    auto* authorityGroup = new QGroupBox("Selezione Ente Concedente");
    auto* authorityLayout = new QFormLayout(authorityGroup);
    authorityLayout->addRow("Lista Enti", authorities_);

    auto* lineGroup = new QGroupBox("Editing Linea");
    auto* lineLayout = new QFormLayout(lineGroup);
    lineLayout->addRow("Lista Linee", lines_);
    lineLayout->addRow("ID", id_);
    lineLayout->addRow("Codice Linea", code_);
    lineLayout->addRow("Denominazione", name_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(authorityGroup);
    layout->addWidget(lineGroup);
    layout->addStretch();
    layout->addLayout(makeButtonRow({ok_, cancel_, done_}));

    const DialogUnits units(fontMetrics());
    setFixedSize(units.x(325), units.y(195));

    connect(authorities_, &PickListCombo::dropDownClosed, this, &LineEditDialog::refillLines);
    connect(lines_, &PickListCombo::dropDownClosed, this, &LineEditDialog::loadChosenLine);
    connect(ok_, &QPushButton::clicked, this, &LineEditDialog::storeLine);
    connect(cancel_, &QPushButton::clicked, this, &LineEditDialog::dropLine);
    connect(done_, &QPushButton::clicked, this, &LineEditDialog::finish);

    fillCombo(authorities_, refdata::authoritiesWithLines(connection_));
    setEditing(false);
}

void LineEditDialog::refillLines()
{
    fillCombo(lines_, refdata::authorityLines(connection_, selectedCode(authorities_)));
}

void LineEditDialog::loadChosenLine()
{
    if (lines_->currentIndex() < 0)
        return;
    id_->setText(lines_->itemText(lines_->currentIndex()).left(4));
    const std::optional<korvan::lines::LineText> line = korvan::lines::readLine(connection_, id_->text().toStdString());
    if (!line)
        return;
    // A stored text longer than the limit is shown whole (the limit only
    // stops typing); a line edit would cut it on setText and OK would store
    // the cut text.
    const QString code = QString::fromStdString(line->code);
    const QString name = QString::fromStdString(line->name);
    code_->setMaxLength(std::max(korvan::lines::kLineCodeMaxLength, static_cast<int>(code.size())));
    name_->setMaxLength(std::max(korvan::lines::kLineNameMaxLength, static_cast<int>(name.size())));
    code_->setText(code);
    name_->setText(name);
    setEditing(true);
}

void LineEditDialog::storeLine()
{
    korvan::lines::writeLine(connection_, id_->text().toStdString(),
                             {code_->text().toStdString(), name_->text().toStdString()});
    dropLine();
}

void LineEditDialog::dropLine()
{
    id_->clear();
    code_->clear();
    name_->clear();
    code_->setMaxLength(korvan::lines::kLineCodeMaxLength);
    name_->setMaxLength(korvan::lines::kLineNameMaxLength);
    setEditing(false);
}

void LineEditDialog::setEditing(bool editing)
{
    code_->setEnabled(editing);
    name_->setEnabled(editing);
    ok_->setEnabled(editing);
    cancel_->setEnabled(editing);
}

void editNormalizedLines(DbConnection* connection, QWidget* parent)
{
    LineEditDialog dialog(connection, parent);
    dialog.exec();
}

} // namespace korvan::ui::lines
