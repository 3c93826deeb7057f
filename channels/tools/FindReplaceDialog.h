#pragma once

#include "CellSearch.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// 查找 and 替换: stays open beside the grid; the buttons ask, the owner acts
// on the grid and says how it went in the dialog (showResult()).
class FindReplaceDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FindReplaceDialog(QWidget *parent = nullptr);

    // 替换 shows the replacement and its buttons, 查找 hides them.
    void setReplacing(bool replacing);
    CellSearch search() const;
    QString replacement() const;
    void showResult(const QString &text);

signals:
    void findNextRequested();
    void replaceRequested();
    void replaceAllRequested();

private:
    QLineEdit *m_find;
    QLineEdit *m_replace;
    QLabel *m_replaceLabel;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeCell;
    QPushButton *m_replaceOne;
    QPushButton *m_replaceAll;
    QLabel *m_result;
};
