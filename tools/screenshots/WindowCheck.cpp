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

void checkText(const QWidget* widget, std::vector<std::string>& faults)
{
    const QSize size = widget->size();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (label->text().isEmpty())
            return;
        const QSize wanted = label->wordWrap() ? QSize(0, label->heightForWidth(size.width())) : label->sizeHint();
        if (wanted.width() > size.width() || wanted.height() > size.height())
            faults.push_back("clipped text: " + describe(widget) + " needs " + sizeText(wanted) + ", has " +
                             sizeText(size));
    } else if (const auto* push = qobject_cast<const QPushButton*>(widget)) {
        const int wanted = push->fontMetrics().horizontalAdvance(push->text()) + 2 * kButtonTextMargin;
        if (!push->text().isEmpty() && wanted > size.width())
            faults.push_back("clipped text: " + describe(widget) + " needs " + std::to_string(wanted) +
                             " pixels, has " + std::to_string(size.width()));
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        const QSize wanted = button->sizeHint();
        if (!button->text().isEmpty() && (wanted.width() > size.width() || wanted.height() > size.height()))
            faults.push_back("clipped text: " + describe(widget) + " needs " + sizeText(wanted) + ", has " +
                             sizeText(size));
    } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        const int wanted = group->fontMetrics().horizontalAdvance(group->title()) + 2 * kGroupTitleMargin;
        if (!group->title().isEmpty() && wanted > size.width())
            faults.push_back("clipped text: " + describe(widget) + " needs " + std::to_string(wanted) +
                             " pixels, has " + std::to_string(size.width()));
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        if (size.height() < edit->fontMetrics().height())
            faults.push_back("squeezed field: " + describe(widget) + " is " + sizeText(size));
    } else if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        if (size.height() < combo->fontMetrics().height())
            faults.push_back("squeezed field: " + describe(widget) + " is " + sizeText(size));
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
