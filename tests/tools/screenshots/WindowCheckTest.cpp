// The window check and the modal grab of the screenshot program on real
// widgets: each fault a reader would see in a picture is found, and a sound
// window gives none.

#include "WindowCheck.h"
#include "WindowGrab.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <vector>

using korvan::screenshots::windowFaults;

namespace {

bool hasFault(const std::vector<std::string>& faults, const std::string& start)
{
    return std::any_of(faults.begin(), faults.end(),
                       [&start](const std::string& fault) { return fault.rfind(start, 0) == 0; });
}

std::string joined(const std::vector<std::string>& faults)
{
    std::string text;
    for (const std::string& fault : faults)
        text += fault + "\n";
    return text;
}

// A dialog laid out as the program's are: a group with a label and a filled
// pick list, a field, a row of buttons.
class SampleDialog : public QDialog {
  public:
    SampleDialog()
    {
        auto* group = new QGroupBox("Selezione Contratto");
        auto* row = new QHBoxLayout(group);
        row->addWidget(new QLabel("Ente"));
        combo = new QComboBox;
        combo->addItems({"0001 - Provincia di Valdora", "0002 - Comune di San Vito"});
        row->addWidget(combo);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(group);
        layout->addWidget(new QLineEdit);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(new QPushButton("OK"));
        buttons->addWidget(new QPushButton("Annulla"));
        layout->addLayout(buttons);
    }
    QComboBox* combo = nullptr;
};

} // namespace

class WindowCheckTest : public QObject {
    Q_OBJECT
  private slots:
    void soundWindowHasNoFault()
    {
        SampleDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const auto faults = windowFaults(dialog);
        QVERIFY2(faults.empty(), joined(faults).c_str());
    }

    // A fixed size below what the layout needs squeezes and clips.
    void squeezedWindowIsFound()
    {
        SampleDialog dialog;
        dialog.setFixedSize(120, 60);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const auto faults = windowFaults(dialog);
        QVERIFY2(hasFault(faults, "squeezed window"), joined(faults).c_str());
        QVERIFY2(hasFault(faults, "clipped text"), joined(faults).c_str());
    }

    void labelNarrowerThanItsTextIsClipped()
    {
        QWidget window;
        window.resize(400, 100);
        auto* label = new QLabel("Selezione Periodo Validità Contrattuale", &window);
        label->setGeometry(10, 10, 60, 20);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(hasFault(windowFaults(window), "clipped text: QLabel"));
        label->setGeometry(10, 10, label->sizeHint().width(), label->sizeHint().height());
        QVERIFY2(windowFaults(window).empty(), joined(windowFaults(window)).c_str());
    }

    void overlappingAndCutOffControlsAreFound()
    {
        QWidget window;
        window.resize(300, 100);
        auto* first = new QLineEdit(&window);
        auto* second = new QLineEdit(&window);
        first->setGeometry(10, 10, 100, 30);
        second->setGeometry(60, 20, 100, 30);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(hasFault(windowFaults(window), "overlap"));
        second->setGeometry(250, 20, 100, 30);
        const auto faults = windowFaults(window);
        QVERIFY(!hasFault(faults, "overlap"));
        QVERIFY(hasFault(faults, "cut off"));
    }

    // A window built with the faults a larger font or a smaller window
    // gives a hand-placed layout: a label under a list window drawn by the
    // program, a button under a panel of controls, and a button in a panel
    // that runs past the window's edge. Each is found; placed apart they
    // are not.
    void aControlCoveredByAnotherWidgetOrCutByTheWindowsEdgeIsFound_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("expected");
        QTest::newRow("label under a list") << "list"
                                            << "overlap: QLabel \"Linea: [1] L1\" under QAbstractScrollArea list";
        QTest::newRow("button under a panel") << "panel"
                                              << "overlap: QPushButton \"Percorso\" under QWidget panel";
        QTest::newRow("button past the window's edge") << "edge"
                                                       << "cut off: QPushButton \"Salva\" leaves QWidget window";
        QTest::newRow("none") << "none"
                              << "";
    }

    void aControlCoveredByAnotherWidgetOrCutByTheWindowsEdgeIsFound()
    {
        QFETCH(QString, fault);
        QFETCH(QString, expected);
        QWidget window;
        window.setObjectName("window");
        window.resize(400, 300);
        auto* label = new QLabel("Linea: [1] L1", &window);
        label->setGeometry(10, 10, label->sizeHint().width(), label->sizeHint().height());
        auto* list = new QAbstractScrollArea(&window);
        list->setObjectName("list");
        list->setGeometry(10, fault == "list" ? 20 : 40, 380, 150);
        auto* button = new QPushButton("Percorso", &window);
        button->setGeometry(10, 200, button->sizeHint().width(), button->sizeHint().height());
        // A panel of controls placed by hand, as a bar of buttons is.
        auto* panel = new QWidget(&window);
        panel->setObjectName("panel");
        panel->setGeometry(fault == "panel" ? 20 : fault == "edge" ? 250 : 150, 200, 200, 40);
        auto* save = new QPushButton("Salva", panel);
        save->setGeometry(fault == "edge" ? 100 : 10, 5, 90, 30); // inside the panel, past the window
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto faults = windowFaults(window);
        if (expected.isEmpty())
            QVERIFY2(faults.empty(), joined(faults).c_str());
        else
            QVERIFY2(hasFault(faults, expected.toStdString()), joined(faults).c_str());
    }

    // An enabled list without entries is a fault; a disabled one waits for
    // another choice and is not.
    void emptyEnabledListIsFound()
    {
        SampleDialog dialog;
        dialog.combo->clear();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(hasFault(windowFaults(dialog), "empty list"));
        dialog.combo->setEnabled(false);
        QVERIFY(!hasFault(windowFaults(dialog), "empty list"));
    }

    // A hidden control is not in the picture.
    void hiddenControlsDoNotCount()
    {
        SampleDialog dialog;
        dialog.combo->clear();
        dialog.combo->hide();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(windowFaults(dialog).empty());
    }

    void modalBoxIsGrabbedAndClosed()
    {
        int result = -1;
        const auto picture = korvan::screenshots::grabModal([&result] {
            QMessageBox box(QMessageBox::Information, "KORVAN", "Estrazione completata.", QMessageBox::Ok);
            result = box.exec();
        });
        QVERIFY(!picture.image.isNull());
        QVERIFY2(picture.faults.empty(), joined(picture.faults).c_str());
        QCOMPARE(result, 0); // closed as its close box would
        QVERIFY(picture.image.width() > 100);
    }

    void missingModalWindowIsAFault()
    {
        const auto picture = korvan::screenshots::grabModal([] {});
        QVERIFY(picture.image.isNull());
        QVERIFY(hasFault(picture.faults, "no modal window"));
    }
};

QTEST_MAIN(WindowCheckTest)
#include "WindowCheckTest.moc"
