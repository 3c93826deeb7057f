#include "TransferJournal.h"

#include "SystemCause.h"
#include "TransferSequence.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

TransferJournal::TransferJournal(TransferSequence *sequence, std::function<QString()> file, QObject *parent)
    : QObject(parent)
    , m_file(std::move(file))
{
    connect(sequence, &TransferSequence::frameSent, this, [this](int row, const QString &frame) {
        if (row == 0) {   // a start, or a restart from the first row
            m_frames.clear();
            m_count = 0;
        }
        m_frames += frame.toLatin1();
        ++m_count;
    });
    connect(sequence, &TransferSequence::finished, this, [this] { record(QStringLiteral("完成")); });
    connect(sequence, &TransferSequence::stopped, this,
            [this](const QString &message) { record(QStringLiteral("失败：") + message.section(u'\n', 0, 0)); });
}

void TransferJournal::record(const QString &result)
{
    QString error;
    if (!append(m_file(), m_frames, m_count, result, &error))
        emit writeFailed(error);
    m_frames.clear();
    m_count = 0;
}

QString TransferJournal::path()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/transfers.log");
}

bool TransferJournal::append(const QString &file, const QByteArray &frames, int count, const QString &result,
                             QString *error)
{
    const QString checksum = frames.isEmpty() ? QStringLiteral("-")
                                              : QString::fromLatin1(QCryptographicHash::hash(
                                                      frames, QCryptographicHash::Sha256).toHex().left(8));
    const QString line = QStringList{ QDateTime::currentDateTime().toString(Qt::ISODate),
                                      QFileInfo(file).absoluteFilePath(), checksum, QString::number(count),
                                      QString(result).replace(u'\t', u' ') }
                                 .join(u'\t');
    QDir().mkpath(QFileInfo(path()).absolutePath());
    QFile journal(path());
    if (journal.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)
        && journal.write((line + u'\n').toUtf8()) > 0 && journal.flush())
        return true;
    if (error)
        *error = QStringLiteral("传送记录 %1 不能写入：%2").arg(path(), SystemCause::inChinese(journal.errorString()));
    return false;
}

QStringList TransferJournal::lines()
{
    QFile journal(path());
    if (!journal.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList all = QString::fromUtf8(journal.readAll()).split(u'\n', Qt::SkipEmptyParts);
    std::reverse(all.begin(), all.end());
    return all;
}
