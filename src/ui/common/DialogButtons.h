#pragma once

// The row of push buttons at the bottom of the program's dialogs: right
// aligned, the first one the default button.

#include <QHBoxLayout>
#include <QPushButton>

#include <initializer_list>

namespace korvan::ui {

inline QHBoxLayout* makeButtonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : buttons)
        row->addWidget(button);
    if (buttons.size() > 0)
        (*buttons.begin())->setDefault(true);
    return row;
}

// A push button with an object name, for the dialogs' tests to find it.
inline QPushButton* makeNamedButton(const QString& text, const char* objectName)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

} // namespace korvan::ui
