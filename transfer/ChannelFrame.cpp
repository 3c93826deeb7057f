#include "ChannelFrame.h"

#include "FieldValue.h"
#include "NumericReading.h"

#include <cmath>
#include <optional>

const QString ChannelFrame::nullFrame = QStringLiteral("0000000000000000");

static const QString nullField = QStringLiteral("000000");
static constexpr Frequency receiveOffset = Frequency::fromUnits(214000);   // 21.4 MHz
static const double lowestValue = 0x100000;  // smallest value with six hex digits
static const double highestValue = 0xFFFFFF;

namespace {

// Outcome of one field: its digits, or why there are none.
struct Part
{
    QString digits;
    QString problem;
    Frequency carried;
};

QString hex(double rounded) { return QString::number(qint64(rounded), 16).toUpper(); }

// Rounds halves to even, as the radio's own tools always did: 1450002.5 -> 1450002.
std::optional<double> roundedInRange(double value, double low, double high)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < low || rounded > high)
        return std::nullopt;
    return rounded;
}

// Six digits ABCDEF go out as EFCDAB, and EFCDAB reads back as ABCDEF.
QString swapped(const QString &six) { return six.mid(4, 2) + six.mid(2, 2) + six.mid(0, 2); }

Part frequency(double reading, Frequency offset)
{
    const double value = Frequency::steps(reading, offset);
    if (!std::isfinite(value))
        return { {}, QStringLiteral("不是有效数值"), {} };
    if (value < lowestValue || value > highestValue)
        return { {}, QStringLiteral("超出范围"), {} };
    return { swapped(hex(value)), {}, offset + Frequency::fromUnits(qint64(value)) };
}

} // namespace

ChannelFrame ChannelFrame::encode(const QVariant &channel, const QVariant &receive,
                                  const QVariant &transmit)
{
    ChannelFrame frame;
    using namespace ChannelFields;
    auto fail = [&frame](Field field, const QVariant &value, const QString &problem) {
        frame.m_errorField = field;
        frame.m_error = QStringLiteral("%1 %2: %3")
                            .arg(name(field), problem, FieldValue::fieldText(value));
        return frame;
    };

    const double number = FieldValue::isNull(channel)
            ? 0 : NumericReading::read(FieldValue::fieldText(channel));
    if (number == 0) {
        frame.m_text = nullFrame;
        return frame;
    }
    const auto rounded = roundedInRange(number, 1, 255);
    if (!rounded)
        return fail(Channel, channel, QStringLiteral("超出范围 (1–255)"));
    QString text = hex(*rounded).rightJustified(2, u'0');

    const struct { Field field; const QVariant &value; Frequency offset; } frequencies[] = {
        { Receive, receive, receiveOffset },
        { Transmit, transmit, Frequency() },
    };
    for (int i = 0; i < 2; ++i) {
        const auto &f = frequencies[i];
        const double reading = FieldValue::isNull(f.value)
                ? 0 : NumericReading::read(FieldValue::fieldText(f.value));
        if (reading == 0) {
            text += nullField;
        } else {
            const Part part = frequency(reading, f.offset);
            if (!part.problem.isEmpty())
                return fail(f.field, f.value, part.problem);
            text += part.digits;
            frame.m_carried[i] = part.carried;
        }
        if (f.field == Receive)
            text += QStringLiteral("00");
    }
    frame.m_text = text;
    return frame;
}

std::optional<Frequency> ChannelFrame::carriedIn(const QByteArray &frame, ChannelFields::Field field)
{
    const bool receive = field == ChannelFields::Receive;
    const QByteArray digits = frame.mid(receive ? 2 : 10, 6);
    if (frame.left(2) == "00" || digits == "000000")
        return std::nullopt;
    const Frequency value = Frequency::fromUnits(swapped(QString::fromLatin1(digits)).toLongLong(nullptr, 16));
    return receive ? value + receiveOffset : value;
}
