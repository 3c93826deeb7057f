#pragma once

#include <QStringList>

class QWidget;
class TransferController;

// What the window asks before a load goes out or is broken off: the
// operator's word, in a 系统信息 box over `window`.
namespace TransferQuestions {

// Whether the running load may be broken off, leaving the radio with only the
// frames sent so far; true when none runs. The count goes on while the box is
// open, so the answer is to what it says at that moment.
bool mayBreak(QWidget *window, TransferController *transfer, const QString &consequence);

// A plan with warnings goes out only when the operator has seen them: a
// summary on top ("12 行信道号为空，3 行频率不在频段内"; the count alone when
// empty), every warning in a list that scrolls, and 取消 the default answer.
bool warningsAccepted(QWidget *window, const QStringList &warnings, const QString &summary);
bool warningsAccepted(QWidget *window, const QStringList &warnings);

} // namespace TransferQuestions
