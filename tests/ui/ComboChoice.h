#pragma once

// Choosing in a combo box's drop-down list as the user does: real mouse and
// key events on the pop-up the combo opens, then the event loop until the
// list has closed and the combo has told its choice.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QStringList>
#include <QTest>

namespace korvan::test {

// Opens the drop-down list of `combo`, showing its window first if needed.
inline QAbstractItemView* openDropDown(QComboBox* combo)
{
    QWidget* window = combo->window();
    if (!window->isVisible()) {
        window->show();
        if (!QTest::qWaitForWindowExposed(window))
            qFatal("the combo's window is not shown");
    }
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    if (!QTest::qWaitForWindowExposed(list->window()))
        qFatal("the drop-down list is not shown");
    // A release within the double-click interval of the opening is taken for
    // the end of the click that opened the list.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    return list;
}

// Lets the list close and the queued notices run.
inline void settleDropDown(QAbstractItemView* list)
{
    if (!QTest::qWaitFor([list] { return !list->window()->isVisible(); }, 5000))
        qFatal("the drop-down list did not close");
    QTest::qWait(50);
}

// Clicks entry `index` of the drop-down list with the mouse. For -1: clears
// the selection, opens the list and closes it with Escape, choosing nothing.
inline void chooseEntry(QComboBox* combo, int index)
{
    if (index < 0)
        combo->setCurrentIndex(-1);
    QAbstractItemView* list = openDropDown(combo);
    if (index >= 0) {
        const QRect item = list->visualRect(list->model()->index(index, combo->modelColumn()));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
    } else {
        QTest::keyClick(list, Qt::Key_Escape);
    }
    settleDropDown(list);
}

// The keyboard way: Alt+Down opens the list, Down `downs` times, Return
// chooses the entry reached.
inline void chooseWithKeys(QComboBox* combo, int downs)
{
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView* list = combo->view();
    if (!QTest::qWaitForWindowExposed(list->window()))
        qFatal("the drop-down list is not shown");
    for (int i = 0; i < downs; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    settleDropDown(list);
}

inline QStringList entriesOf(const QComboBox* combo)
{
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    return entries;
}

} // namespace korvan::test
