#pragma once

#include "LoadPlan.h"
#include "TablePages.h"

#include <QDate>
#include <QString>
#include <QVariantList>
#include <QVector>

class QPagedPaintDevice;

// The channel plan on paper, for the service folder or the radio's case: a
// title "QT7020 信道表" with the file name and date, then one line per row
// (row number, the five fields and the offset 发送 − 接收 in MHz). The rows a
// transfer sends (1-51) are marked as such, with 警告 or 错误 where --check
// finds something; the others follow after a rule. Each page's foot carries
// the plan's checksum, the one --check prints and the journal keeps, and the
// page number. Black on white only, so that a copy of a copy still reads.
//
// Frequencies are printed as the frame carries them, to its 100 Hz, so the
// sheet tells what the radio has and not what was typed.
//
// Draws on any paged device: the preview's printer in the window, a PDF
// writer on the command line.
class ChannelSheet
{
public:
    // `plan` is what a load of these rows sends: its marks and checksum are printed.
    ChannelSheet(const QVector<QVariantList> &rows, const LoadPlan &plan, const QString &fileName, const QDate &date);

    // Sets A4 and the margins, then draws every page; false when the device
    // cannot be painted on.
    bool print(QPagedPaintDevice *device) const { return pages().print(device); }
    // The sheet as a PDF file with its fonts embedded; false with `error`.
    bool writePdf(const QString &path, QString *error) const;

    // A frequency as the radio gets it, in MHz to four decimals; a number the
    // frame cannot carry (zero, out of range) to four decimals as well,
    // anything else as stored.
    static QString frequency(const QVariantList &row, int field);
    // 发送 − 接收 in MHz, signed, of the two printed values; empty unless both are finite numbers.
    static QString offset(const QVariantList &row);

private:
    TablePages pages() const;
    QStringList cellsOf(int row) const;

    QVector<QVariantList> m_rows;
    QString m_fileName;
    QDate m_date;
    QStringList m_marks;   // 警告 or 错误 for the rows sent
    QString m_checksum;    // empty when the plan cannot be sent
};
