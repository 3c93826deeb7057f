#pragma once

#include <QObject>
#include <QProcess>
#include "ChannelRow.h"

#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QVector>

// One table of an Access (Jet) file, read by JetTable in a child process.
//
// mdbtools trusts the file: on a damaged one it can spin forever, crash or
// allocate without end. None of that may reach the program, so the reading runs
// in this program started again in its hidden reader mode (`--read-jet`), under a
// time limit and a memory limit. A crash, a hang or output that does not parse
// ends as a damaged-file message naming the cause.
//
// The reader's output is length-checked and every count in it is checked against
// the bytes that follow, so no garbage makes the program allocate or wait.
class JetReader : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultTimeLimitMs = 10000;
    static constexpr qint64 memoryLimit = qint64(1) << 30;
    static constexpr qint64 outputLimit = qint64(256) << 20;

    explicit JetReader(QObject *parent = nullptr);
    ~JetReader() override;

    // The time a reader may take; tests shorten it.
    void setTimeLimit(int ms) { m_timeLimitMs = ms; }

    // Starts the reader; finished() follows, at the latest after the time limit.
    void start(const QString &path, const QString &tableName);
    // Reads and waits, at most the time limit: for the command line and conversion.
    bool read(const QString &path, const QString &tableName);
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

    QString errorString() const { return m_error; }
    QStringList fieldNames() const { return m_fields; }
    QVector<QVariantList> rows() const { return m_rows; }
    // The rows read as channel rows, keyed by their place; false with `error`
    // when the reading failed or `table` has fewer than five fields.
    bool channelRows(const QString &table, QVector<ChannelRow> *rows, QString *error) const;

    // The reader's side: reads the table with JetTable and writes the result to
    // standard output; the process's exit status.
    static int serve(const QString &path, const QString &tableName);

signals:
    void finished(bool ok);

private:
    void collect();
    void timedOut();
    void ended(int exitCode, QProcess::ExitStatus status);
    void conclude(const QString &cause);
    QString parse(const QByteArray &output);

    QProcess m_process;
    QTimer m_limit;
    QByteArray m_output;
    QString m_cause;
    QString m_error;
    QStringList m_fields;
    QVector<QVariantList> m_rows;
    int m_timeLimitMs = defaultTimeLimitMs;
    bool m_done = true;
};
