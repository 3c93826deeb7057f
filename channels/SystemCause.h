#pragma once

#include <QString>

// The operating system and SQLite name their causes in English ("database is
// locked", "No such file or directory"); the operator reads Chinese. The causes
// an operator can meet and act on are said in Chinese, anything else is passed
// on as it came.
namespace SystemCause {

QString inChinese(const QString &cause);

} // namespace SystemCause
