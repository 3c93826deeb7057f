#pragma once

#include <QString>

// The operating system and SQLite name their causes in English ("database is
// locked", "No such file or directory"); the operator reads Chinese. The causes
// an operator can meet and act on are said in Chinese, anything else is passed
// on as it came.
namespace SystemCause {

QString inChinese(const QString &cause);
// `message` with each cause it names said in Chinese, the rest as it was: for
// a sentence that quotes a cause somewhere within it.
QString withinText(const QString &message);

} // namespace SystemCause
