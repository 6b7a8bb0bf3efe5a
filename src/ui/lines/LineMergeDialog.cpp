#include "ui/lines/LineMergeDialog.h"

#include "lines/LineMerge.h"
#include "ui/common/DialogButtons.h"
#include "ui/common/DialogUnits.h"
#include "ui/common/PickListCombo.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvan::ui::lines {

LineMergeDialog::LineMergeDialog(DbConnection* connection, MessageSink& sink, QWidget* parent)
    : RoundDialog(parent), connection_(connection), sink_(sink), authorities_(new PickListCombo),
      source_(new PickListCombo), target_(new PickListCombo), ok_(new QPushButton("OK")),
      cancel_(new QPushButton("Annulla")), done_(new QPushButton("Fine"))
{
    setWindowTitle("Fusione Linee Normalizzate");
    authorities_->setObjectName("listaEnti");
    source_->setObjectName("trasferiscoLaLinea");
    target_->setObjectName("nellaLinea");
    ok_->setObjectName("ok");
    cancel_->setObjectName("annulla");
    done_->setObjectName("fine");

    auto* authorityGroup = new QGroupBox("Selezione Ente Concedente");
    auto* authorityLayout = new QFormLayout(authorityGroup);
    authorityLayout->addRow("Lista Enti", authorities_);

    auto* lineGroup = new QGroupBox("Selezione Linee");
    auto* lineLayout = new QFormLayout(lineGroup);
    lineLayout->addRow("Trasferisco la Linea", source_);
    lineLayout->addRow("Nella Linea", target_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(authorityGroup);
    layout->addWidget(lineGroup);
    layout->addStretch();
    layout->addLayout(makeButtonRow({ok_, cancel_, done_}));

    const DialogUnits units(fontMetrics());
    setFixedSize(units.x(325), units.y(150));

    connect(authorities_, &PickListCombo::dropDownClosed, this, [this] { refillLines(selectedCode(authorities_)); });
    connect(ok_, &QPushButton::clicked, this, &LineMergeDialog::mergeChosenLines);
    connect(cancel_, &QPushButton::clicked, this, &LineMergeDialog::clearChoice);
    connect(done_, &QPushButton::clicked, this, &LineMergeDialog::finish);

    fillCombo(authorities_, refdata::authoritiesWithLines(connection_));
    clearCombo(source_);
    clearCombo(target_);
}

void LineMergeDialog::refillLines(int authority)
{
    const refdata::PickList lines = refdata::authorityLines(connection_, authority);
    fillCombo(source_, lines);
    fillCombo(target_, lines);
}

void LineMergeDialog::mergeChosenLines()
{
    const korvan::lines::MergeChoice choice{comboEditText(authorities_), comboEntries(authorities_),
                                            comboEditText(source_),      comboEntries(source_),
                                            comboEditText(target_),      comboEntries(target_)};
    const std::optional<korvan::lines::MergeRequest> request = korvan::lines::validateMerge(choice, sink_);
    if (!request)
        return;
    korvan::lines::mergeLines(connection_, request->source, request->target, sink_);
    refillLines(request->authority);
}

void LineMergeDialog::clearChoice()
{
    authorities_->setCurrentIndex(-1);
    authorities_->setEditText(QString());
    clearCombo(source_);
    clearCombo(target_);
}

void mergeNormalizedLines(DbConnection* connection, MessageSink& sink, QWidget* parent)
{
    LineMergeDialog dialog(connection, sink, parent);
    dialog.exec();
}

} // namespace korvan::ui::lines
