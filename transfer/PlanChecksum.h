#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantList>
#include <QVector>

class ChannelStore;

// One number for one plan: the SHA-256 of the bytes a load sends, its frames
// one after the other. --check, the printed sheet and the journal all show
// it, so a sheet in the service folder can be matched to the load that put
// its channels into a radio.
namespace PlanChecksum {

// 64 lowercase hexadecimal digits.
QString sha256(const QByteArray &frames);

// The frames of the rows a load sends (TransferPlan::rowsSent, fewer when the
// table ends first). Empty, with `error`, when the load would be refused: no
// row at all, a row that cannot be encoded, rows that could not be read.
QByteArray planFrames(ChannelStore &store, QString *error = nullptr);
// The same from rows already read, five fields each, as the sheet has them.
QByteArray planFrames(const QVector<QVariantList> &rows, QString *error = nullptr);

} // namespace PlanChecksum
