#include "ui/runs/SplitViewFrame.h"

#include "ui/runs/ListWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>

namespace korvan::ui::runs {

SplitViewFrame::SplitViewFrame(const korvan::runs::RunRow& run, QWidget* parent) : QDialog(parent)
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

void SplitViewFrame::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeControls();
}

void SplitViewFrame::placeControls()
{
    const int width = this->width();
    const int height = this->height();
    int y = 5;
    for (QLabel* label : labels_) {
        const int labelHeight = label->sizeHint().height();
        label->setGeometry(10, y, std::max(width - 60, 0), labelHeight);
        y += labelHeight + 5;
    }
    list_->setGeometry(10, 60, std::max(width - 20, 0), std::max(height - 95, 0));
    int x = 15;
    bool first = true;
    for (const auto& [button, gap] : buttons_) {
        if (!first)
            x += gap;
        first = false;
        const QSize size = button->sizeHint();
        button->setGeometry(x, height - 5 - size.height(), size.width(), size.height());
        x += size.width();
    }
}

} // namespace korvan::ui::runs
