#include "transfer/RowCheck.h"

#include "transfer/ChannelFrame.h"

RowVerdict checkRow(const ChannelRow &row)
{
    const QVariant &channel = row.values[ChannelFrame::Channel];
    const QVariant &receive = row.values[ChannelFrame::Receive];
    const QVariant &transmit = row.values[ChannelFrame::Transmit];
    RowVerdict verdict;
    const ChannelFrame whole = ChannelFrame::encode(row);
    if (whole.isValid()) {
        verdict.frame = whole.text();
        return verdict;
    }
    if (whole.errorField() == ChannelFrame::Channel) {
        verdict.problems[ChannelFrame::Channel] = whole.errorMessage();
        return verdict;
    }
    // The encoder stops at the first bad frequency; look at each on its own.
    const ChannelFrame rx = ChannelFrame::encode(channel, receive, QVariant());
    const ChannelFrame tx = ChannelFrame::encode(channel, QVariant(), transmit);
    if (!rx.isValid())
        verdict.problems[ChannelFrame::Receive] = rx.errorMessage();
    if (!tx.isValid())
        verdict.problems[ChannelFrame::Transmit] = tx.errorMessage();
    return verdict;
}
