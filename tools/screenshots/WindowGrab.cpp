#include "WindowGrab.h"

#include "WindowCheck.h"
#include "ui/common/PickListCombo.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QEventLoop>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace korvan::screenshots {

namespace {

constexpr int kSettleMs = 150;
constexpr int kModalTimeoutMs = 10000;
// The room around a grabbed menu, to show where it opens.
constexpr int kMenuMargin = 40;

// The window's title above its picture, as a frame would show it.
QImage withTitleStrip(const QImage& content, const QString& title)
{
    const QFontMetrics metrics(QApplication::font());
    const int strip = metrics.height() + 10;
    QImage framed(content.width(), content.height() + strip, QImage::Format_RGB32);
    framed.fill(QColor(0x3c, 0x5a, 0x82));
    QPainter painter(&framed);
    painter.setPen(Qt::white);
    painter.setFont(QApplication::font());
    painter.drawText(QRect(8, 0, content.width() - 16, strip), Qt::AlignVCenter | Qt::AlignLeft,
                     metrics.elidedText(title, Qt::ElideRight, content.width() - 16));
    painter.drawImage(0, strip, content);
    return framed;
}

} // namespace

void settle()
{
    // A real event loop, which goes idle as the desktop's does: what waits
    // for the first idle moment (the busy clock, the wait cursor) ends
    // before the picture, as the user would see it.
    QEventLoop loop;
    QTimer::singleShot(kSettleMs, &loop, &QEventLoop::quit);
    loop.exec();
}

Picture grabWindow(QWidget& window)
{
    window.show();
    window.raise();
    settle();
    Picture picture;
    picture.image = withTitleStrip(window.grab().toImage(), window.windowTitle());
    picture.faults = windowFaults(window);
    return picture;
}

Picture grabModal(const std::function<void()>& open, const std::function<void(QWidget&)>& prepare)
{
    Picture picture;
    bool taken = false;
    QTimer poll;
    poll.setInterval(20);
    QDeadlineTimer deadline(kModalTimeoutMs);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            if (deadline.hasExpired())
                poll.stop();
            return;
        }
        poll.stop();
        if (prepare)
            prepare(*modal);
        picture = grabWindow(*modal);
        taken = true;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->done(QDialog::Rejected);
        else
            modal->close();
    });
    poll.start();
    open();
    poll.stop();
    if (!taken)
        picture.faults.push_back("no modal window opened");
    return picture;
}

Picture grabMenus(const std::vector<QMenu*>& menus)
{
    settle();
    Picture picture;
    QRect covered;
    for (const QMenu* menu : menus) {
        covered |= menu->frameGeometry();
        if (menu->actions().isEmpty())
            picture.faults.push_back("empty menu: " + menu->title().toStdString());
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    // From the top of the screen, so that the menu bar shows the entry opened.
    const QRect area = QRect(QPoint(covered.left() - kMenuMargin, 0), covered.bottomRight())
                           .adjusted(0, 0, kMenuMargin, kMenuMargin)
                           .intersected(screen->geometry());
    picture.image = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    return picture;
}

void chooseEntry(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    if (auto* pickList = qobject_cast<ui::PickListCombo*>(combo))
        emit pickList->dropDownClosed();
    settle();
}

} // namespace korvan::screenshots
