#include "ui/runs/SplitViewFrame.h"

#include "db/MessageSink.h"
#include "ui/runs/ListWindow.h"
#include "ui/runs/ViewLayout.h"

#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>

namespace korvan::ui::runs {

SplitViewFrame::SplitViewFrame(const korvan::runs::RunRow& run, MessageSink& sink, QWidget* parent)
    : QDialog(parent), sink_(sink)
{
    setModal(true);
    setWindowTitle(QString::fromStdString("Corsa: " + run.runCode));
    for (const std::string& text : {"Corsa: " + run.runCode, "P: " + run.departureLabel, "A: " + run.arrivalLabel}) {
        auto* label = new QLabel(QString::fromStdString(text), this);
        label->setObjectName(QStringLiteral("label%1").arg(labels_.size()));
        labels_.push_back(label);
    }
    list_ = new ListWindow(this);
    // Over the opener's client area, as the run browser stands.
    if (parent)
        setGeometry(QRect(parent->mapToGlobal(QPoint(0, 0)), parent->size()));
    else
        resize(900, 600);
}

QPushButton* SplitViewFrame::addBarButton(const QString& text, const char* objectName, int gap, int commandId)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    if (buttons_.empty())
        button->setDefault(true);
    connect(button, &QPushButton::clicked, this, [this, commandId] { runCommand(commandId); });
    buttons_.emplace_back(button, gap);
    placeControls();
    return button;
}

std::string discardQuestion()
{
    return "Le modifiche non sono state registrate con \"Registra Modifiche\".\n\n"
           "Intendi veramente annullarle ?";
}

void SplitViewFrame::reject()
{
    if (hasUnsavedChanges() && !sink_.askConfirmation(discardQuestion()))
        return;
    QDialog::reject();
}

void SplitViewFrame::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeControls();
}

void SplitViewFrame::placeControls()
{
    std::vector<BarButton> bar;
    for (const auto& [button, gap] : buttons_)
        bar.push_back({button, gap});
    layOutView(*this, labels_, list_, bar);
}

} // namespace korvan::ui::runs
