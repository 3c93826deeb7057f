#pragma once

#include <QDialog>

class QAbstractItemView;
class QComboBox;
class QLabel;

// 系统设置 → 频段…: the band plan the checks hold the rows to (检查信道表…,
// the grid's tints, the question before a load), with the document each
// plan's figures come from. OK makes it the plan from now on.
class BandDialog : public QDialog
{
    Q_OBJECT
public:
    explicit BandDialog(QWidget *parent);
    // Asks, and has `tinted` show the rows against the plan chosen.
    static void choose(QWidget *parent, QAbstractItemView *tinted);

    void accept() override;

private:
    void showSource();

    QComboBox *m_plans;
    QLabel *m_source;
};
