#include "LoadComparison.h"

#include "ChannelFrame.h"
#include "LoadPlan.h"

static constexpr int frameSize = 16;

LoadComparison::LoadComparison(const QByteArray &first, const QByteArray &second)
    : m_first(first)
    , m_second(second)
{
    const int rows = int(qMax(first.size(), second.size()) / frameSize);
    for (int row = 0; row < rows; ++row)
        compareRow(row + 1, first.mid(row * frameSize, frameSize), second.mid(row * frameSize, frameSize));
}

QString LoadComparison::channelOf(const QByteArray &frame)
{
    const int number = frame.left(2).toInt(nullptr, 16);
    return number == 0 ? QStringLiteral("无") : QString::number(number);
}

QString LoadComparison::frequencyOf(const QByteArray &frame, bool receive)
{
    const auto carried = ChannelFrame::carriedIn(frame, receive ? ChannelFields::Receive : ChannelFields::Transmit);
    return carried ? carried->fixedText() : QStringLiteral("无");
}

void LoadComparison::compareRow(int row, const QByteArray &a, const QByteArray &b)
{
    if (a == b)
        return;
    const QString channel = channelOf(a.isEmpty() ? b : a);
    if (a.isEmpty() || b.isEmpty()) {
        m_differences.append({ a.isEmpty() ? Kind::OnlySecond : Kind::OnlyFirst, row, channel, {},
                               QString::fromLatin1(a), QString::fromLatin1(b) });
        return;
    }
    const struct { const char16_t *name; QString before, after; } fields[] = {
        { u"信道号", channelOf(a), channelOf(b) },
        { u"接收频率", frequencyOf(a, true), frequencyOf(b, true) },
        { u"发送频率", frequencyOf(a, false), frequencyOf(b, false) },
    };
    for (const auto &f : fields)
        if (f.before != f.after)
            m_differences.append({ Kind::FieldChanged, row, channel, QString::fromUtf16(f.name), f.before, f.after });
    m_differences.append({ Kind::FrameChanged, row, channel, {}, QString::fromLatin1(a), QString::fromLatin1(b) });
}

int LoadComparison::count(Kind kind) const
{
    int n = 0;
    for (const Difference &d : m_differences)
        n += d.kind == kind ? 1 : 0;
    return n;
}

QString LoadComparison::describe(const Difference &d)
{
    const QString where = QStringLiteral("第 %1 行 信道 %2：").arg(d.row).arg(d.channel);
    switch (d.kind) {
    case Kind::FieldChanged:
        return where + QStringLiteral("%1 %2 → %3").arg(d.field, d.before, d.after);
    case Kind::FrameChanged:
        return where + QStringLiteral("帧 %1 → %2").arg(d.before, d.after);
    case Kind::OnlyFirst:
    case Kind::OnlySecond:
        break;
    }
    const QByteArray frame = (d.kind == Kind::OnlyFirst ? d.before : d.after).toLatin1();
    return where + QStringLiteral("只在 %1 中（接收频率 %2，发送频率 %3，帧 %4）")
                           .arg(d.kind == Kind::OnlyFirst ? QStringLiteral("A") : QStringLiteral("B"))
                           .arg(frequencyOf(frame, true), frequencyOf(frame, false), QString::fromLatin1(frame));
}

QString LoadComparison::summary(const QString &first, const QString &second) const
{
    const QString sides = QStringLiteral("A 为 %1，B 为 %2。").arg(first, second);
    if (identical())
        return QStringLiteral("相同：%1 帧逐字节一致，传送校验 SHA-256: %2。")
                       .arg(m_first.size() / frameSize)
                       .arg(LoadPlan::checksumOf(m_first))
                + sides;
    return QStringLiteral("不同：%1 行的帧不同（%2 处字段改变），%3 行只在 A 中，%4 行只在 B 中。")
                   .arg(count(Kind::FrameChanged))
                   .arg(count(Kind::FieldChanged))
                   .arg(count(Kind::OnlyFirst))
                   .arg(count(Kind::OnlySecond))
            + sides;
}

QString LoadComparison::text(const QString &first, const QString &second) const
{
    QStringList lines;
    for (const Difference &difference : m_differences)
        lines << describe(difference);
    lines << summary(first, second);
    return lines.join(u'\n');
}
