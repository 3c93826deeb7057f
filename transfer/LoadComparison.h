#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// Two loads as the radio receives them, compared row by row: the frames one
// after the other, the N-th frame of one against the N-th of the other. Each
// row whose frames differ gives its changed fields (channel number and the
// frequencies the frames carry, old → new) and the two frames; a row only
// one load sends is listed with what it carries. No widgets: the command
// line prints it, a window can list it.
class LoadComparison
{
public:
    enum class Kind { FieldChanged, FrameChanged, OnlyFirst, OnlySecond };

    struct Difference
    {
        Kind kind;
        int row;           // 1 for the first frame
        QString channel;   // the row's channel number in the first load (the second's when only there)
        QString field;     // 信道号, 接收频率 or 发送频率; FieldChanged only
        QString before;    // the first load's value or frame; empty when it has no such row
        QString after;     // the second load's
    };

    // Two runs of 16-character frames, as LoadSource reads them.
    LoadComparison(const QByteArray &first, const QByteArray &second);

    bool identical() const { return m_first == m_second; }
    QVector<Difference> differences() const { return m_differences; }
    // How many differences of a kind: rows for frames and for rows only one
    // load sends, fields for changed fields.
    int count(Kind kind) const;

    // One line in the operator's words: "第 5 行 信道 5：接收频率 430.0625 → 430.1000".
    static QString describe(const Difference &difference);
    // "不同：…" or "相同：…", counting the differences, then naming the loads
    // as `first` (A) and `second` (B).
    QString summary(const QString &first, const QString &second) const;
    // What --diff prints: each difference on a line of its own, the summary last.
    QString text(const QString &first, const QString &second) const;

    // A frame's channel number, and a frequency as the frame carries it, in
    // MHz to the radio's 100 Hz; "无" for what the frame leaves empty.
    static QString channelOf(const QByteArray &frame);
    static QString frequencyOf(const QByteArray &frame, bool receive);

private:
    void compareRow(int row, const QByteArray &a, const QByteArray &b);

    QByteArray m_first;
    QByteArray m_second;
    QVector<Difference> m_differences;
};
