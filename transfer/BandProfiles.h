#pragma once

#include "BandProfile.h"

// The band plans offered under 系统设置 → 频段…, "无" first, and the one the
// checks apply now (kept in the settings, key plan/band).
namespace BandProfiles {

const QVector<BandProfile> &all();
const BandProfile &byId(const QString &id);   // "无" for an unknown id

const BandProfile &active();
// Also remembers the choice for the next start.
void choose(const QString &id);

} // namespace BandProfiles
