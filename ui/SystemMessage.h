#pragma once

#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QWidget>

// The one kind of message this program shows: a warning box titled "系统信息",
// waited on until the operator closes it. The buttons get Chinese captions of
// our own, whatever translations the machine has.
inline int askSystemQuestion(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons,
                             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("系统信息"), text, buttons, parent);
    const struct { QMessageBox::StandardButton button; const char16_t *caption; } captions[] = {
        { QMessageBox::Ok, u"确定" },
        { QMessageBox::Yes, u"是" },
        { QMessageBox::No, u"否" },
        { QMessageBox::Retry, u"重试" },
        { QMessageBox::Discard, u"放弃修改" },
        { QMessageBox::Cancel, u"取消" },
    };
    for (const auto &c : captions)
        if (QAbstractButton *b = box.button(c.button))
            b->setText(QString::fromUtf16(c.caption));
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return box.exec();
}

inline void showSystemMessage(QWidget *parent, const QString &text)
{
    askSystemQuestion(parent, text, QMessageBox::Ok);
}
