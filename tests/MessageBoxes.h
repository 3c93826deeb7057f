#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <functional>

// Answers the message boxes a test provokes and records what they said:
// "title|text|icon|buttons" per box, plus what `probe` saw when it appeared.
class MessageBoxes : public QObject
{
public:
    explicit MessageBoxes(QMessageBox::StandardButton answer = QMessageBox::Ok)
        : m_answer(answer)
    {
        connect(&m_poll, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || box->property("answered").toBool())
                return;
            box->setProperty("answered", true);
            seen << QStringLiteral("%1|%2|%3|%4")
                            .arg(box->windowTitle(), box->text())
                            .arg(int(box->icon()))
                            .arg(int(box->standardButtons()));
            if (probe)
                probes << probe();
            QStringList names;
            QAbstractButton *button = box->button(m_answer);
            for (QAbstractButton *b : box->buttons()) {
                names << b->text();
                if (b->text() == answerText)
                    button = b;
            }
            buttons << names.join(u'/');
            if (button)
                button->click();
            else
                box->reject();
        });
        m_poll.start(10);
    }

    QStringList texts() const
    {
        QStringList result;
        for (const QString &s : seen)
            result << s.section(u'|', 1, 1);
        return result;
    }

    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }

    QStringList seen;
    QStringList buttons;   // per box, the buttons' texts joined by '/'
    QString answerText;    // when set, the button with this text is pressed
    std::function<bool()> probe;
    QList<bool> probes;

private:
    QTimer m_poll;
    QMessageBox::StandardButton m_answer;
};

// The record of a warning box with one OK button titled 系统信息.
inline QString systemWarning(const QString &text)
{
    return QStringLiteral("系统信息|%1|%2|%3").arg(text).arg(int(QMessageBox::Warning)).arg(int(QMessageBox::Ok));
}
