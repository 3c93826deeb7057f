#pragma once

#include "BandProfile.h"

// The band plans offered under 系统设置 → 频段…, "无" first, and the one the
// operator chose, kept in the settings (key band/id). Whoever checks rows
// is handed the plan to hold them to; nothing here is consulted behind its
// back.
namespace BandProfiles {

const QVector<BandProfile> &all();
// nullptr for an id this program does not know.
const BandProfile *find(const QString &id);
const BandProfile &none();

// The operator's choice; "无" when none was made, and also, with `notice`
// saying so, when the setting names a plan this program does not know.
BandProfile saved(QString *notice = nullptr);
void save(const QString &id);

} // namespace BandProfiles
