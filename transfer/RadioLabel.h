#pragma once

#include <QString>

// A radio's label, as the operator types or scans it: data, never layout. A
// line break or a tab in it would split a journal listing or a CSV row into
// lines that look like other loads, so it is refused where it is entered.
namespace RadioLabel {

// Why `label` cannot be a radio's label; empty when it can.
QString refusal(const QString &label);

} // namespace RadioLabel
