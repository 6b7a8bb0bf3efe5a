#include "WindowCheck.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
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
           qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractScrollArea*>(widget);
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

// Widgets of one parent, in their stacking order (the later on top), that
// cover each other: a control under any other widget (a list window, a
// panel holding controls) is hidden where they meet.
void checkCovering(const std::vector<const QWidget*>& siblings, std::vector<std::string>& faults)
{
    for (std::size_t i = 0; i < siblings.size(); ++i) {
        for (std::size_t j = i + 1; j < siblings.size(); ++j) {
            if (siblings[i]->geometry().intersects(siblings[j]->geometry()))
                faults.push_back("overlap: " + describe(siblings[i]) + " under " + describe(siblings[j]));
        }
    }
}

// A control shows only inside its parent, inside that one's parent and so
// on up to the window's edge: the first of them it leaves cuts it.
void checkInsideAncestors(const QWidget* control, const QWidget* window, std::vector<std::string>& faults)
{
    QRect area = control->geometry();
    for (const QWidget* up = control->parentWidget(); up; up = up->parentWidget()) {
        if (!up->rect().contains(area)) {
            faults.push_back("cut off: " + describe(control) + " leaves " + describe(up));
            return;
        }
        if (up == window)
            return;
        area.translate(up->pos());
    }
}

// The widgets a reader sees something of: a control, or a widget holding
// one (a panel, a container) or painting its own (a list window).
bool showsSomething(const QWidget* widget)
{
    if (isControl(widget) || qobject_cast<const QFrame*>(widget) || widget->autoFillBackground() ||
        widget->testAttribute(Qt::WA_OpaquePaintEvent))
        return true;
    for (const QWidget* child : widget->findChildren<QWidget*>()) {
        if (!child->isWindow() && child->isVisibleTo(widget) && isControl(child))
            return true;
    }
    return false;
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
    // Every shown widget by its parent, in stacking order, leaving out the
    // inner widgets of a control (the edit field of a combo box, the
    // viewport of a list).
    std::map<const QWidget*, std::vector<const QWidget*>> byParent;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->isWindow() || !widget->isVisibleTo(&window) || insideControl(widget, &window))
            continue;
        if (isControl(widget)) {
            checkText(widget, faults);
            checkEmptyList(widget, faults);
            checkInsideAncestors(widget, &window, faults);
        }
        if (showsSomething(widget))
            byParent[widget->parentWidget()].push_back(widget);
    }
    for (auto& [parent, children] : byParent) {
        const QObjectList order = parent->children();
        std::sort(children.begin(), children.end(), [&order](const QWidget* a, const QWidget* b) {
            return order.indexOf(const_cast<QWidget*>(a)) < order.indexOf(const_cast<QWidget*>(b));
        });
        checkCovering(children, faults);
    }
    return faults;
}

} // namespace korvan::screenshots
