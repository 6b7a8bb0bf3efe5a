// The run browser and the calendar and itinerary views through the
// screenshot program's window check: no control covered, cut or squeezed,
// at a whole screen and in a 900 x 600 window. The suite runs this program
// twice: at the screen's 96 dots per inch and with QT_FONT_DPI=144 (a
// desktop with larger fonts), where every text is half as large again.

#include "../SplitViewFixture.h"
#include "BrowserWidgetFixture.h"
#include "OffscreenScreen.h"
#include "WindowCheck.h"
#include "support/RecordingFeedback.h"
#include "ui/runs/CalendarView.h"
#include "ui/runs/ItineraryView.h"
#include "ui/runs/RunBrowserDialog.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using namespace korvan;
using namespace korvan::ui::runs;

namespace {

std::string joined(const std::vector<std::string>& faults)
{
    std::string text;
    for (const std::string& fault : faults)
        text += fault + "\n";
    return text;
}

std::vector<std::string> faultsAt(QWidget& window, const QSize& size)
{
    window.resize(size);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return {"not shown"};
    QApplication::processEvents();
    return screenshots::windowFaults(window);
}

} // namespace

class RunWindowsLayoutTest : public QObject {
    Q_OBJECT

  private:
    static void addSizes()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("whole screen") << QSize(1280, 800);
        QTest::newRow("900 x 600") << QSize(900, 600);
    }

    template <class View> static void checkView()
    {
        QFETCH(QSize, size);
        test::SplitViewFixture fixture;
        const RunViewContext context = fixture.context();
        View view(context, fixture.run());
        const auto faults = faultsAt(view, size);
        QVERIFY2(faults.empty(), joined(faults).c_str());
    }

  private slots:
    void theBrowserShowsEveryControlWhole_data() { addSizes(); }
    void theBrowserShowsEveryControlWhole()
    {
        QFETCH(QSize, size);
        test::BrowserWidgetFixture db;
        test::RecordingFeedback feedback;
        int authority = 10, company = 3;
        RunBrowserDialog browser(db.connection.get(), db.sink, feedback, authority, company, runSplitViews());
        QVERIFY(browser.beginTransaction());
        browser.showLine({10, 3, 1});
        const auto faults = faultsAt(browser, size);
        QVERIFY2(faults.empty(), joined(faults).c_str());
    }

    void theCalendarViewShowsEveryControlWhole_data() { addSizes(); }
    void theCalendarViewShowsEveryControlWhole() { checkView<CalendarView>(); }
    void theItineraryViewShowsEveryControlWhole_data() { addSizes(); }
    void theItineraryViewShowsEveryControlWhole() { checkView<ItineraryView>(); }
};

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !screenshots::chooseOffscreenScreen(dir.path()))
        return 1;
    QApplication app(argc, argv);
    RunWindowsLayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RunWindowsLayoutTest.moc"
