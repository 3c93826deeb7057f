#include "Commands.h"

#include "CommandLine.h"
#include "Csv.h"
#include "ExitCode.h"
#include "JournalReading.h"
#include "Terminal.h"
#include "TransferJournal.h"

#include <cstdio>

using Entry = TransferJournal::Entry;

// A count the journal may not have: loads of the first journal were not measured.
static QString known(qint64 value)
{
    return value < 0 ? QString() : QString::number(value);
}

// A spreadsheet runs a cell that begins with = + - @ (or a tab or CR before
// them) as a formula: such a field gets the apostrophe that keeps it text.
static QString spreadsheetSafe(const QString &field)
{
    static const QString active = QStringLiteral("=+-@\t\r");
    return !field.isEmpty() && active.contains(field.front()) ? u'\'' + field : field;
}

// For spreadsheets and scripts: RFC 4180 with CRLF, UTF-8 whatever the locale.
static void printCsv(const QVector<Entry> &entries)
{
    QString text = Csv::line({ "time", "file", "sha256", "radio", "device", "frames", "bytes", "warnings", "result" });
    for (const Entry &e : entries) {
        QStringList fields{ e.time.toString(Qt::ISODate), e.file, e.sha256, e.radio, e.device,
                            QString::number(e.framesSent), known(e.bytesDrained), known(e.warnings), e.resultWords() };
        if (!e.isLoad())
            fields = QStringList(fields.size() - 1) << e.resultWords();
        for (QString &field : fields)
            field = Csv::field(spreadsheetSafe(field));
        text += Csv::line(fields);
    }
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

static void printEntry(const Entry &e)
{
    const auto orDash = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
    if (!e.isLoad()) {
        Terminal::out(QStringLiteral("%1：%2\n").arg(e.resultWords(), e.problem));
        return;
    }
    Terminal::out(QStringLiteral("%1  %2").arg(e.time.toString(Qt::ISODate), e.resultWords()));
    if (e.standing == Entry::Standing::Legacy)
        Terminal::out(QStringLiteral("  旧记录（无校验链）"));
    if (!e.radio.isEmpty())
        Terminal::out(QStringLiteral("  电台：") + e.radio);
    Terminal::out(QStringLiteral("  信道文件：") + orDash(e.file));
    Terminal::out(QStringLiteral("  设备：") + orDash(e.device));
    Terminal::out(QStringLiteral("  校验 SHA-256：") + orDash(e.sha256));
    Terminal::out(QStringLiteral("  帧数：%1  字节：%2  警告：%3")
                          .arg(e.framesSent)
                          .arg(orDash(known(e.bytesDrained)), orDash(known(e.warnings))));
    if (!e.detail.isEmpty())
        Terminal::out(QStringLiteral("  说明：") + e.detail);
    Terminal::out(QString());
}

// --journal --verify: 0 when every line is as written, 1 naming the first
// that is not, 2 when there is no journal to read.
static int verify(const JournalReading &journal)
{
    if (!journal.isReadable() || !journal.exists()) {
        Terminal::err(journal.exists() ? journal.error()
                                       : QStringLiteral("还没有传送记录（%1）。").arg(TransferJournal::path()));
        return ExitCode::Unusable;
    }
    if (!journal.isIntact()) {
        Terminal::err(QStringLiteral("传送记录被改动过：") + journal.firstProblem());
        return ExitCode::Failed;
    }
    const int legacy = journal.legacyCount();
    Terminal::out(QStringLiteral("传送记录完好：%1 次传送%2，校验链头 %3。")
                          .arg(journal.loadCount())
                          .arg(legacy ? QStringLiteral("（其中 %1 次是旧记录，无校验链）").arg(legacy) : QString(),
                               JournalReading::shortHead(journal.head())));
    return ExitCode::Ok;
}

// The journal as the window shows it, newest first, one block per load;
// with --since only the loads from that day on.
int journalCommand(const CommandLine &line)
{
    const JournalReading journal;
    if (line.verify())
        return verify(journal);
    if (!journal.isReadable()) {
        Terminal::err(journal.error());
        return ExitCode::Unusable;
    }
    const QVector<Entry> entries = TransferJournal::since(journal.entries(), line.since());
    if (line.csv()) {
        printCsv(entries);
        return ExitCode::Ok;
    }
    if (entries.isEmpty() && line.since().isValid())
        Terminal::err(QStringLiteral("%1 以来没有传送记录。").arg(line.since().toString(Qt::ISODate)));
    else if (entries.isEmpty())
        Terminal::err(QStringLiteral("还没有传送记录（%1）。").arg(TransferJournal::path()));
    for (const Entry &e : entries)
        printEntry(e);
    if (!entries.isEmpty())
        Terminal::out(QStringLiteral("校验链头：%1").arg(JournalReading::shortHead(journal.head())));
    return ExitCode::Ok;
}
