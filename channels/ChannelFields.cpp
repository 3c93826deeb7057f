#include "ChannelFields.h"

namespace ChannelFields {

static const char16_t *const names_[count] = { u"记录编号", u"信道号", u"接收频率", u"发送频率", u"备注" };
static const char16_t *const captions_[count] = {
    u"记录编号", u"信道号", u"接收频率  (MHz)", u"发送频率  (MHz)", u"备注",
};

QString name(int position)
{
    return position >= 0 && position < count ? QString::fromUtf16(names_[position]) : QString();
}

QStringList names()
{
    QStringList all;
    for (int i = 0; i < count; ++i)
        all << name(i);
    return all;
}

QString caption(int position)
{
    return position >= 0 && position < count ? QString::fromUtf16(captions_[position]) : QString();
}

} // namespace ChannelFields
