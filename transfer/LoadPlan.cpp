#include "LoadPlan.h"

#include "ChannelStore.h"
#include "FieldValue.h"
#include "RowCheck.h"
#include "Sha256.h"

#include <QSet>

namespace {

// The warnings of a kind, counted by rows, for the line above the list.
const char *const kindWords[RowFinding::kindCount] = {
    "%1 行不能传送",
    "%1 行有只读出一部分的数值",
    "%1 行信道号为空",
    "%1 行频率为空或为 0",
    "%1 行信道号不是整数",
    "%1 行频率不在 5 kHz 或 6.25 kHz 的间隔上",
    "%1 行频率不在频段内",
    "%1 行频率在另作他用的频段内",
    "%1 行频率不在频段的信道上",
    "%1 行收发间隔不合频段规划",
    "%1 行信道号重复",
};

// Every row that cannot be sent, so that one look mends them all.
QString unsendableRows(const QVector<LoadPlan::Finding> &findings)
{
    QStringList lines;
    int row = -1;
    for (const LoadPlan::Finding &finding : findings) {
        if (!finding.what.isError())
            continue;
        if (finding.row == row) {
            lines.last() += QStringLiteral("；") + finding.what.text;
            continue;
        }
        row = finding.row;
        lines << QStringLiteral("第 %1 行（记录编号 %2）：%3").arg(row + 1).arg(finding.record, finding.what.text);
    }
    return lines.join(u'\n');
}

} // namespace

QString LoadPlan::checksumOf(const QByteArray &bytes)
{
    return QString::fromLatin1(Sha256::hex(bytes));
}

// A channel number another row already sends: the radio keeps only one of them.
void LoadPlan::addRow(int row, const ChannelRow &values, const BandProfile &band, QHash<QString, int> *channels)
{
    const RowVerdict verdict = checkRow(values, band);
    const QString record = FieldValue::fieldText(values[ChannelFields::Record]);
    for (const RowFinding &finding : verdict.findings)
        m_findings.append({ row, record, finding });
    if (!verdict.sendable())
        return;
    m_frames.append({ row, record, verdict.frame.toLatin1() });
    const QString channel = verdict.frame.left(2);
    if (channel == QLatin1String("00"))
        return;
    const auto first = channels->constFind(channel);
    if (first == channels->cend())
        channels->insert(channel, row);
    else
        m_findings.append({ row, record, { ChannelFields::Channel, RowFinding::Duplicate,
                                           QStringLiteral("%1 与第 %2 行相同：电台只保留其中一个")
                                                   .arg(channel.toInt(nullptr, 16))
                                                   .arg(*first + 1) } });
}

// A refused plan sends nothing; a sendable one is summed once.
void LoadPlan::seal()
{
    if (!isSendable()) {
        m_frames.clear();
        m_bytes.clear();
        m_checksum.clear();
        return;
    }
    m_bytes.clear();
    for (const Frame &frame : m_frames)
        m_bytes += frame.bytes;
    m_checksum = checksumOf(m_bytes);
}

LoadPlan LoadPlan::of(const QVector<ChannelRow> &rows, const BandProfile &band)
{
    LoadPlan plan;
    plan.m_bandName = band.name;
    QHash<QString, int> channels;
    for (int row = 0; row < std::min(int(rows.size()), rowsSent); ++row)
        plan.addRow(row, rows.at(row), band, &channels);
    if (rows.isEmpty())
        plan.refuse(QStringLiteral("信道表中没有数据，无法传送。"));
    else if (const QString bad = unsendableRows(plan.m_findings); !bad.isEmpty())
        plan.refuse(bad + QStringLiteral("\n数据没有传送。"));
    plan.seal();
    return plan;
}

LoadPlan LoadPlan::of(ChannelStore &store, const BandProfile &band)
{
    QVector<ChannelRow> rows;
    for (int row = 0; row < rowsSent && store.isOpen(); ++row) {
        const ChannelRow *values = store.rowAt(row);
        if (!values)
            break;
        rows.append(*values);
    }
    LoadPlan plan = of(rows, band);
    if (!store.isOpen())
        plan.refuse(QStringLiteral("信道文件 %1 未打开，无法传送数据。").arg(store.fileName()));
    else if (!store.staleReason().isEmpty())
        plan.refuse(store.staleReason() + QStringLiteral("\n数据没有传送。"));
    // What would go out is what the grid shows, not what the file holds.
    else if (plan.isSendable() && store.unsavedCount() > 0)
        plan.refuse(QStringLiteral("有 %1 处修改还没有写入文件 %2：%3\n数据没有传送。")
                            .arg(store.unsavedCount())
                            .arg(store.fileName(), store.saveError()));
    // A table read only in part is no plan a load would send.
    else if (plan.isSendable() && !store.readError().isEmpty())
        plan.refuse(QStringLiteral("信道文件 %1 读取失败：%2\n数据没有传送。").arg(store.fileName(), store.readError()));
    plan.seal();
    return plan;
}

int LoadPlan::firstBadRow() const
{
    for (const Finding &finding : m_findings)
        if (finding.what.isError())
            return finding.row;
    return -1;
}

int LoadPlan::warningCount() const
{
    return int(std::count_if(m_findings.cbegin(), m_findings.cend(),
                             [](const Finding &f) { return !f.what.isError(); }));
}

QStringList LoadPlan::warningLines() const
{
    QStringList lines;
    for (const Finding &finding : m_findings)
        if (!finding.what.isError())
            lines << describe(finding);
    return lines;
}

QString LoadPlan::summary() const
{
    QVector<QSet<int>> rows(RowFinding::kindCount);
    for (const Finding &finding : m_findings)
        if (!finding.what.isError())
            rows[finding.what.kind].insert(finding.row);
    QStringList parts;
    for (int kind = 0; kind < RowFinding::kindCount; ++kind)
        if (!rows.at(kind).isEmpty())
            parts << QString::fromUtf8(kindWords[kind]).arg(rows.at(kind).size());
    return parts.join(QStringLiteral("，"));
}

QString LoadPlan::describe(const Finding &finding)
{
    const RowFinding &what = finding.what;
    return QStringLiteral("第 %1 行（记录编号 %2）%3：%4")
            .arg(finding.row + 1)
            .arg(finding.record, what.isError() ? QStringLiteral("错误") : QStringLiteral("警告"),
                 what.isError() ? what.text : ChannelFields::name(what.field) + u' ' + what.text);
}

QHash<QPair<int, int>, QString> LoadPlan::crossRowMarks() const
{
    QHash<QPair<int, int>, QString> marks;
    for (const Finding &finding : m_findings)
        if (finding.what.kind == RowFinding::Duplicate)
            marks.insert({ finding.row, finding.what.field },
                          ChannelFields::name(finding.what.field) + u' ' + finding.what.text);
    return marks;
}
