#include "RowMerge.h"

#include <algorithm>

namespace RowMerge {

QVector<Step> plan(const QVector<ChannelRow> &loaded, const QVector<ChannelRow> &fresh)
{
    QVector<Step> steps;
    int old = 0;    // next loaded row not yet placed
    int next = 0;   // next fresh row not yet placed
    int at = 0;     // where the loaded row `old` stands after the steps so far
    auto gone = [&](int row) { return next == fresh.size() || loaded.at(row).key < fresh.at(next).key; };
    auto added = [&](int i) { return old == loaded.size() || fresh.at(i).key < loaded.at(old).key; };
    while (old < loaded.size() || next < fresh.size()) {
        if (old < loaded.size() && gone(old)) {
            int end = old;
            while (end < loaded.size() && gone(end))
                ++end;
            steps.append({ Step::Remove, at, 0, end - old });
            old = end;
        } else if (added(next)) {
            int end = next;
            while (end < fresh.size() && added(end))
                ++end;
            steps.append({ Step::Insert, at, next, end - next });
            at += end - next;
            next = end;
        } else {
            steps.append({ Step::Update, at++, next++, 1 });
            ++old;
        }
    }
    return steps;
}

bool moves(const QVector<Step> &steps)
{
    return std::any_of(steps.begin(), steps.end(), [](const Step &step) { return step.kind != Step::Update; });
}

} // namespace RowMerge
