#include "ui/common/MessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace korvan::ui {

namespace {

const char* const kCaption = "KORVAN";

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A box shown in the middle of an operation waits for the user: while it is
// open the pointer is the ordinary arrow, then the operation's again.
class PointerForTheUser {
  public:
    PointerForTheUser() : overridden_(QApplication::overrideCursor() != nullptr)
    {
        if (overridden_)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~PointerForTheUser()
    {
        if (overridden_)
            QApplication::restoreOverrideCursor();
    }
    PointerForTheUser(const PointerForTheUser&) = delete;
    PointerForTheUser& operator=(const PointerForTheUser&) = delete;

  private:
    bool overridden_;
};

} // namespace

QWidget* MessageBoxSink::owner() const
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return parent_.data();
}

void MessageBoxSink::showMessage(const std::string& text, MessageIcon icon)
{
    QMessageBox box(boxIcon(icon), kCaption, QString::fromStdString(text), QMessageBox::Ok, owner());
    const PointerForTheUser pointer;
    box.exec();
}

bool MessageBoxSink::askConfirmation(const std::string& text)
{
    return askConfirmation(text, kCaption);
}

bool MessageBoxSink::askConfirmation(const std::string& text, const QString& caption)
{
    QMessageBox box(QMessageBox::Question, caption, QString::fromStdString(text), QMessageBox::Ok | QMessageBox::Cancel,
                    owner());
    box.button(QMessageBox::Cancel)->setText("Annulla");
    const PointerForTheUser pointer;
    return box.exec() == QMessageBox::Ok;
}

bool askConfirmation(MessageSink& sink, const std::string& text, const QString& caption)
{
    if (auto* boxes = dynamic_cast<MessageBoxSink*>(&sink))
        return boxes->askConfirmation(text, caption);
    return sink.askConfirmation(text);
}

} // namespace korvan::ui
