#pragma once

#include <QWidget>

class LoadPlan;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// What the file holds now against the plan a 连续传送 run has been loading:
// the lines of --diff and both checksums, and 继续 to go on with the new plan
// (no 继续 for a plan that may not go out: why not instead).
class PlanChangePanel : public QWidget
{
    Q_OBJECT
public:
    explicit PlanChangePanel(QWidget *parent = nullptr);

    void present(const LoadPlan &old, const LoadPlan &now);
    // The checksum of the plan shown: 继续 is to that one.
    QString shownChecksum() const { return m_checksum; }

signals:
    void continueRequested();

private:
    QLabel *m_heading;
    QPlainTextEdit *m_text;
    QPushButton *m_continue;
    QString m_checksum;
};
