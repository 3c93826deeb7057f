#include "PlanCheck.h"

#include "TransferPlan.h"
#include "BandProfiles.h"

#include "ChannelStore.h"
#include "FieldValue.h"
#include "NumericReading.h"
#include "RowCheck.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace PlanCheck {

static double reading(const QVariant &value)
{
    return FieldValue::isNull(value) ? 0 : NumericReading::read(FieldValue::fieldText(value));
}

static QString number(double value)
{
    return QString::number(value, 'g', 15);
}

// True when the whole text is the number it reads as; stored numbers always are.
static bool readWhole(const QVariant &value)
{
    if (FieldValue::isNull(value) || value.typeId() != QMetaType::QString)
        return true;
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return true;
    // "438,5" is no number here, not 4385.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double number = c.toDouble(text, &ok);
    static const QRegularExpression radix(QStringLiteral("^&([Hh][0-9A-Fa-f]+|[Oo][0-7]+)$"));
    return (ok && std::isfinite(number)) || radix.match(text).hasMatch();
}

// On a 5 kHz or a 6.25 kHz raster: in units of 50 Hz, a multiple of 100 or of 125.
static bool onRaster(double megahertz)
{
    const double units = megahertz * 20000;
    const double whole = std::nearbyint(units);
    if (std::fabs(units - whole) > 1e-6)
        return false;
    return std::fmod(whole, 100) == 0 || std::fmod(whole, 125) == 0;
}

// The band plans work in whole hertz: 438.5125 MHz is 438 512 500 Hz, not a
// binary fraction near it.
static qint64 hertz(double megahertz)
{
    return qRound64(megahertz * 1e6);
}

std::array<QString, ChannelRow::fieldCount> rowWarnings(const ChannelRow &row)
{
    using namespace ChannelFields;
    std::array<QString, ChannelRow::fieldCount> warnings;
    auto add = [&warnings](int field, const QString &text) {
        warnings[field] += (warnings[field].isEmpty() ? QString() : QStringLiteral("；")) + text;
    };
    for (int field : { Channel, Receive, Transmit }) {
        if (!readWhole(row.values[field]))
            add(field, QStringLiteral("“%1”只读作 %2")
                               .arg(FieldValue::fieldText(row.values[field]), number(reading(row.values[field]))));
    }
    const double channel = reading(row[Channel]);
    const double receive = reading(row[Receive]);
    const double transmit = reading(row[Transmit]);
    if (channel == 0) {
        if (receive != 0 || transmit != 0)
            add(Channel, QStringLiteral("为空或为 0：此行发送空帧 %1").arg(QStringLiteral("0000000000000000")));
        return warnings;
    }
    if (std::isfinite(channel) && channel != std::nearbyint(channel))
        add(Channel, QStringLiteral("%1 不是整数：发送为 %2").arg(number(channel), number(std::nearbyint(channel))));
    for (const auto &[field, value] : { std::pair{ Receive, receive }, std::pair{ Transmit, transmit } }) {
        if (value == 0)
            add(field, QStringLiteral("为空或为 0：发送 000000"));
        else if (std::isfinite(value) && !onRaster(value))
            add(field, QStringLiteral("%1 不在 5 kHz 或 6.25 kHz 的频道间隔上，可能输错").arg(number(value)));
        if (value != 0 && std::isfinite(value))
            for (const QString &off : BandProfiles::active().frequencyWarnings(hertz(value)))
                add(field, number(value) + u' ' + off);
    }
    if (receive != 0 && transmit != 0 && std::isfinite(receive) && std::isfinite(transmit))
        if (const QString split = BandProfiles::active().splitWarning(hertz(receive), hertz(transmit)); !split.isEmpty())
            add(Transmit, split);
    return warnings;
}

QVector<PlanFinding> duplicateChannels(ChannelStore &model, int rows)
{
    QVector<PlanFinding> findings;
    QHash<qint64, int> firstWithChannel;
    for (int row = 0; row < rows; ++row) {
        const ChannelRow *values = model.rowAt(row);
        if (!values)
            break;
        const RowVerdict verdict = checkRow(*values);
        if (!verdict.sendable() || verdict.frame == QStringLiteral("0000000000000000"))
            continue;
        const qint64 channel = qint64(std::nearbyint(reading((*values)[ChannelFields::Channel])));
        const auto first = firstWithChannel.constFind(channel);
        if (first == firstWithChannel.cend())
            firstWithChannel.insert(channel, row);
        else
            findings.append({ row, ChannelFields::Channel, false,
                              QStringLiteral("%1 %2 与第 %3 行相同：电台只保留其中一个")
                                      .arg(ChannelFields::name(ChannelFields::Channel))
                                      .arg(channel)
                                      .arg(*first + 1) });
    }
    return findings;
}

QHash<QPair<int, int>, QString> duplicateMarks(ChannelStore &model)
{
    QHash<QPair<int, int>, QString> marks;
    for (const PlanFinding &finding : duplicateChannels(model, TransferPlan::rowsSent))
        marks.insert({ finding.row, finding.column }, finding.text);
    return marks;
}

QVector<PlanFinding> check(ChannelStore &model, int rows)
{
    QVector<PlanFinding> findings;
    for (int row = 0; row < rows; ++row) {
        const ChannelRow *values = model.rowAt(row);
        if (!values)
            break;
        const RowVerdict verdict = checkRow(*values);
        for (int field = 0; field < ChannelRow::fieldCount; ++field) {
            if (!verdict.problems[field].isEmpty())
                findings.append({ row, field, true, verdict.problems[field] });
            else if (!verdict.warnings[field].isEmpty())
                findings.append({ row, field, false,
                                  ChannelFields::name(field) + u' ' + verdict.warnings[field] });
        }
    }
    // Row by row, each row's own findings before a duplicate found on it.
    const QVector<PlanFinding> duplicates = duplicateChannels(model, rows);
    for (const PlanFinding &duplicate : duplicates) {
        auto after = std::find_if(findings.begin(), findings.end(),
                                  [&](const PlanFinding &f) { return f.row > duplicate.row; });
        findings.insert(after, duplicate);
    }
    return findings;
}

QString describe(const PlanFinding &finding, ChannelStore &model)
{
    const ChannelRow *row = model.rowAt(finding.row);
    const QString record = row ? FieldValue::fieldText((*row)[ChannelFields::Record]) : QString();
    return QStringLiteral("第 %1 行（记录编号 %2）%3：%4")
            .arg(finding.row + 1)
            .arg(record, finding.error ? QStringLiteral("错误") : QStringLiteral("警告"), finding.text);
}

} // namespace PlanCheck
