#pragma once

#include <QDialog>
#include <QMessageBox>

class QDialogButtonBox;
class QLabel;
class QListWidget;

// A message too long for a message box: a line that sums it up, the whole
// list under it in a view that scrolls, 复制 for all of it, and the answers
// always in sight. However long the list, it fits a 1024×768 screen.
class ListMessage : public QDialog
{
    Q_OBJECT
    // What 复制 copies, for whoever reads the message as text.
    Q_PROPERTY(QString text READ text)
    Q_PROPERTY(int icon READ icon)
public:
    // Lines at which a message becomes a list.
    static constexpr int longMessageLines = 12;

    ListMessage(const QString &title, QWidget *parent);

    void setSummary(const QString &summary);
    // One item a line, each whole, wrapped when wider than the view.
    void setLines(const QStringList &lines);
    // A line under the list, before the buttons.
    void setQuestion(const QString &question);
    QListWidget *list() const { return m_list; }
    QDialogButtonBox *buttons() const { return m_buttons; }
    QString text() const;
    int icon() const { return QMessageBox::Warning; }

    // Whether to go on despite `lines`: `yes` goes on; 取消, the default and
    // Escape, does not.
    static bool ask(QWidget *parent, const QString &summary, const QStringList &lines, const QString &question,
                    const QString &yes);
    // `text` told as showSystemMessage tells a short one: its first line
    // the summary, the rest the list.
    static void tell(QWidget *parent, const QString &text);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void copy();
    void fitScreen();

    QLabel *m_summary;
    QListWidget *m_list;
    QLabel *m_question;
    QDialogButtonBox *m_buttons;
};
