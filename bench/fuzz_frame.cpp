// libFuzzer target: the numeric reading and the frame encoder must never crash
// or hang, and every frame they return must be 16 uppercase hex digits.
//
// An input is up to three fields separated by '|'. A field starting with 'd'
// followed by 8 bytes is a double, 'i' and 8 bytes a 64-bit integer, 'n' a
// null; anything else is a text.

#include "ChannelFrame.h"
#include "NumericReading.h"

#include <QByteArray>
#include <QList>
#include <QVariant>

#include <cstdint>
#include <cstdlib>
#include <cstring>

static QVariant field(const QByteArray &bytes)
{
    if (bytes.size() == 9 && bytes[0] == 'd') {
        double d;
        std::memcpy(&d, bytes.constData() + 1, 8);
        return d;
    }
    if (bytes.size() == 9 && bytes[0] == 'i') {
        qint64 i;
        std::memcpy(&i, bytes.constData() + 1, 8);
        return i;
    }
    if (bytes == "n")
        return QVariant();
    return QString::fromUtf8(bytes);
}

static bool isFrame(const QString &text)
{
    if (text.size() != 16)
        return false;
    for (QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    (void)NumericReading::read(QString::fromUtf8(input));

    const QList<QByteArray> parts = input.split('|');
    const ChannelFrame frame = ChannelFrame::encode(field(parts.value(0)), field(parts.value(1)),
                                                    field(parts.value(2)));
    if (frame.isValid() ? !isFrame(frame.text())
                        : (frame.errorField() < 1 || frame.errorField() > 3 || frame.errorMessage().isEmpty()
                           || !frame.text().isEmpty()))
        std::abort();
    return 0;
}
