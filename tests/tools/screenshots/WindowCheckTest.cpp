// The window check and the modal grab of the screenshot program on real
// widgets: each fault a reader would see in a picture is found, and a sound
// window gives none.

#include "WindowCheck.h"
#include "WindowGrab.h"

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
