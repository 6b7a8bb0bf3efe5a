// The interactive message sink: modal boxes with the icon asked for, and
// confirmations with OK and Cancel.

#include "ui/common/MessageBoxSink.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace korvan;
using korvan::ui::MessageBoxSink;

namespace {

struct SeenBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

// Answers the next modal box once it is shown, noting what it looked like.
void answerNextBox(SeenBox& seen, QMessageBox::StandardButton answer)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [&seen, answer, poll] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, *poll);
            return;
        }
        seen = {box->icon(), box->windowTitle(), box->text(), box->standardButtons()};
        box->button(answer)->click();
    };
    QTimer::singleShot(0, *poll);
}

} // namespace

class MessageBoxSinkTest : public QObject {
    Q_OBJECT

  private slots:
    void messagesShowTheirIcon_data()
    {
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("boxIcon");
        QTest::newRow("error") << int(MessageIcon::Error) << int(QMessageBox::Critical);
        QTest::newRow("information") << int(MessageIcon::Information) << int(QMessageBox::Information);
        QTest::newRow("warning") << int(MessageIcon::Warning) << int(QMessageBox::Warning);
        QTest::newRow("plain") << int(MessageIcon::None) << int(QMessageBox::NoIcon);
    }

    void messagesShowTheirIcon()
    {
        QFETCH(int, icon);
        QFETCH(int, boxIcon);
        MessageBoxSink sink;
        SeenBox seen;
        answerNextBox(seen, QMessageBox::Ok);
        sink.showMessage("Non ci sono dati da stampare !!!", static_cast<MessageIcon>(icon));
        QCOMPARE(int(seen.icon), boxIcon);
        QCOMPARE(seen.text, QString("Non ci sono dati da stampare !!!"));
        QCOMPARE(seen.title, QString("KORVAN"));
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void confirmationIsAQuestionWithOkAndCancel()
    {
        MessageBoxSink sink;
        SeenBox seen;
        answerNextBox(seen, QMessageBox::Cancel);
        QVERIFY(!ui::askConfirmation(sink, "Confermi sconnessione database ?", "Sconnessione Database"));
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.title, QString("Sconnessione Database"));
        QCOMPARE(seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);

        answerNextBox(seen, QMessageBox::Ok);
        QVERIFY(sink.askConfirmation("Intendi veramente uscire dal programma ?"));
        QCOMPARE(seen.title, QString("KORVAN"));
        QCOMPARE(seen.text, QString("Intendi veramente uscire dal programma ?"));
    }
};

QTEST_MAIN(MessageBoxSinkTest)
#include "MessageBoxSinkTest.moc"
