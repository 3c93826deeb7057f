#include "NumericReading.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace NumericReading {

static bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }
static bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The characters that matter, blanks removed; anything outside ASCII ends the number.
static QByteArray compact(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (isBlank(c))
            continue;
        if (c.unicode() > 0x7f)
            break;
        out.append(char(c.unicode()));
    }
    return out;
}

static double readRadix(const QByteArray &digits, int radix)
{
    double value = 0;
    for (char c : digits) {
        int d;
        if (isDigit(c))
            d = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            break;
        if (d >= radix)
            break;
        value = value * radix + d;
    }
    return value;
}

// Length of the decimal number at the start of s: sign, digits, point, digits,
// and an exponent only when at least one exponent digit follows.
static int decimalLength(const QByteArray &s)
{
    int i = 0;
    const int n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-'))
        ++i;
    int digits = 0;
    while (i < n && isDigit(s[i])) { ++i; ++digits; }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && isDigit(s[i])) { ++i; ++digits; }
    }
    if (digits == 0)
        return 0;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        int j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < n && isDigit(s[j])) {
            while (j < n && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

double read(const QString &text)
{
    const QByteArray s = compact(text);
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = s[1];
        if (kind == 'H' || kind == 'h')
            return readRadix(s.mid(2), 16);
        if (kind == 'O' || kind == 'o')
            return readRadix(s.mid(2), 8);
        return 0;
    }
    const int length = decimalLength(s);
    if (length == 0)
        return 0;
    // strtod_l with the C locale: the process locale may use a decimal comma.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const QByteArray number = s.left(length);
    return strtod_l(number.constData(), nullptr, cLocale);
}

} // namespace NumericReading
