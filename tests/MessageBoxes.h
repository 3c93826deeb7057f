#pragma once

#include <QApplication>
#include <QDialogButtonBox>
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
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog->property("answered").toBool())
                return;
            // A message box, or a message too long for one (ListMessage): its text
            // and icon as properties, its answers in a button box.
            auto *box = qobject_cast<QMessageBox *>(dialog);
            auto *answers = box ? nullptr : dialog->findChild<QDialogButtonBox *>();
            if (!box && !(answers && dialog->property("text").isValid()))
                return;   // a dialog the test answers itself
            dialog->setProperty("answered", true);
            seen << QStringLiteral("%1|%2|%3|%4")
                            .arg(dialog->windowTitle(), box ? box->text() : dialog->property("text").toString())
                            .arg(box ? int(box->icon()) : dialog->property("icon").toInt())
                            .arg(box ? int(box->standardButtons()) : int(answers->standardButtons()));
            if (probe)
                probes << probe();
            QStringList names;
            QAbstractButton *button = box ? box->button(m_answer)
                                          : answers->button(QDialogButtonBox::StandardButton(int(m_answer)));
            for (QAbstractButton *b : box ? box->buttons() : answers->buttons()) {
                names << b->text();
                if (b->text() == answerText)
                    button = b;
            }
            buttons << names.join(u'/');
            // A question without the answer named: a typo would answer nothing.
            if (!answerText.isEmpty() && names.size() > 1 && !names.contains(answerText))
                QTest::qFail(qPrintable(QStringLiteral("no button %1 in %2").arg(answerText, names.join(u'/'))),
                             __FILE__, __LINE__);
            if (button)
                button->click();
            else
                dialog->reject();
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
