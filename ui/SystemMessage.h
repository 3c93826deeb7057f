#pragma once

#include "ListMessage.h"

#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QWidget>

// The one kind of message this program shows: a warning box titled "系统信息",
// waited on until the operator closes it. The buttons speak Chinese through
// Qt's own translations, loaded at start.
inline int askSystemQuestion(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons,
                             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("系统信息"), text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return box.exec();
}

// A choice between two answers, the buttons named for what they do: Yes for
// the first, No for the second (and for closing the box).
inline int askSystemChoice(QWidget *parent, const QString &text, const QString &yes, const QString &no)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("系统信息"), text, QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(yes);
    box.button(QMessageBox::No)->setText(no);
    box.setEscapeButton(QMessageBox::No);
    return box.exec();
}

// A choice between several answers, each a button named for what it does;
// the index of the one pressed. The last answer is also closing the box.
inline int askSystemChoices(QWidget *parent, const QString &text, const QStringList &answers)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("系统信息"), text, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> buttons;
    for (const QString &answer : answers)
        buttons << box.addButton(answer, QMessageBox::AcceptRole);
    box.setEscapeButton(buttons.last());
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

// A message longer than a few lines is a list that scrolls, so that its
// button never ends up below the screen.
inline void showSystemMessage(QWidget *parent, const QString &text)
{
    if (text.count(u'\n') >= ListMessage::longMessageLines)
        ListMessage::tell(parent, text);
    else
        askSystemQuestion(parent, text, QMessageBox::Ok);
}
