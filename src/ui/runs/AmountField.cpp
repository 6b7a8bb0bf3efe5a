#include "ui/runs/AmountField.h"

#include "db/Values.h"
#include "runs/RunAccounting.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace korvan::ui::runs {

namespace {

// The width the edit needs to show `text` without scrolling it.
int widthFor(const QLineEdit* edit, const QString& text)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QMargins textMargins = edit->textMargins();
    const QMargins contents = edit->contentsMargins();
    // QLineEdit keeps 2 pixels of its own on each side of the text, and one
    // more character's room for the text cursor.
    const int inner = edit->fontMetrics().horizontalAdvance(text + QLatin1Char('0')) + 4 + textMargins.left() +
                      textMargins.right() + contents.left() + contents.right();
    return edit->style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, edit->fontMetrics().height()), edit)
        .width();
}

} // namespace

void showAmount(QLineEdit* edit, double amount)
{
    const QString text = QString::fromStdString(formatText("%1.2f", amount));
    edit->setMaxLength(std::max(static_cast<int>(korvan::runs::kAmountMaxLength), static_cast<int>(text.size())));
    edit->setText(text);
    edit->setCursorPosition(0);
    const int needed = widthFor(edit, text);
    if (edit->minimumWidth() == edit->maximumWidth()) {
        if (edit->maximumWidth() < needed)
            edit->setFixedWidth(needed);
    } else if (edit->minimumWidth() < needed) {
        edit->setMinimumWidth(needed);
    }
}

} // namespace korvan::ui::runs
