#pragma once

#include <QMessageBox>
#include <QString>
#include <QWidget>

// The one kind of message this program shows: a warning box titled "系统信息"
// with a single OK button, waited on until the operator closes it.
inline void showSystemMessage(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("系统信息"), text, QMessageBox::Ok, parent);
    box.exec();
}
