#pragma once

#include "Frequency.h"
#include "ToolDialog.h"

#include <QPair>
#include <functional>

class QLineEdit;
class QRadioButton;

// 频率计算: the selected frequencies shifted by an amount, or one frequency
// of each selected row made from the other plus an amount (发送 = 接收 +
// 5 MHz). The amount is in MHz, to 100 Hz, and may be negative.
class FrequencyDialog : public ToolDialog
{
    Q_OBJECT
public:
    explicit FrequencyDialog(QWidget *parent = nullptr);
    // The field each result is made from: -1 for the cell itself, else
    // 接收频率 (the results go to 发送频率) or 发送频率.
    int source() const;
    Frequency offset() const { return m_offset; }
    // How many cells a calculation would change and leave alone, for the
    // note to say before it is done.
    using Preview = std::function<QPair<int, int>(int source, Frequency offset)>;
    void setPreview(const Preview &preview);

private:
    void check();

    QRadioButton *m_shift;
    QRadioButton *m_fromReceive;
    QRadioButton *m_fromTransmit;
    QLineEdit *m_amount;
    Frequency m_offset;
    Preview m_preview;
};
