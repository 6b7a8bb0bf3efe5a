#include "WindowCheck.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

#include <map>

namespace korvan::screenshots {

namespace {

// Room a push button's frame takes on each side of its text.
constexpr int kButtonTextMargin = 4;
// Room a group box's frame takes beside its title.
constexpr int kGroupTitleMargin = 12;

std::string describe(const QWidget* widget)
{
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        text = label->text();
    else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        text = button->text();
    else if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        text = group->title();
    QString name = QString::fromLatin1(widget->metaObject()->className());
    if (!widget->objectName().isEmpty())
        name += " " + widget->objectName();
    if (!text.isEmpty())
        name += " \"" + text.simplified() + "\"";
    return name.toStdString();
}

std::string sizeText(const QSize& size)
{
    return std::to_string(size.width()) + "x" + std::to_string(size.height());
}

// The controls a reader sees as one thing; their own inner widgets (the
// edit field of a combo box, say) are not checked separately.
bool isControl(const QWidget* widget)
{
    return qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QGroupBox*>(widget) || qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractItemView*>(widget);
}

bool insideControl(const QWidget* widget, const QWidget* window)
{
    for (const QWidget* up = widget->parentWidget(); up && up != window; up = up->parentWidget()) {
        if (isControl(up) && !qobject_cast<const QGroupBox*>(up))
            return true;
    }
    return false;
}

// A text that needs `wanted` is cut off when the control is smaller (a
// dimension of 0 in `wanted` is not checked).
void checkRoom(const QWidget* widget, const QString& text, const QSize& wanted, std::vector<std::string>& faults)
{
    const QSize size = widget->size();
    if (!text.isEmpty() && (wanted.width() > size.width() || wanted.height() > size.height()))
        faults.push_back("clipped text: " + describe(widget) + " needs " + sizeText(wanted) + ", has " +
                         sizeText(size));
}

// Text a line shows, in the height of one line of its font.
void checkFieldHeight(const QWidget* widget, std::vector<std::string>& faults)
{
    if (widget->height() < widget->fontMetrics().height())
        faults.push_back("squeezed field: " + describe(widget) + " is " + sizeText(widget->size()));
}

void checkText(const QWidget* widget, std::vector<std::string>& faults)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        const QSize wanted = label->wordWrap() ? QSize(0, label->heightForWidth(label->width())) : label->sizeHint();
        checkRoom(widget, label->text(), wanted, faults);
    } else if (const auto* push = qobject_cast<const QPushButton*>(widget)) {
        const int wanted = push->fontMetrics().horizontalAdvance(push->text()) + 2 * kButtonTextMargin;
        checkRoom(widget, push->text(), QSize(wanted, 0), faults);
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        checkRoom(widget, button->text(), button->sizeHint(), faults);
    } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        const int wanted = group->fontMetrics().horizontalAdvance(group->title()) + 2 * kGroupTitleMargin;
        checkRoom(widget, group->title(), QSize(wanted, 0), faults);
    } else if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget)) {
        checkFieldHeight(widget, faults);
    }
}

void checkEmptyList(const QWidget* widget, std::vector<std::string>& faults)
{
    if (!widget->isEnabled())
        return;
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        if (combo->count() == 0)
            faults.push_back("empty list: " + describe(widget));
    } else if (const auto* view = qobject_cast<const QAbstractItemView*>(widget)) {
        if (view->model() && view->model()->rowCount(view->rootIndex()) == 0)
            faults.push_back("empty list: " + describe(widget));
    }
}

// Controls of one parent that overlap each other or leave the parent.
void checkPlacement(const QWidget* parent, const std::vector<const QWidget*>& children,
                    std::vector<std::string>& faults)
{
    for (std::size_t i = 0; i < children.size(); ++i) {
        const QRect area = children[i]->geometry();
        if (!parent->rect().contains(area))
            faults.push_back("cut off: " + describe(children[i]) + " leaves " + describe(parent));
        for (std::size_t j = i + 1; j < children.size(); ++j) {
            if (area.intersects(children[j]->geometry()))
                faults.push_back("overlap: " + describe(children[i]) + " and " + describe(children[j]));
        }
    }
}

} // namespace

std::vector<std::string> windowFaults(const QWidget& window)
{
    std::vector<std::string> faults;
    if (const QLayout* layout = window.layout()) {
        const QSize minimum = layout->totalMinimumSize();
        if (minimum.width() > window.width() || minimum.height() > window.height())
            faults.push_back("squeezed window: its layout needs " + sizeText(minimum) + ", it has " +
                             sizeText(window.size()));
    }
    std::map<const QWidget*, std::vector<const QWidget*>> byParent;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->isWindow() || !widget->isVisibleTo(&window) || !isControl(widget) || insideControl(widget, &window))
            continue;
        checkText(widget, faults);
        checkEmptyList(widget, faults);
        byParent[widget->parentWidget()].push_back(widget);
    }
    for (const auto& [parent, children] : byParent)
        checkPlacement(parent, children, faults);
    return faults;
}

} // namespace korvan::screenshots
