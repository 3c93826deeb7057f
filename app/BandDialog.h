#pragma once

#include <QDialog>

struct BandProfile;
class QComboBox;
class QLabel;

// 系统设置 → 频段…: the band plan the checks hold the rows to (检查信道表…,
// the grid's tints, the question before a load), with the document each
// plan's figures come from. OK makes it the plan from now on, kept for the
// next start too.
class BandDialog : public QDialog
{
    Q_OBJECT
public:
    BandDialog(const QString &current, QWidget *parent);
    // Asks, starting from the plan with id `current`; the plan chosen, or
    // nullptr when the operator cancelled.
    static const BandProfile *choose(QWidget *parent, const QString &current);

    void accept() override;

private:
    void showSource();

    QComboBox *m_bands;
    QLabel *m_source;
};
