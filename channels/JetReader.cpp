#include "JetReader.h"

#include "JetTable.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>

#include <cstdio>
#include <sys/resource.h>

namespace {

const quint32 magic = 0x4a455431;   // "JET1"
const QDataStream::Version streamVersion = QDataStream::Qt_6_4;
const quint32 maxFields = 255;      // Jet's own limit of columns in a table

enum Tag : quint8 { Null, Int, LongLong, Double, Text, TagCount };

void writeValue(QDataStream &out, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType: out << quint8(Null); break;
    case QMetaType::Int: out << quint8(Int) << qint32(value.toInt()); break;
    case QMetaType::LongLong: out << quint8(LongLong) << value.toLongLong(); break;
    case QMetaType::Double: out << quint8(Double) << value.toDouble(); break;
    default: out << quint8(Text) << value.toString(); break;
    }
}

bool readValue(QDataStream &in, QVariant *value)
{
    quint8 tag = TagCount;
    in >> tag;
    switch (tag) {
    case Null: *value = QVariant(); break;
    case Int: { qint32 i; in >> i; *value = i; break; }
    case LongLong: { qint64 i; in >> i; *value = qlonglong(i); break; }
    case Double: { double d; in >> d; *value = d; break; }
    case Text: { QString s; in >> s; *value = s; break; }
    default: return false;
    }
    return in.status() == QDataStream::Ok;
}

// The program that reads: this one, unless QT7020_JET_READER names another
// command (tests run readers that hang or crash, and the qt7020 binary from
// their own executables).
QStringList readerCommand()
{
    const QString named = qEnvironmentVariable("QT7020_JET_READER");
    if (!named.isEmpty())
        return QProcess::splitCommand(named);
    return { QCoreApplication::applicationFilePath() };
}

} // namespace

JetReader::JetReader(QObject *parent)
    : QObject(parent)
{
    m_limit.setSingleShot(true);
    m_limit.setTimerType(Qt::PreciseTimer);   // a coarse timer may fire 5 % early
    connect(&m_limit, &QTimer::timeout, this, &JetReader::timedOut);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &JetReader::collect);
    connect(&m_process, &QProcess::finished, this, &JetReader::ended);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            conclude(QStringLiteral("无法启动读取程序：%1").arg(m_process.errorString()));
    });
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.setStandardInputFile(QProcess::nullDevice());
#if defined(__SANITIZE_ADDRESS__)
    // What a reader leaks ends with it; an instrumented build must not turn that
    // into a failed reading.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       environment.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
    m_process.setProcessEnvironment(environment);
#endif
    m_process.setChildProcessModifier([] {
#if !defined(__SANITIZE_ADDRESS__)
        // AddressSanitizer reserves terabytes of address space; a limit would
        // keep an instrumented reader from starting at all.
        const rlimit limit { rlim_t(memoryLimit), rlim_t(memoryLimit) };
        setrlimit(RLIMIT_AS, &limit);
#endif
        const rlimit noCore { 0, 0 };
        setrlimit(RLIMIT_CORE, &noCore);
    });
}

JetReader::~JetReader()
{
    m_process.disconnect(this);
    if (isRunning()) {
        m_process.kill();
        m_process.waitForFinished(1000);
    }
}

void JetReader::start(const QString &path, const QString &tableName)
{
    m_output.clear();
    m_cause.clear();
    m_error.clear();
    m_fields.clear();
    m_rows.clear();
    m_done = false;
    QStringList command = readerCommand();
    const QString program = command.takeFirst();
    m_limit.start(m_timeLimitMs);
    m_process.start(program, command << QStringLiteral("--db") << path << QStringLiteral("--read-jet") << tableName);
}

bool JetReader::read(const QString &path, const QString &tableName)
{
    start(path, tableName);
    if (!m_done && !m_process.waitForFinished(m_timeLimitMs))
        timedOut();
    if (!m_done)
        m_process.waitForFinished(1000);
    if (!m_done)   // not even SIGKILL ended it; leave it to the destructor
        conclude(m_cause);
    return m_error.isEmpty();
}

void JetReader::collect()
{
    m_output += m_process.readAllStandardOutput();
    if (m_output.size() > outputLimit && m_cause.isEmpty()) {
        m_cause = QStringLiteral("读取结果超过 %1 MB").arg(outputLimit >> 20);
        m_process.kill();
    }
}

void JetReader::timedOut()
{
    if (m_done || !m_cause.isEmpty())
        return;
    m_cause = QStringLiteral("读取超过 %1 秒仍未结束").arg(m_timeLimitMs / 1000.0);
    m_process.kill();
}

void JetReader::ended(int exitCode, QProcess::ExitStatus status)
{
    collect();
    if (!m_cause.isEmpty())
        conclude(m_cause);
    else if (status == QProcess::CrashExit)
        conclude(QStringLiteral("读取程序异常终止，信号 %1").arg(exitCode));
    else if (exitCode != 0)
        conclude(QStringLiteral("读取程序出错退出，代码 %1").arg(exitCode));
    else
        conclude(parse(m_output));
}

void JetReader::conclude(const QString &cause)
{
    if (m_done)
        return;
    m_done = true;
    m_limit.stop();
    m_output.clear();
    if (!cause.isEmpty()) {
        m_error = QStringLiteral("文件已损坏（%1）").arg(cause);
        m_fields.clear();
        m_rows.clear();
    }
    emit finished(m_error.isEmpty());
}

QString JetReader::parse(const QByteArray &output)
{
    const QString nonsense = QStringLiteral("读取结果无法识别");
    QDataStream outer(output);
    outer.setVersion(streamVersion);
    QByteArray payload;
    outer >> payload;
    if (outer.status() != QDataStream::Ok || !outer.atEnd())
        return nonsense;

    QDataStream in(payload);
    in.setVersion(streamVersion);
    quint32 head = 0, fieldCount = 0, rowCount = 0;
    quint8 ok = 0;
    QString error;
    in >> head >> ok >> error >> fieldCount;
    if (in.status() != QDataStream::Ok || head != magic || ok > 1 || fieldCount > maxFields)
        return nonsense;
    QStringList fields;
    for (quint32 i = 0; i < fieldCount && in.status() == QDataStream::Ok; ++i) {
        QString name;
        in >> name;
        fields << name;
    }
    in >> rowCount;
    // Every value takes at least its tag byte: a count beyond that is a lie.
    if (in.status() != QDataStream::Ok || quint64(rowCount) * qMax(fieldCount, 1u) > quint64(payload.size()))
        return nonsense;
    QVector<QVariantList> rows;
    rows.reserve(int(rowCount));
    for (quint32 r = 0; r < rowCount; ++r) {
        QVariantList row;
        for (quint32 i = 0; i < fieldCount; ++i) {
            QVariant value;
            if (!readValue(in, &value))
                return nonsense;
            row << value;
        }
        rows << row;
    }
    if (!in.atEnd() || (ok && !error.isEmpty()) || (!ok && error.isEmpty()))
        return nonsense;
    m_error = error;
    m_fields = fields;
    m_rows = rows;
    return QString();
}

int JetReader::serve(const QString &path, const QString &tableName)
{
    JetTable jet;
    const bool ok = jet.read(path, tableName);
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    out << magic << quint8(ok) << (ok ? QString() : jet.errorString()) << quint32(jet.fieldNames().size());
    for (const QString &name : jet.fieldNames())
        out << name;
    const QVector<QVariantList> rows = jet.rows();
    out << quint32(rows.size());
    for (const QVariantList &row : rows)
        for (int i = 0; i < jet.fieldNames().size(); ++i)
            writeValue(out, row.value(i));

    QFile standardOutput;
    if (!standardOutput.open(stdout, QIODevice::WriteOnly))
        return 1;
    QDataStream framed(&standardOutput);
    framed.setVersion(streamVersion);
    framed << payload;
    return standardOutput.flush() ? 0 : 1;
}

bool JetReader::channelRows(const QString &table, QVector<ChannelRow> *rows, QString *error) const
{
    if (!m_error.isEmpty()) {
        *error = m_error;
        return false;
    }
    if (m_fields.size() < ChannelRow::fieldCount) {
        *error = QStringLiteral("%1的字段少于五个").arg(table);
        return false;
    }
    rows->reserve(m_rows.size());
    for (const QVariantList &values : m_rows) {
        ChannelRow row;
        row.key = rows->size();
        for (int i = 0; i < ChannelRow::fieldCount; ++i)
            row.values[i] = values.at(i);
        rows->append(row);
    }
    return true;
}
