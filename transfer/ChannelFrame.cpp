#include "ChannelFrame.h"

#include "FieldValue.h"
#include "NumericReading.h"

#include <QLocale>
#include <cmath>
#include <optional>

const QString ChannelFrame::nullFrame = QStringLiteral("0000000000000000");

static const QString nullField = QStringLiteral("000000");
static const double receiveOffset = 214000;   // 21.4 MHz in units of 100 Hz
static const double lowestValue = 0x100000;  // smallest value with six hex digits
static const double highestValue = 0xFFFFFF;

namespace {

// Outcome of one field: its digits, or why there are none.
struct Part
{
    QString digits;
    QString problem;
    qint64 units = 0;   // the frequency carried, in 100 Hz
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

// Six digits ABCDEF go out as EFCDAB.
QString swapped(const QString &six) { return six.mid(4, 2) + six.mid(2, 2) + six.mid(0, 2); }

Part frequency(double reading, double offset)
{
    double value = reading * 10000 - offset;
    if (!std::isfinite(reading) || !std::isfinite(value))
        return { {}, QStringLiteral("不是有效数值") };
    if (offset != 0) {
        // The receive value passes through its 15-digit decimal text, which
        // settles products such as 1286250.0000000002 on the intended integer.
        value = QLocale::c().toDouble(QString::number(value, 'g', 15));
    }
    const auto rounded = roundedInRange(value, lowestValue, highestValue);
    if (!rounded)
        return { {}, QStringLiteral("超出范围") };
    return { swapped(hex(*rounded)), {}, qint64(*rounded + offset) };
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

    const struct { Field field; const QVariant &value; double offset; } frequencies[] = {
        { Receive, receive, receiveOffset },
        { Transmit, transmit, 0 },
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
            frame.m_units[i] = part.units;
        }
        if (f.field == Receive)
            text += QStringLiteral("00");
    }
    frame.m_text = text;
    return frame;
}
