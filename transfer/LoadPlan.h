#pragma once

#include "BandProfile.h"
#include "RowVerdict.h"

#include <QByteArray>
#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class ChannelStore;

// What one load of the radio sends and what there is to say about it, worked
// out once: the frames of the table's first rowsSent rows, each with the row
// and record number it comes from; every error and warning among those rows,
// the band plan's included; the checksum of the bytes; and, when the load may
// not go out, why. The window's question, 连续传送, --send, --check, --frames,
// the grid's marks, the printed sheet and --diff all read a plan, so none of
// them can tell the operator something another does not.
//
// A refused plan keeps its findings but holds no frame and no checksum: a
// load goes out whole or not at all.
class LoadPlan
{
public:
    // The radio's loader counts no further: rows below these never leave the
    // computer however the table is edited.
    static constexpr int rowsSent = 51;

    struct Frame
    {
        int row = 0;          // from 0
        QString record;       // the row's 记录编号 as shown
        QByteArray bytes;     // 16 characters
    };
    struct Finding
    {
        int row = 0;          // from 0
        QString record;
        RowFinding what;
    };

    // The rows as the store shows them now, with why they may not go out: no
    // file, a stale grid, edits the file has not taken, rows it could not read.
    static LoadPlan of(ChannelStore &store, const BandProfile &band);
    // Rows already read, from the top of the table.
    static LoadPlan of(const QVector<ChannelRow> &rows, const BandProfile &band);

    // SHA-256 of the bytes of a load, 64 lowercase digits: the number --check,
    // the sheet and the journal show for a plan.
    static QString checksumOf(const QByteArray &bytes);

    bool isSendable() const { return m_refusal.isEmpty(); }
    // Why nothing may go out, every row that cannot be sent named; empty when it may.
    QString refusal() const { return m_refusal; }
    // The first row that cannot be sent, where the mending starts; -1 when none.
    int firstBadRow() const;

    const QVector<Frame> &frames() const { return m_frames; }
    QByteArray bytes() const { return m_bytes; }
    QString checksum() const { return m_checksum; }   // empty when refused
    QString bandName() const { return m_bandName; }

    // Row by row, each row's own findings before a channel number it repeats.
    const QVector<Finding> &findings() const { return m_findings; }
    int warningCount() const;
    // The warnings, one line each, as 检查信道表 lists them.
    QStringList warningLines() const;
    // The warnings by kind, in a line: "12 行信道号为空，3 行频率不在频段内".
    QString summary() const;
    // "第 3 行（记录编号 3）警告：接收频率 “438,5”只读作 438"
    static QString describe(const Finding &finding);
    // What the grid marks that no single row shows (a channel number taken
    // twice), by (row, field), in the check list's words.
    QHash<QPair<int, int>, QString> crossRowMarks() const;

private:
    void addRow(int row, const ChannelRow &values, const BandProfile &band, QHash<QString, int> *channels);
    void refuse(const QString &why) { m_refusal = why; }
    void seal();

    QVector<Frame> m_frames;
    QVector<Finding> m_findings;
    QByteArray m_bytes;
    QString m_checksum;
    QString m_refusal;
    QString m_bandName;
};
