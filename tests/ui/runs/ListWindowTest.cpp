// The owner-drawn list window with its first client, the run list: drawing
// checked pixel by pixel in the image the window copies to the screen, the
// cursor and scroll clamps, clicks, selection, wheel, keyboard, balloon and
// pop-up.

#include "ui/runs/ListWindow.h"
#include "runs/RunListModel.h"
#include "ui/runs/RunBrowserCommands.h"
#include "ui/runs/RunListClient.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <map>
#include <memory>

using namespace korvan;
using korvan::runs::RunListModel;
using korvan::runs::RunRow;
using namespace korvan::ui::runs;

namespace {

RunRow makeRow(long id)
{
    RunRow row;
    row.company = 3;
    row.runId = id;
    row.runCode = "C" + std::to_string(id);
    row.departureMinutes = 7 * 60 + 30;
    row.arrivalMinutes = 8 * 60 + 15;
    row.lengthMetres = 12340;
    row.serviceDays = 45;
    row.firstDay = "07/01/2024";
    row.lastDay = "28/06/2024";
    row.amount = 10.5;
    row.payingAuthority = 40;
    row.payingAuthorityName = "Provincia Quaranta";
    row.departureLabel = "07:30 Piazza Dante";
    row.arrivalLabel = "08:15 ???";
    return row;
}

bool isRed(QRgb c)
{
    return qRed(c) > 140 && qGreen(c) < 90 && qBlue(c) < 90;
}
bool isDark(QRgb c)
{
    return qRed(c) < 90 && qGreen(c) < 90 && qBlue(c) < 90;
}
bool isGreyText(QRgb c)
{
    return qRed(c) > 150 && qRed(c) < 235 && qAbs(qRed(c) - qGreen(c)) < 8 && qAbs(qRed(c) - qBlue(c)) < 8;
}

// Pixels of the rectangle that satisfy the test.
template <typename Test> int countPixels(const QImage& image, const QRect& rect, Test test)
{
    int found = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.rect().contains(x, y) && test(image.pixel(x, y)))
                ++found;
    return found;
}

} // namespace

class ListWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<RunListModel> model;
    std::unique_ptr<RunListClient> client;
    std::unique_ptr<ListWindow> window;
    std::vector<int> commands;

    void load(int rows, QSize size = QSize(900, 300))
    {
        model = std::make_unique<RunListModel>(3);
        for (int i = 1; i <= rows; ++i)
            model->addRow(makeRow(i * 10));
        client = std::make_unique<RunListClient>([this](int id) { commands.push_back(id); });
        client->setModel(model.get());
        window = std::make_unique<ListWindow>();
        window->resize(size);
        window->setClient(client.get());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->renderList();
    }

    const ListGeometry& g() const { return window->listGeometry(); }
    int rowTop(int position) const { return g().rowTop(position, window->topRow()); }
    QRect rowBand(int position, int fromColumnText, int toColumnBoundary) const
    {
        const int x0 = -window->scrollX();
        return QRect(QPoint(x0 + g().textLeft(fromColumnText), rowTop(position) + 3),
                     QPoint(x0 + g().boundary(toColumnBoundary) - 2, rowTop(position) + g().lineHeight));
    }
    QPoint rowPoint(int position) const { return QPoint(40, rowTop(position) + g().rowHeight() / 2); }

    std::vector<int> selectedPositions() const
    {
        std::vector<int> positions;
        for (int i = 0; i < model->count(); ++i)
            if (model->rowAt(i)->selected)
                positions.push_back(i);
        return positions;
    }

    static Qt::Key keyNamed(const QString& name)
    {
        static const std::map<QString, Qt::Key> keys{{"Up", Qt::Key_Up},         {"Down", Qt::Key_Down},
                                                     {"PageUp", Qt::Key_PageUp}, {"PageDown", Qt::Key_PageDown},
                                                     {"Home", Qt::Key_Home},     {"End", Qt::Key_End}};
        return keys.at(name);
    }

    void click(const QPoint& at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(window->viewport(), Qt::LeftButton, modifiers, at);
        window->renderList();
    }

  private slots:
    void init() { commands.clear(); }

    void measuresFiveColumnsFromTheirSamples()
    {
        load(3);
        QCOMPARE(g().columnCount(), 5);
        const QFontMetrics metrics(ListWindow::listFont());
        QCOMPARE(g().widths[0], metrics.horizontalAdvance("999999") + 2);
        QCOMPARE(g().widths[1], g().widths[2]);
        QCOMPARE(g().totalWidth(), g().widths[0] + g().widths[1] + g().widths[2] + g().widths[3] + g().widths[4] + 25);
        QCOMPARE(g().boundary(1), g().widths[0] + g().widths[1] + 10);
        QCOMPARE(g().textLeft(4), g().widths[0] + g().widths[1] + g().widths[2] + g().widths[3] + 25);
        QCOMPARE(g().rowTop(2, 0), g().lineHeight + 6 + 2 * (g().lineHeight + 4));
    }

    void writesTimesLengthAndDaysAsTheListShowsThem()
    {
        const RunRow row = makeRow(1);
        QCOMPARE(RunListClient::timesText(row), QStringLiteral("P. 07:30  A. 08:15  (12.34 Km)"));
        QCOMPARE(RunListClient::serviceDaysText(row), QStringLiteral("45 (07/01/2024 - 28/06/2024)"));
    }

    void drawsTheHeaderBlueAndTheCursorRowYellow()
    {
        load(5);
        QImage image = window->renderList();
        QCOMPARE(image.pixel(g().boundary(4) - 2, 2), QColor(0, 0, 192).rgb());
        // Cursor on row 0: yellow between the last text and the boundary.
        const int rightGap = g().boundary(4) - 2;
        QCOMPARE(image.pixel(rightGap, rowTop(0) + 3), QColor(255, 255, 0).rgb());
        QCOMPARE(image.pixel(rightGap, rowTop(1) + 3), QColor(255, 255, 255).rgb());
        window->setCursorRow(2);
        image = window->renderList();
        QCOMPARE(image.pixel(rightGap, rowTop(0) + 3), QColor(255, 255, 255).rgb());
        QCOMPARE(image.pixel(rightGap, rowTop(2) + 3), QColor(255, 255, 0).rgb());
        // Grid: the row's bottom line is grey.
        QCOMPARE(image.pixel(rightGap, rowTop(2) + g().rowHeight()), QColor(192, 192, 192).rgb());
    }

    void writesModifiedRowsRedAndMinimumServiceGrey()
    {
        load(4);
        model->rowAt(1)->modified = true;
        model->rowAt(1)->minimumService = true;
        model->rowAt(2)->minimumService = true;
        const QImage image = window->renderList();
        // Row 1: ID in red, "Servizio Minimo" grey, not red.
        QVERIFY(countPixels(image, rowBand(1, 0, 0), isRed) > 5);
        QCOMPARE(countPixels(image, rowBand(1, 0, 0), isDark), 0);
        const QRect financing = rowBand(1, 2, 2);
        QVERIFY(countPixels(image, financing, isGreyText) > 5);
        QCOMPARE(countPixels(image, financing, isRed), 0);
        // Row 2: black ID, grey financing; row 3: black payer name.
        QVERIFY(countPixels(image, rowBand(2, 0, 0), isDark) > 5);
        QCOMPARE(countPixels(image, rowBand(2, 0, 0), isRed), 0);
        QVERIFY(countPixels(image, rowBand(2, 2, 2), isGreyText) > 5);
        QVERIFY(countPixels(image, rowBand(3, 2, 2), isDark) > 5);
    }

    void writesTheSelectedRowsFinancingWhiteOnBlack()
    {
        load(3);
        model->rowAt(2)->selected = true;
        const QImage image = window->renderList();
        // The name's box is black with white letters; the row above keeps white.
        const QFontMetrics metrics(ListWindow::listFont());
        const QRect box(QPoint(g().textLeft(2), rowTop(2) + 3),
                        QSize(metrics.horizontalAdvance("Provincia Quaranta"), g().lineHeight - 4));
        const int black = countPixels(image, box, [](QRgb c) { return c == QColor(0, 0, 0).rgb(); });
        const int white = countPixels(image, box, [](QRgb c) { return c == QColor(255, 255, 255).rgb(); });
        QVERIFY(black > box.width() * box.height() / 4);
        QVERIFY(white > 10);
        QCOMPARE(image.pixel(g().textLeft(2) + 1, rowTop(1) + 3), QColor(255, 255, 255).rgb());
    }

    void putsTheMarkersAtTheRightEndOfTheFinancingColumn()
    {
        load(3);
        model->rowAt(0)->itineraryMarker = true;
        model->rowAt(1)->itineraryMarker = true;
        model->rowAt(1)->calendarMarker = true;
        model->rowAt(2)->calendarMarker = true;
        window->setCursorRow(2);
        const QImage image = window->renderList();
        const QFontMetrics metrics(ListWindow::listFont());
        const int perc = metrics.horizontalAdvance(" PERC ");
        const int cal = metrics.horizontalAdvance(" CAL ");
        const int right = g().textRight(2);
        const int y0 = rowTop(0) + 3, y1 = rowTop(1) + 3, y2 = rowTop(2) + 3;
        const QRgb green = QColor(0, 192, 0).rgb(), red = QColor(192, 0, 0).rgb();
        // PERC alone: green box ending at the column's right, CAL's place empty.
        QCOMPARE(image.pixel(right - perc + 1, y0), green);
        QCOMPARE(image.pixel(right - 2, y0), green);
        QCOMPARE(image.pixel(right - 5 - cal - perc + 1, y0), QColor(255, 255, 255).rgb());
        // Both: CAL to the left of PERC, 5 pixels apart.
        QCOMPARE(image.pixel(right - 5 - cal - perc + 1, y1), red);
        QCOMPARE(image.pixel(right - perc - 6, y1), red);
        QCOMPARE(image.pixel(right - perc - 2, y1), QColor(255, 255, 255).rgb());
        QCOMPARE(image.pixel(right - perc + 1, y1), green);
        // CAL alone keeps its place; the cursor row's yellow shows where PERC is not.
        QCOMPARE(image.pixel(right - 5 - cal - perc + 1, y2), red);
        QCOMPARE(image.pixel(right - 2, y2), QColor(255, 255, 0).rgb());
    }

    void clampsTheFirstRowAndKeepsTheCursorOnItsRow()
    {
        load(30, QSize(900, 200));
        const int visible = window->visibleRows();
        QVERIFY(visible > 2 && visible < 30);
        QVERIFY(window->verticalScrollBar()->isEnabled());
        window->setCursorRow(0);
        window->verticalScrollBar()->setValue(1000);
        window->renderList();
        QCOMPARE(window->topRow(), 30 - visible);
        QCOMPARE(window->cursorRow(), 0); // out of view, still on its row
        window->setCursorRow(29);
        window->verticalScrollBar()->setValue(0);
        window->renderList();
        QCOMPARE(window->topRow(), 0);
        QCOMPARE(window->cursorRow(), 29);
        // Brought back into view with the least scrolling.
        window->scrollToCursor();
        window->renderList();
        QCOMPARE(window->topRow(), 30 - visible);
        QCOMPARE(window->cursorRow(), 29);
        // A model that shrinks: the first row comes back so the rows fill the window.
        window->setTopRow(20);
        window->renderList();
        model = std::make_unique<RunListModel>(3);
        for (int i = 1; i <= 5; ++i)
            model->addRow(makeRow(i));
        client->setModel(model.get());
        window->refresh();
        window->renderList();
        QCOMPARE(window->topRow(), 0);
        QCOMPARE(window->cursorRow(), 4);
    }

    void disablesTheVerticalBarWhenEveryRowFits()
    {
        load(3, QSize(900, 400));
        QVERIFY(!window->verticalScrollBar()->isEnabled());
        QCOMPARE(window->topRow(), 0);
        // A wide window needs no horizontal bar; a narrow one does.
        window->resize(g().totalWidth() + 200, 400);
        window->renderList();
        QVERIFY(!window->horizontalScrollBar()->isEnabled());
        window->resize(300, 400);
        window->renderList();
        QVERIFY(window->horizontalScrollBar()->isEnabled());
        window->horizontalScrollBar()->setValue(window->horizontalScrollBar()->maximum());
        QCOMPARE(window->scrollX(), g().totalWidth() - window->viewport()->width());
    }

    void clicksOnTheHeaderLeaveTheCursorAndBelowTheLastRowStayOnRows()
    {
        load(4, QSize(900, 400));
        window->setCursorRow(2);
        click(QPoint(40, 3));
        QCOMPARE(window->cursorRow(), 2);
        click(QPoint(40, 3), Qt::ControlModifier);
        QVERIFY(!model->rowAt(2)->selected && !model->rowAt(0)->selected);
        QTest::mouseDClick(window->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 3));
        QVERIFY(commands.empty());
        click(QPoint(40, window->viewport()->height() - 5));
        QCOMPARE(window->cursorRow(), 3);
        click(rowPoint(1));
        QCOMPARE(window->cursorRow(), 1);
        QVERIFY(!model->rowAt(1)->selected);
    }

    void togglesTheSelectionWithCtrlOrShift()
    {
        load(4);
        click(rowPoint(2), Qt::ControlModifier);
        QVERIFY(model->rowAt(2)->selected);
        click(rowPoint(2), Qt::ControlModifier);
        QVERIFY(!model->rowAt(2)->selected);
        click(rowPoint(1), Qt::ShiftModifier);
        click(rowPoint(3), Qt::ShiftModifier);
        QVERIFY(model->rowAt(1)->selected);
        QVERIFY(model->rowAt(3)->selected);
        QVERIFY(!model->rowAt(2)->selected); // no range selection
    }

    void doubleClickAsksForTheRunsAccounting()
    {
        load(4);
        QTest::mouseDClick(window->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(3));
        QCOMPARE(window->cursorRow(), 3);
        QCOMPARE(commands, std::vector<int>{command::RunAccounting});
    }

    void wheelMovesOneRowUnderTheCursor()
    {
        load(30, QSize(900, 200));
        QWheelEvent down(QPointF(40, 50), window->viewport()->mapToGlobal(QPointF(40, 50)), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        for (int i = 0; i < 3; ++i)
            QApplication::sendEvent(window->viewport(), &down);
        QCOMPARE(window->topRow(), 3);
        QCOMPARE(window->cursorRow(), 0);
        QWheelEvent up(QPointF(40, 50), window->viewport()->mapToGlobal(QPointF(40, 50)), QPoint(), QPoint(0, 120),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        for (int i = 0; i < 10; ++i)
            QApplication::sendEvent(window->viewport(), &up);
        QCOMPARE(window->topRow(), 0);
        QCOMPARE(window->cursorRow(), 0);
    }

    // The cursor keys move the cursor and scroll the least that keeps it
    // in view, from wherever it stands.
    void cursorKeysMoveTheCursorAndKeepItInView_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected"); // the cursor row; "visible" = rows shown at once
        QTest::newRow("Down") << 0 << "Down Down Down"
                              << "3";
        QTest::newRow("Up") << 3 << "Up"
                            << "2";
        QTest::newRow("Up on the first row") << 0 << "Up"
                                             << "0";
        QTest::newRow("Down on the last row") << 29 << "Down"
                                              << "29";
        QTest::newRow("End") << 0 << "End"
                             << "29";
        QTest::newRow("Home") << 20 << "Home"
                              << "0";
        QTest::newRow("Page Down") << 0 << "PageDown"
                                   << "visible";
        QTest::newRow("Page Down twice, Page Up") << 0 << "PageDown PageDown PageUp"
                                                  << "visible";
        QTest::newRow("Page Up near the top") << 2 << "PageUp"
                                              << "0";
        QTest::newRow("Page Down near the end") << 27 << "PageDown"
                                                << "29";
    }

    void cursorKeysMoveTheCursorAndKeepItInView()
    {
        QFETCH(int, start);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        load(30, QSize(900, 200));
        const int visible = window->visibleRows();
        window->setCursorRow(start);
        window->scrollToCursor();
        window->renderList();
        for (const QString& key : keys.split(' '))
            QTest::keyClick(window.get(), keyNamed(key));
        window->renderList();
        const int cursor = expected == "visible" ? visible : expected.toInt();
        QCOMPARE(window->cursorRow(), cursor);
        QVERIFY(window->topRow() <= cursor && cursor < window->topRow() + visible);
    }

    // A cursor scrolled out of view comes back into view with the next key.
    void aKeyBringsACursorOutOfViewBack()
    {
        load(30, QSize(900, 200));
        window->setCursorRow(1);
        window->setTopRow(20);
        window->renderList();
        QTest::keyClick(window.get(), Qt::Key_Down);
        window->renderList();
        QCOMPARE(window->cursorRow(), 2);
        QCOMPARE(window->topRow(), 2);
    }

    // Space selects or clears the cursor row; Shift with the arrows selects
    // from where it began to the cursor, and going back clears what the
    // cursor leaves.
    void spaceAndShiftWithTheArrowsSelect()
    {
        load(10, QSize(900, 400));
        window->setCursorRow(2);
        QTest::keyClick(window.get(), Qt::Key_Space);
        QCOMPARE(selectedPositions(), std::vector<int>{2});
        QTest::keyClick(window.get(), Qt::Key_Space);
        QVERIFY(selectedPositions().empty());
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(window.get(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(window->cursorRow(), 5);
        QCOMPARE(selectedPositions(), (std::vector<int>{2, 3, 4, 5}));
        QTest::keyClick(window.get(), Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(selectedPositions(), (std::vector<int>{2, 3, 4}));
        // A plain move ends it; the next one begins where the cursor is.
        QTest::keyClick(window.get(), Qt::Key_Down);
        QTest::keyClick(window.get(), Qt::Key_Down);
        QTest::keyClick(window.get(), Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(window->cursorRow(), 5);
        QCOMPARE(selectedPositions(), (std::vector<int>{2, 3, 4, 5, 6}));
        QVERIFY(commands.empty());
    }

    void enterCtrlFAndCtrlCSendTheClientsCommands_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("commandId");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << int(command::RunAccounting);
        QTest::newRow("Enter of the keypad")
            << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << int(command::RunAccounting);
        QTest::newRow("Ctrl+F") << int(Qt::Key_F) << int(Qt::ControlModifier) << int(command::FindRun);
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << int(command::CopyRuns);
    }

    void enterCtrlFAndCtrlCSendTheClientsCommands()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, commandId);
        load(5);
        window->setCursorRow(3);
        QTest::keyClick(window.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(commands, std::vector<int>{commandId});
        QCOMPARE(window->cursorRow(), 3);
        QVERIFY(selectedPositions().empty());
    }

    // A sideways swipe has no vertical movement: no row moves.
    void aWheelEventWithoutVerticalMovementScrollsNothing()
    {
        load(30, QSize(900, 200));
        window->setTopRow(5);
        for (const QPoint delta : {QPoint(120, 0), QPoint(-120, 0)}) {
            QWheelEvent sideways(QPointF(40, 50), window->viewport()->mapToGlobal(QPointF(40, 50)), QPoint(), delta,
                                 Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(window->viewport(), &sideways);
        }
        QCOMPARE(window->topRow(), 5);
    }

    // Only the left and right buttons move the cursor.
    void theMiddleAndSideButtonsLeaveTheCursor_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("middle") << int(Qt::MiddleButton);
        QTest::newRow("back") << int(Qt::BackButton);
        QTest::newRow("forward") << int(Qt::ForwardButton);
    }

    void theMiddleAndSideButtonsLeaveTheCursor()
    {
        QFETCH(int, button);
        load(6, QSize(900, 400));
        window->setCursorRow(1);
        QTest::mouseClick(window->viewport(), Qt::MouseButton(button), Qt::ControlModifier, rowPoint(4));
        QTest::mouseDClick(window->viewport(), Qt::MouseButton(button), Qt::NoModifier, rowPoint(4));
        window->renderList();
        QCOMPARE(window->cursorRow(), 1);
        QVERIFY(selectedPositions().empty());
        QVERIFY(commands.empty());
    }

    // "Servizio Minimo" is the list's light grey on white rows and a dark
    // grey that reads on the yellow cursor row.
    void minimumServiceReadsOnTheCursorRow()
    {
        load(3);
        model->rowAt(0)->minimumService = true;
        model->rowAt(1)->minimumService = true;
        const QImage image = window->renderList();
        const auto darkGrey = [](QRgb c) {
            return qRed(c) < 130 && qRed(c) > 40 && qAbs(qRed(c) - qGreen(c)) < 8 && qAbs(qRed(c) - qBlue(c)) < 8;
        };
        QVERIFY(countPixels(image, rowBand(0, 2, 2), darkGrey) > 5);
        QCOMPARE(countPixels(image, rowBand(0, 2, 2), isGreyText), 0);
        QVERIFY(countPixels(image, rowBand(1, 2, 2), isGreyText) > 5);
        QCOMPARE(countPixels(image, rowBand(1, 2, 2), darkGrey), 0);
    }

    // Each text stays in its cell: a run code of a GTFS trip ID stops short
    // of the times, a long ID inside its column; the balloon shows them
    // whole.
    void longTextsStayInTheirCellsAndShowWholeInTheBalloon()
    {
        load(2);
        RunRow& row = *model->rowAt(1);
        row.runId = 1234567890;
        row.runCode = "0004187192024090920250612";
        row.departureLabel = "07:30 Trento, Piazza Dante - Stazione delle autocorriere, pensilina 4";
        const QImage image = window->renderList();
        const int codeRight = g().textLeft(1) + g().widths[1] / 3;
        const QRect gap(QPoint(codeRight - 5, rowTop(1) + 3), QPoint(codeRight - 1, rowTop(1) + g().lineHeight));
        QCOMPARE(countPixels(image, gap, isDark), 0);
        QVERIFY(countPixels(image, rowBand(1, 1, 1), isDark) > 20);
        const QRect beforeId(QPoint(0, rowTop(1) + 3), QPoint(g().textLeft(0) - 1, rowTop(1) + g().lineHeight));
        QCOMPARE(countPixels(image, beforeId, isDark), 0);
        QVERIFY(countPixels(image, rowBand(1, 0, 0), isDark) > 20);

        window->pointerMovedTo(rowPoint(1));
        QCOMPARE(window->balloonRow(), 1);
        const QStringList lines = client->balloonLines(1);
        QCOMPARE(lines.value(0), QStringLiteral("Corsa: 0004187192024090920250612"));
        const QFontMetrics metrics(ListWindow::balloonFont());
        QVERIFY(window->balloonRect().width() > 33 + metrics.horizontalAdvance(lines.value(1)) + 5);
        QVERIFY(window->balloonRect().right() < window->viewport()->width());
    }

    void showsAndErasesTheBalloonOverTheList()
    {
        load(6, QSize(900, 400));
        const QImage plain = window->renderList();
        window->pointerMovedTo(rowPoint(1));
        QCOMPARE(window->balloonRow(), 1);
        const QRect place = window->balloonRect();
        QCOMPARE(place.top(), rowTop(1) + 2);
        // Five lines of the balloon's font, 12 pixels apart at least, and 5
        // pixels above and below.
        QCOMPARE(place.height(), 10 + 5 * std::max(12, QFontMetrics(ListWindow::balloonFont()).height()) + 1);
        const QImage withBalloon = window->renderWithBalloon();
        QVERIFY(countPixels(withBalloon, place, [](QRgb c) { return c == QColor(255, 255, 240).rgb(); }) > 10000);
        const QStringList lines = client->balloonLines(1);
        QCOMPARE(lines.value(0), QStringLiteral("Corsa: C20"));
        QCOMPARE(lines.value(1), QStringLiteral("P: 07:30 Piazza Dante"));
        QCOMPARE(lines.value(3), QStringLiteral("Lunghezza Km 12.34"));
        QCOMPARE(lines.value(4), QStringLiteral("45 giorni dal 07/01/2024 al 28/06/2024"));
        // Over the header: erased, and the list underneath is what it was.
        window->pointerMovedTo(QPoint(40, 2));
        QCOMPARE(window->balloonRow(), -1);
        QCOMPARE(window->renderWithBalloon(), plain);
        // Near the bottom the balloon stands above its row.
        load(30, QSize(900, 300));
        const int last = window->visibleRows() - 1;
        window->pointerMovedTo(rowPoint(last));
        QCOMPARE(window->balloonRow(), last);
        QCOMPARE(window->balloonRect().bottom(), rowTop(last) + g().lineHeight + 3);
        // Below the last visible row: no balloon.
        window->pointerMovedTo(QPoint(40, g().rowTop(last + 1, 0) + 2));
        QCOMPARE(window->balloonRow(), -1);
    }

    void popupListsTheCommandsWithTheCurrentOrderChecked()
    {
        load(3);
        model->sort('$');
        std::unique_ptr<QMenu> menu(client->buildPopupMenu(nullptr));
        QStringList texts;
        for (QAction* action : menu->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(texts, QStringList({"&Selezione Linea", "-", "&Ordinamento", "-", "Modifica &Dati Contabili",
                                     "Frazionamento &Calendario", "Frazionamento &Percorso", "-", "Seleziona &Tutto",
                                     "Annulla &Selezione", "-", "&Aggiorna la Vista delle Corse",
                                     "&Ripristina (invalida le variazioni sospese)"}));
        QMenu* orders = menu->actions().at(2)->menu();
        QVERIFY(orders);
        QCOMPARE(orders->actions().size(), 13);
        QStringList checked;
        for (QAction* action : orders->actions())
            if (action->isChecked())
                checked << action->text();
        QCOMPARE(checked, QStringList{"per &Importo"});
        QCOMPARE(orders->actions().first()->data().toInt(), 5128);
        QCOMPARE(orders->actions().last()->text(), QStringLiteral("per data &Fine"));
    }

    void rightClickMovesTheCursorAndSendsThePopupsChoice()
    {
        load(5);
        QString shownOver;
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            shownOver = menu->actions().first()->text();
            // Its mnemonic, as the user chooses it from the keyboard.
            QTest::keyClick(menu, Qt::Key_T);
        });
        QTest::mouseClick(window->viewport(), Qt::RightButton, Qt::NoModifier, rowPoint(3));
        QCOMPARE(window->cursorRow(), 3);
        QCOMPARE(shownOver, QStringLiteral("&Selezione Linea"));
        QCOMPARE(commands, std::vector<int>{command::SelectAll});
    }

    void withoutRowsTheWindowIsWhiteAndIgnoresTheMouse()
    {
        load(0);
        client->setModel(nullptr);
        window->reset();
        const QImage image = window->renderList();
        QCOMPARE(countPixels(image, image.rect(), [](QRgb c) { return c != QColor(255, 255, 255).rgb(); }), 0);
        QTest::mouseDClick(window->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
        QVERIFY(commands.empty());
        // An empty model shows the header only.
        client->setModel(model.get());
        window->reset();
        QCOMPARE(window->renderList().pixel(5, 3), QColor(0, 0, 192).rgb());
    }
};

QTEST_MAIN(ListWindowTest)
#include "ListWindowTest.moc"
