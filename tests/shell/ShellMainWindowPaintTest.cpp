// The main window's client area: the background picture centred on the
// colour of its top-left pixel, re-centred on resize, the status banner that
// the next repaint removes, the progress bar, and a report view covering
// the picture until the idle processing closes it.

#include "ShellTestSupport.h"
#include "support/RecordingMessageSink.h"

#include "shell/ClientAreaWidget.h"
#include "ui/common/ReportViewBase.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>

using namespace korvan;
using namespace korvan::test;
using korvan::shell::ClientAreaWidget;

namespace {

// What the client area shows on the screen now (no new paint).
QImage onScreen(const shell::MainWindow& window)
{
    const ClientAreaWidget* area = window.clientArea();
    const QPoint origin = area->mapTo(&window, QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(window.winId(), origin.x(), origin.y(), area->width(), area->height())
        .toImage();
}

bool rowHasColour(const QImage& image, int y, QRgb colour)
{
    for (int x = 0; x < image.width(); ++x)
        if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
            return true;
    return false;
}

class FinishingReportView : public ui::ReportViewBase {
  public:
    using ReportViewBase::ReportViewBase;
    bool ended = false;
    int prints = 0;
    bool previewEnded() const override { return ended; }
    void printRequest() override { ++prints; }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
    }
};

} // namespace

class ShellMainWindowPaintTest : public QObject {
    Q_OBJECT

  private slots:
    void pictureIsCentredOnItsCornerColour()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        ClientAreaWidget* area = window.clientArea();
        const QImage& picture = area->picture();
        QVERIFY(!picture.isNull());
        window.showNormal();
        window.resize(1000, 700);
        QTRY_COMPARE(area->width(), 1000);

        const QImage shown = area->grab().toImage();
        const QPoint origin = ClientAreaWidget::pictureOrigin(area->size(), picture.size());
        QCOMPARE(origin, QPoint((area->width() - picture.width()) / 2, (area->height() - picture.height()) / 2));
        QCOMPARE(shown.pixelColor(0, 0), picture.pixelColor(0, 0));
        QCOMPARE(shown.pixelColor(shown.width() - 1, shown.height() - 1), picture.pixelColor(0, 0));
        const QPoint inside(picture.width() / 2, picture.height() / 3);
        QCOMPARE(shown.pixelColor(origin + inside), picture.pixelColor(inside));

        // A smaller area crops the picture around its centre.
        window.resize(400, 300);
        QTRY_COMPARE(area->width(), 400);
        const QImage cropped = area->grab().toImage();
        const QPoint shifted = ClientAreaWidget::pictureOrigin(area->size(), picture.size());
        QVERIFY(shifted.x() < 0);
        QCOMPARE(cropped.pixelColor(10, 10), picture.pixelColor(QPoint(10, 10) - shifted));
    }

    void bannerIsShownAtOnceAndRemovedByTheNextRepaint()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        window.showNormal();
        window.resize(900, 600);
        QTRY_COMPARE(window.clientArea()->width(), 900);
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const int textHeight = window.clientArea()->fontMetrics().height();
        const QRect band = ClientAreaWidget::bannerRect(window.clientArea()->size(), textHeight);
        window.showStatusBanner("Fase 1: Estrazione Linee");
        QImage shown = onScreen(window);
        QCOMPARE(shown.pixel(2, band.top() + 1) & 0xFFFFFF, shell::kBannerColour & 0xFFFFFF);
        QCOMPARE(shown.pixel(shown.width() - 3, band.bottom() - 1) & 0xFFFFFF, shell::kBannerColour & 0xFFFFFF);
        QVERIFY(!rowHasColour(shown, band.bottom() + 2, shell::kBannerColour));
        // White text in the middle of the band.
        bool white = false;
        for (int y = band.top(); y <= band.bottom() && !white; ++y)
            for (int x = shown.width() / 3; x < 2 * shown.width() / 3 && !white; ++x)
                white = (shown.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
        QVERIFY(white);

        // Resizing repaints everything: the banner is gone.
        window.resize(900, 640);
        QTRY_COMPARE(window.clientArea()->width(), 900);
        QTest::qWait(50);
        const QRect newBand = ClientAreaWidget::bannerRect(window.clientArea()->size(), textHeight);
        shown = onScreen(window);
        QVERIFY(!rowHasColour(shown, newBand.top() + 1, shell::kBannerColour));
        QVERIFY(!rowHasColour(shown, band.top() + 1, shell::kBannerColour));
    }

    void progressBarSpansTheBottomAndGoesAway()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        QVERIFY(window.progressBar() == nullptr);
        window.setProgress(40);
        QProgressBar* bar = window.progressBar();
        QVERIFY(bar && bar->isVisible());
        QCOMPARE(bar->value(), 40);
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 100);
        QCOMPARE(bar->geometry(), QRect(0, window.clientArea()->height() - 20, window.clientArea()->width(), 20));
        window.setProgress(75);
        QCOMPARE(window.progressBar(), bar);
        QCOMPARE(bar->value(), 75);
        window.endProgress();
        QVERIFY(window.progressBar() == nullptr);
    }

    void reportViewCoversThePictureUntilItsPreviewEnds()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        window.printCommand(); // no view: nothing happens

        QPointer<FinishingReportView> first = new FinishingReportView;
        window.setReportView(first);
        QCOMPARE(first->geometry(), window.clientArea()->rect());
        window.printCommand();
        QCOMPARE(first->prints, 1);

        // A new report replaces the previous view.
        QPointer<FinishingReportView> second = new FinishingReportView;
        window.setReportView(second);
        QVERIFY(first.isNull());
        QCOMPARE(window.reportView(), second.data());

        window.runIdleProcessing();
        QVERIFY(!second.isNull());
        second->ended = true;
        window.runIdleProcessing();
        QVERIFY(second.isNull());
        QVERIFY(window.reportView() == nullptr);
    }
};

QTEST_MAIN(ShellMainWindowPaintTest)
#include "ShellMainWindowPaintTest.moc"
