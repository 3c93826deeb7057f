#pragma once

#include <QDialog>

class QDialogButtonBox;
class QFormLayout;
class QLabel;

// What the plan tools' dialogs share: a form, a line of explanation under
// it and 确定 / 取消, with 确定 only while the form can be done.
class ToolDialog : public QDialog
{
    Q_OBJECT
public:
    ToolDialog(const QString &title, QWidget *parent);

protected:
    QFormLayout *form() const { return m_form; }
    // The line under the form: what the tool will do, or why it cannot.
    void setNote(const QString &text);
    void setAcceptable(bool acceptable);

private:
    QFormLayout *m_form;
    QLabel *m_note;
    QDialogButtonBox *m_buttons;
};
