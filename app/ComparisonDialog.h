#pragma once

#include <QDialog>

class QPlainTextEdit;

// Two loads compared, in the words --diff prints: one line per difference and
// the summary, to read, select and copy, never to edit.
class ComparisonDialog : public QDialog
{
    Q_OBJECT
public:
    ComparisonDialog(const QString &text, QWidget *parent);

    QString text() const;

private:
    QPlainTextEdit *m_text;
};
