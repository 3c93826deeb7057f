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

// One load as a block of lines, the blank line after it included.
static QString block(const Entry &e)
{
    const auto orDash = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
    if (!e.isLoad())
        return QStringLiteral("%1：%2\n\n").arg(e.resultWords(), e.problem);
    QString text = QStringLiteral("%1  %2\n").arg(e.time.toString(Qt::ISODate), e.resultWords());
    if (e.standing == Entry::Standing::Legacy)
        text += QStringLiteral("  旧记录（无校验链）\n");
    if (!e.radio.isEmpty())
        text += QStringLiteral("  电台：%1\n").arg(e.radio);
    text += QStringLiteral("  信道文件：%1\n  设备：%2\n  校验 SHA-256：%3\n").arg(orDash(e.file), orDash(e.device), orDash(e.sha256));
    text += QStringLiteral("  帧数：%1  字节：%2  警告：%3\n")
                    .arg(e.framesSent)
                    .arg(orDash(known(e.bytesDrained)), orDash(known(e.warnings)));
    if (!e.detail.isEmpty())
        text += QStringLiteral("  说明：%1\n").arg(e.detail);
    return text + u'\n';
}

// A long journal goes out in large pieces, not a line and a flush at a time.
static void printBlocks(const QVector<Entry> &entries)
{
    QString text;
    for (const Entry &e : entries) {
        text += block(e);
        if (text.size() > 64 * 1024) {
            Terminal::out(text.chopped(1));
            text.clear();
        }
    }
    if (!text.isEmpty())
        Terminal::out(text.chopped(1));
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
    if (line.verify())
        return verify(JournalReading(TransferJournal::path(), JournalReading::Keep::Summary));
    const JournalReading journal(TransferJournal::path(), JournalReading::Keep::Summary);
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
    printBlocks(entries);
    if (!entries.isEmpty())
        Terminal::out(QStringLiteral("校验链头：%1").arg(JournalReading::shortHead(journal.head())));
    return ExitCode::Ok;
}
