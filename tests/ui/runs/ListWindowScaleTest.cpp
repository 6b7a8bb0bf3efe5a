// The list window on a screen scaled by 1.5 (QT_SCALE_FACTOR, set before the
// application starts): the image it draws into has the screen's own pixels,
// so that what the screen shows is that image, not an enlarged one.

#include "runs/RunListModel.h"
#include "ui/runs/ListWindow.h"
#include "ui/runs/RunListClient.h"

#include <QApplication>
#include <QTest>

#include <memory>

using namespace korvan;
using namespace korvan::ui::runs;

class ListWindowScaleTest : public QObject {
    Q_OBJECT
  private slots:
    void drawsAtTheScreensPixelRatio()
    {
        runs::RunListModel model(3);
        for (long id = 1; id <= 5; ++id) {
            runs::RunRow row;
            row.runId = id;
            row.runCode = "C" + std::to_string(id);
            row.payingAuthorityName = "Provincia Quaranta";
            model.addRow(row);
        }
        RunListClient client([](int) {});
        client.setModel(&model);
        ListWindow window;
        window.resize(600, 300);
        window.setClient(&client);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.viewport()->devicePixelRatioF(), 1.5);

        const QImage drawn = window.renderList();
        QCOMPARE(drawn.size(), window.viewport()->size() * 1.5);
        // The screen shows the image pixel for pixel.
        const QImage shown = window.viewport()->grab().toImage().convertToFormat(drawn.format());
        QCOMPARE(shown.size(), drawn.size());
        QCOMPARE(shown, drawn);
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "1.5");
    QApplication app(argc, argv);
    ListWindowScaleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ListWindowScaleTest.moc"
