#include "KeyNames.h"

#include <cstring>

QString KeyNames::translate(const char *context, const char *sourceText, const char *, int) const
{
    static const struct { const char *key; const char16_t *arrow; } arrows[] = {
        { "Up", u"↑" }, { "Down", u"↓" }, { "Left", u"←" }, { "Right", u"→" },
    };
    if (!context || !sourceText || std::strcmp(context, "QShortcut") != 0)
        return QString();
    for (const auto &a : arrows)
        if (std::strcmp(sourceText, a.key) == 0)
            return QString::fromUtf16(a.arrow);
    return QString();
}
