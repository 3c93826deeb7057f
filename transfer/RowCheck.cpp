#include "RowCheck.h"

#include "ChannelFrame.h"
#include "PlanCheck.h"

RowVerdict checkRow(const ChannelRow &row)
{
    const QVariant &channel = row[ChannelFields::Channel];
    const QVariant &receive = row[ChannelFields::Receive];
    const QVariant &transmit = row[ChannelFields::Transmit];
    RowVerdict verdict;
    const ChannelFrame whole = ChannelFrame::encode(row);
    if (whole.isValid()) {
        verdict.frame = whole.text();
        verdict.warnings = PlanCheck::rowWarnings(row);
        return verdict;
    }
    if (whole.errorField() == ChannelFields::Channel) {
        verdict.problems[ChannelFields::Channel] = whole.errorMessage();
        return verdict;
    }
    // The encoder stops at the first bad frequency; look at each on its own.
    const ChannelFrame rx = ChannelFrame::encode(channel, receive, QVariant());
    const ChannelFrame tx = ChannelFrame::encode(channel, QVariant(), transmit);
    if (!rx.isValid())
        verdict.problems[ChannelFields::Receive] = rx.errorMessage();
    if (!tx.isValid())
        verdict.problems[ChannelFields::Transmit] = tx.errorMessage();
    return verdict;
}
