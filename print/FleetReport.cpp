#include "FleetReport.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <iterator>

// 电脑 last: a fleet loaded at several PCs is reported from their journals together.
static const TablePages::Column columns[] = {
    { u"序号", 0.05, Qt::AlignRight },    { u"电台", 0.10, Qt::AlignLeft }, { u"时间", 0.17, Qt::AlignLeft },
    { u"信道文件", 0.10, Qt::AlignLeft }, { u"传送校验", 0.16, Qt::AlignLeft }, { u"帧数", 0.05, Qt::AlignRight },
    { u"警告", 0.05, Qt::AlignRight },    { u"结果", 0.23, Qt::AlignLeft }, { u"电脑", 0.09, Qt::AlignLeft },
};
// A checksum's first digits find it on a channel sheet's foot; the whole one is in the journal.
constexpr int checksumDigits = 16;

FleetReport::FleetReport(const QVector<TransferJournal::Entry> &entries, const QDate &since, const QDate &printed)
    : m_entries(entries)
    , m_since(since)
    , m_printed(printed)
{
    // The journal is newest first; a stable sort keeps that within each radio.
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const TransferJournal::Entry &a, const TransferJournal::Entry &b) {
                         if (a.radio.isEmpty() != b.radio.isEmpty())
                             return b.radio.isEmpty();
                         return a.radio < b.radio;
                     });
}

int FleetReport::radioCount() const
{
    QSet<QString> radios;
    for (const TransferJournal::Entry &e : m_entries)
        if (!e.radio.isEmpty())
            radios.insert(e.radio);
    return int(radios.size());
}

TablePages FleetReport::pages() const
{
    const QString span = m_since.isValid() ? QStringLiteral("自 %1 起，").arg(m_since.toString(Qt::ISODate)) : QString();
    TablePages pages(QStringLiteral("QT7020 电台传送记录"),
                     QStringLiteral("%1电台 %2 部，传送 %3 次").arg(span).arg(radioCount()).arg(loadCount()), m_printed,
                     QVector<TablePages::Column>(std::begin(columns), std::end(columns)));
    // A thin rule where the next radio's loads begin.
    for (int i = 0; i < loadCount(); ++i)
        pages.addRow(cellsOf(i), i > 0 && m_entries.at(i).radio != m_entries.at(i - 1).radio);
    if (m_entries.isEmpty())
        pages.addRow({ QString(), QStringLiteral("没有传送记录") });
    setFoot(pages);
    return pages;
}

QStringList FleetReport::cellsOf(int index) const
{
    const TransferJournal::Entry &e = m_entries.at(index);
    const auto orDash = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
    QString result = e.resultWords();
    const QString detail = e.isLoad() ? e.detail : e.problem;
    if (!detail.isEmpty())
        result += u'：' + detail;
    return { QString::number(index + 1),
             orDash(e.radio),
             e.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
             orDash(QFileInfo(e.file).fileName()),
             orDash(e.sha256.left(checksumDigits)),
             QString::number(e.framesSent),
             e.warnings < 0 ? QStringLiteral("-") : QString::number(e.warnings),   // not asked
             result,
             orDash(e.host) };
}

// One journal's head is 64 digits, printed short at the foot; several
// journals' heads come shortened, each with its PC's name, on a line above it.
void FleetReport::setFoot(TablePages &pages) const
{
    const QString note = QStringLiteral("传送校验：SHA-256 的前 %1 位，与信道表页脚的校验对照。").arg(checksumDigits);
    const QString heads = QStringLiteral("传送记录校验链头：");
    if (!m_head.isEmpty() && m_head.size() != 64)
        pages.setFoot(note, heads + m_head);
    else
        pages.setFoot(note + heads + (m_head.isEmpty() ? QStringLiteral("-") : m_head.left(checksumDigits)));
}

bool FleetReport::writePdf(const QString &path, QString *error) const
{
    return pages().writePdf(path, QStringLiteral("QT7020 电台传送记录"), error);
}
