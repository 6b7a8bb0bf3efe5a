#include "lines/LineMergeDialog.h"

#include "lines/LineMerge.h"
#include "refdata/PickListCombo.h"
#include "shell/DialogButtons.h"
#include "shell/DialogUnits.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvan::lines {

LineMergeDialog::LineMergeDialog(DbConnection* connection, MessageSink& sink, QWidget* parent)
    : QDialog(parent), connection_(connection), sink_(sink), authorities_(new refdata::PickListCombo),
      source_(new refdata::PickListCombo), target_(new refdata::PickListCombo), ok_(new QPushButton("OK")),
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
    layout->addLayout(shell::makeButtonRow({ok_, cancel_, done_}));

    const shell::DialogUnits units(fontMetrics());
    setFixedSize(units.x(325), units.y(150));

    connect(authorities_, &refdata::PickListCombo::dropDownClosed, this,
            [this] { refillLines(refdata::selectedCode(authorities_)); });
    connect(ok_, &QPushButton::clicked, this, &LineMergeDialog::mergeChosenLines);
    connect(cancel_, &QPushButton::clicked, this, &LineMergeDialog::clearChoice);
    connect(done_, &QPushButton::clicked, this, &QDialog::accept);

    refdata::fillCombo(authorities_, refdata::authoritiesWithLines(connection_));
    refdata::clearCombo(source_);
    refdata::clearCombo(target_);
}

void LineMergeDialog::reject()
{
    clearChoice();
}

void LineMergeDialog::refillLines(int authority)
{
    const refdata::PickList lines = refdata::authorityLines(connection_, authority);
    refdata::fillCombo(source_, lines);
    refdata::fillCombo(target_, lines);
}

void LineMergeDialog::mergeChosenLines()
{
    const MergeChoice choice{refdata::comboEditText(authorities_), refdata::comboEntries(authorities_),
                             refdata::comboEditText(source_),      refdata::comboEntries(source_),
                             refdata::comboEditText(target_),      refdata::comboEntries(target_)};
    const std::optional<MergeRequest> request = validateMerge(choice, sink_);
    if (!request)
        return;
    mergeLines(connection_, request->source, request->target, sink_);
    refillLines(request->authority);
}

void LineMergeDialog::clearChoice()
{
    authorities_->setCurrentIndex(-1);
    authorities_->setEditText(QString());
    refdata::clearCombo(source_);
    refdata::clearCombo(target_);
}

void mergeNormalizedLines(DbConnection* connection, MessageSink& sink, QWidget* parent)
{
    LineMergeDialog dialog(connection, sink, parent);
    dialog.exec();
}

} // namespace korvan::lines
