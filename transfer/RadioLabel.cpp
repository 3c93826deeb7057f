#include "RadioLabel.h"

#include <algorithm>

namespace RadioLabel {

QString refusal(const QString &label)
{
    const bool control = std::any_of(label.cbegin(), label.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
    return control ? QStringLiteral("电台不能含换行、制表符等控制字符。") : QString();
}

} // namespace RadioLabel
