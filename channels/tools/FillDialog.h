#pragma once

#include "Frequency.h"
#include "ToolDialog.h"

#include <optional>

class QLineEdit;

// 填充序列: a start and a step for `count` selected cells of one column; in
// the frequencies the start is in MHz and the step in kHz, each to 100 Hz,
// in 记录编号 and 信道号 whole numbers. start() and step() are in the
// column's unit (FillSeriesCommand).
class FillDialog : public ToolDialog
{
    Q_OBJECT
public:
    FillDialog(int column, const QString &first, int count, QWidget *parent = nullptr);
    qint64 start() const { return m_start; }
    qint64 step() const { return m_step; }

private:
    std::optional<qint64> amount(const QString &typed, Frequency::Unit unit) const;
    void check();

    int m_column;
    int m_count;
    bool m_frequency;
    QLineEdit *m_startEdit;
    QLineEdit *m_stepEdit;
    qint64 m_start = 0;
    qint64 m_step = 0;
};
