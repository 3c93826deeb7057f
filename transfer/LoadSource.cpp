#include "LoadSource.h"

#include "ChannelStore.h"
#include "BandProfiles.h"
#include "LoadPlan.h"
#include "TransferJournal.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>

static const QString journalPrefix = QStringLiteral("journal:");
static const QString radioPrefix = QStringLiteral("radio:");

LoadSource::LoadSource(const QString &which, const QVector<TransferJournal::Entry> *journal)
    : m_label(which)
{
    if (!which.startsWith(journalPrefix) && !which.startsWith(radioPrefix)) {
        readFile(which);
        return;
    }
    const QVector<TransferJournal::Entry> entries = journal ? *journal : TransferJournal::entries();
    if (which.startsWith(journalPrefix))
        readJournal(which, entries);
    else
        readRadio(which.mid(radioPrefix.size()).trimmed(), entries);
}

void LoadSource::readJournal(const QString &which, const QVector<TransferJournal::Entry> &entries)
{
    bool number = false;
    const int n = which.mid(journalPrefix.size()).toInt(&number);
    if (!number || n < 1) {
        m_error = QStringLiteral("%1 不是传送记录的序号：journal:1 是最近一次传送，journal:2 是上一次。").arg(which);
        return;
    }
    if (n > entries.size()) {
        m_error = QStringLiteral("传送记录中只有 %1 次传送，没有 %2。").arg(entries.size()).arg(which);
        return;
    }
    readEntry(entries.at(n - 1));
}

// Loads that never reached the line (refused, or failed at their first
// frame) changed nothing in the radio; a damaged or unfinished record may
// have, so it is not stepped over.
void LoadSource::readRadio(const QString &label, const QVector<TransferJournal::Entry> &entries)
{
    for (int i = 0; i < entries.size(); ++i) {
        const TransferJournal::Entry &entry = entries.at(i);
        if (entry.radio != label || (entry.standing == TransferJournal::Entry::Standing::Sound && entry.framesSent == 0))
            continue;
        m_label = journalPrefix + QString::number(i + 1);
        readEntry(entry);
        return;
    }
    m_error = label.isEmpty() ? QStringLiteral("radio: 后面应写电台，如 radio:巡逻01。")
                              : QStringLiteral("传送记录中没有电台 %1 收到帧的传送。").arg(label);
}

LoadSource::LoadSource(const TransferJournal::Entry &entry, int number)
    : m_label(journalPrefix + QString::number(number))
{
    readEntry(entry);
}

void LoadSource::readEntry(const TransferJournal::Entry &entry)
{
    QStringList about;
    if (!entry.radio.isEmpty())
        about << entry.radio;
    about << entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!entry.host.isEmpty() && entry.host != QSysInfo::machineHostName())
        about << entry.host;
    m_label = QStringLiteral("%1（%2）").arg(m_label, about.join(u'，'));
    // A record that was changed proves nothing, and an unfinished one does
    // not say how much of the load reached the radio.
    if (entry.standing == TransferJournal::Entry::Standing::Damaged) {
        m_error = QStringLiteral("%1是%2，不能比较：%3。").arg(m_label, entry.resultWords(), entry.problem);
        return;
    }
    if (entry.standing == TransferJournal::Entry::Standing::Incomplete) {
        m_error = QStringLiteral("%1的记录不完整，不知道电台收到了多少帧，不能比较。").arg(m_label);
        return;
    }
    // Lines of the first journal, and loads refused before they started, keep no frames.
    if (entry.frames.isEmpty()) {
        m_error = QStringLiteral("%1没有记下发送的帧，不能比较。").arg(m_label);
        return;
    }
    static const QRegularExpression wellFormed(QStringLiteral("^([0-9A-F]{16})+$"));
    if (!wellFormed.match(QString::fromLatin1(entry.frames)).hasMatch() || entry.framesSent * 16 > entry.frames.size()) {
        m_error = QStringLiteral("%1记下的帧已损坏，不能比较。").arg(m_label);
        return;
    }
    // A load broken off put only its first frames on the wire.
    m_frames = entry.frames.left(16 * qMax(0, entry.framesSent));
}

void LoadSource::readFile(const QString &path)
{
    ChannelStore store;
    if (!store.open(path)) {
        m_error = QStringLiteral("信道文件 %1 不能使用：%2。").arg(QFileInfo(path).absoluteFilePath(), store.errorString());
        return;
    }
    // The bytes alone are compared: no band plan changes them.
    const LoadPlan plan = LoadPlan::of(store, BandProfiles::none());
    m_frames = plan.bytes();
    if (!plan.isSendable())
        m_error = QStringLiteral("信道文件 %1 不能传送：%2").arg(QFileInfo(path).absoluteFilePath(), plan.refusal());
}
