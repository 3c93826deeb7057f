#pragma once

#include <QCryptographicHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class TransferSequence;

// A line per transfer in transfers.log in the user's data folder, so that it
// can be told afterwards which plan went into a radio, and when:
//   time <TAB> channel file <TAB> checksum <TAB> frames sent <TAB> result
// The checksum is the first 8 hexadecimal digits of the SHA-256 of the frames
// as they went out, one after the other: two transfers of the same plan show
// the same checksum ("-" when nothing went out). The window and `--send`
// both keep it.
class TransferJournal : public QObject
{
    Q_OBJECT
public:
    // Follows `sequence`; `file` tells which channel file it is sending.
    TransferJournal(TransferSequence *sequence, std::function<QString()> file, QObject *parent = nullptr);

    static QString path();
    // The journal's lines, newest first; empty when nothing was sent yet.
    static QStringList lines();
    // False with `error` when the line could not be written.
    static bool append(const QString &file, const QByteArray &frames, int count, const QString &result,
                       QString *error = nullptr);

signals:
    // The journal could not be written; the transfer itself is not affected.
    void writeFailed(const QString &message);

private:
    void record(const QString &result);

    std::function<QString()> m_file;
    QByteArray m_frames;
    int m_count = 0;
};
