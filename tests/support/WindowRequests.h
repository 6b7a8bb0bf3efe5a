#pragma once

// What the desktop sends a window, through the same paths the window system
// takes: Escape typed into it, a click of the mouse, and the title bar's
// close button (a spontaneous close event to its window).

#include <QCloseEvent>
#include <QCoreApplication>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace korvan::test {

inline void typeEscape(QWidget* window)
{
    QTest::keyClick(window->window()->windowHandle(), Qt::Key_Escape);
}

inline void clickWithMouse(QWidget* widget)
{
    QWindow* window = widget->window()->windowHandle();
    QTest::mouseClick(window, Qt::LeftButton, {}, window->mapFromGlobal(widget->mapToGlobal(widget->rect().center())));
}

// True when the window accepted to close.
inline bool pressCloseButton(QWidget* window)
{
    QCloseEvent close;
    QSpontaneKeyEvent::setSpontaneous(&close);
    QCoreApplication::sendEvent(window->window()->windowHandle(), &close);
    return close.isAccepted();
}

// A window's two cancel requests: Escape, or the close button.
inline void requestClose(QWidget* window, bool escape)
{
    if (escape)
        typeEscape(window);
    else
        pressCloseButton(window);
}

} // namespace korvan::test
