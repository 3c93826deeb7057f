#include "PlanChecksum.h"

#include "ChannelFrame.h"
#include "ChannelStore.h"
#include "TransferPlan.h"

#include <QCryptographicHash>

#include <functional>

namespace PlanChecksum {

QString sha256(const QByteArray &frames)
{
    return QString::fromLatin1(QCryptographicHash::hash(frames, QCryptographicHash::Sha256).toHex());
}

static QByteArray refuse(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return {};
}

static QByteArray collect(const std::function<const ChannelRow *(int)> &rowAt, QString *error)
{
    QByteArray frames;
    for (int row = 0; row < TransferPlan::rowsSent; ++row) {
        const ChannelRow *values = rowAt(row);
        if (!values)
            break;
        const ChannelFrame frame = ChannelFrame::encode(*values);
        if (!frame.isValid())
            return refuse(error, QStringLiteral("第 %1 行不能传送：%2").arg(row + 1).arg(frame.errorMessage()));
        frames += frame.text().toLatin1();
    }
    if (frames.isEmpty())
        return refuse(error, QStringLiteral("信道表中没有数据。"));
    return frames;
}

QByteArray planFrames(ChannelStore &store, QString *error)
{
    const QByteArray frames = collect([&store](int row) { return store.rowAt(row); }, error);
    // A table read only in part is no plan a load would send.
    if (!frames.isEmpty() && !store.readError().isEmpty())
        return refuse(error, store.readError());
    return frames;
}

QByteArray planFrames(const QVector<QVariantList> &rows, QString *error)
{
    ChannelRow current;
    return collect(
            [&rows, &current](int row) -> const ChannelRow * {
                if (row >= rows.size())
                    return nullptr;
                for (int field = 0; field < ChannelRow::fieldCount; ++field)
                    current.values[field] = rows.at(row).value(field);
                return &current;
            },
            error);
}

} // namespace PlanChecksum
