#include "RowCheck.h"

#include "ChannelFrame.h"
#include "FieldValue.h"
#include "NumericReading.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace {

using Kind = RowFinding::Kind;

double reading(const QVariant &value)
{
    return FieldValue::isNull(value) ? 0 : NumericReading::read(FieldValue::fieldText(value));
}

QString number(double value)
{
    return QString::number(value, 'g', 15);
}

// True when the whole text is the number it reads as; stored numbers always are.
bool readWhole(const QVariant &value)
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

// On a 5 kHz or a 6.25 kHz raster.
bool onRaster(Frequency carried)
{
    return BandProfile::onRaster(carried, 5000) || BandProfile::onRaster(carried, 6250);
}

class Checker
{
public:
    Checker(const ChannelRow &row, const BandProfile &band) : m_row(row), m_band(band) {}

    RowVerdict verdict();

private:
    void add(int field, Kind kind, const QString &text) { m_verdict.findings.append({ field, kind, text }); }
    void refusals(const ChannelFrame &whole);
    void readings();
    void frequency(int field, Frequency carried);

    const ChannelRow &m_row;
    const BandProfile &m_band;
    RowVerdict m_verdict;
};

// The encoder stops at the first bad field; each frequency is looked at on
// its own, so that one look at the grid shows all there is to mend.
void Checker::refusals(const ChannelFrame &whole)
{
    using namespace ChannelFields;
    if (whole.errorField() == Channel) {
        add(Channel, Kind::Unsendable, whole.errorMessage());
        return;
    }
    const ChannelFrame rx = ChannelFrame::encode(m_row[Channel], m_row[Receive], QVariant());
    const ChannelFrame tx = ChannelFrame::encode(m_row[Channel], QVariant(), m_row[Transmit]);
    if (!rx.isValid())
        add(Receive, Kind::Unsendable, rx.errorMessage());
    if (!tx.isValid())
        add(Transmit, Kind::Unsendable, tx.errorMessage());
}

void Checker::readings()
{
    using namespace ChannelFields;
    for (int field : { Channel, Receive, Transmit })
        if (!readWhole(m_row.values[field]))
            add(field, Kind::ReadInPart, QStringLiteral("“%1”只读作 %2")
                                                 .arg(FieldValue::fieldText(m_row.values[field]),
                                                      number(reading(m_row.values[field]))));
}

void Checker::frequency(int field, Frequency carried)
{
    if (carried.isZero()) {
        add(field, Kind::ZeroFrequency, QStringLiteral("为空或为 0：发送 000000"));
        return;
    }
    if (!onRaster(carried))
        add(field, Kind::OffRaster, QStringLiteral("%1 不在 5 kHz 或 6.25 kHz 的频道间隔上，可能输错").arg(carried.text()));
    static const Kind kinds[] = { Kind::OutOfBand, Kind::SetApart, Kind::OffBandRaster };
    for (const BandProfile::Warning &off : m_band.frequencyWarnings(carried))
        add(field, kinds[off.kind], carried.text() + u' ' + off.text);
}

RowVerdict Checker::verdict()
{
    using namespace ChannelFields;
    const ChannelFrame whole = ChannelFrame::encode(m_row);
    if (!whole.isValid()) {
        refusals(whole);
        return m_verdict;
    }
    m_verdict.frame = whole.text();
    readings();
    const double channel = reading(m_row[Channel]);
    if (channel == 0) {
        if (reading(m_row[Receive]) != 0 || reading(m_row[Transmit]) != 0)
            add(Channel, Kind::NullFrame, QStringLiteral("为空或为 0：此行发送空帧 %1").arg(ChannelFrame::nullFrame));
        return m_verdict;
    }
    if (channel != std::nearbyint(channel))
        add(Channel, Kind::NotWhole, QStringLiteral("%1 不是整数：发送为 %2").arg(number(channel), number(std::nearbyint(channel))));
    frequency(Receive, whole.receive());
    frequency(Transmit, whole.transmit());
    if (!whole.receive().isZero() && !whole.transmit().isZero()) {
        const QString split = m_band.splitWarning(whole.receive(), whole.transmit());
        if (!split.isEmpty())
            add(Transmit, Kind::Split, split);
    }
    return m_verdict;
}

} // namespace

RowVerdict checkRow(const ChannelRow &row, const BandProfile &band)
{
    return Checker(row, band).verdict();
}
