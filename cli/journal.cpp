#include "Commands.h"

#include "CommandLine.h"
#include "Csv.h"
#include "ExitCode.h"
#include "JournalReading.h"
#include "JournalSet.h"
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
// detail is a failure's cause (or a damaged line's problem), host the PC.
static void printCsv(const QVector<Entry> &entries)
{
    QString text = Csv::line({ "time", "file", "sha256", "radio", "device", "frames", "bytes", "warnings", "result",
                               "detail", "host" });
    for (const Entry &e : entries) {
        QStringList fields{ e.time.toString(Qt::ISODate), e.file, e.sha256, e.radio, e.device,
                            QString::number(e.framesSent), known(e.bytesDrained), known(e.warnings), e.resultWords(),
                            e.detail, e.host };
        if (!e.isLoad())
            fields = QStringList(8) << e.resultWords() << e.problem << e.host;
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
        return QStringLiteral("%1：%2%3\n\n").arg(e.resultWords(), e.problem,
                                                  e.host.isEmpty() ? QString() : QStringLiteral("\n  电脑：") + e.host);
    QString text = QStringLiteral("%1  %2\n").arg(e.time.toString(Qt::ISODate), e.resultWords());
    if (e.standing == Entry::Standing::Legacy)
        text += QStringLiteral("  旧记录（无校验链）\n");
    if (!e.radio.isEmpty())
        text += QStringLiteral("  电台：%1\n").arg(e.radio);
    text += QStringLiteral("  信道文件：%1\n  设备：%2\n").arg(orDash(e.file), orDash(e.device));
    if (!e.host.isEmpty())
        text += QStringLiteral("  电脑：%1\n").arg(e.host);
    text += QStringLiteral("  校验 SHA-256：%1\n").arg(orDash(e.sha256));
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

// --journal --verify: 0 when every line of every journal is as written, 1
// naming the first that is not in each, 2 when there is no journal to read.
static int verify(const JournalSet &journals)
{
    int status = ExitCode::Ok;
    for (const JournalSet::Source &source : journals.sources()) {
        const QString which = journals.hasOthers() ? source.path + QStringLiteral("：") : QString();
        if (!source.exists && journals.hasOthers() && source.error.isEmpty())
            continue;   // a PC that only gathers the others' journals
        if (!source.error.isEmpty() || !source.exists) {
            Terminal::err(which + (source.exists ? source.error : QStringLiteral("还没有传送记录（%1）。").arg(source.path)));
            status = ExitCode::Unusable;
        } else if (!source.intact) {
            Terminal::err(which + QStringLiteral("传送记录被改动过：") + source.firstProblem);
            status = std::max<int>(status, ExitCode::Failed);
        } else {
            Terminal::out(which + QStringLiteral("传送记录完好：%1 次传送%2，校验链头 %3。")
                                          .arg(source.loads)
                                          .arg(source.legacy ? QStringLiteral("（其中 %1 次是旧记录，无校验链）").arg(source.legacy)
                                                             : QString(),
                                               JournalReading::shortHead(source.head)));
        }
    }
    return status;
}

// The journal as the window shows it, newest first, one block per load;
// with --since only the loads from that day on, with --radio one radio's.
// Journals from other PCs (--from) are read beside this one's, each checked.
int journalCommand(const CommandLine &line)
{
    const JournalSet journals(line.from(), JournalReading::Keep::Summary);
    if (line.verify())
        return verify(journals);
    if (!Terminal::readJournals(journals))
        return ExitCode::Unusable;
    const QVector<Entry> entries = journals.selected(line.since(), line.radio());
    const bool noRadio = !line.radio().isEmpty() && entries.isEmpty();
    if (line.csv())
        printCsv(entries);
    if (noRadio)
        Terminal::err(QStringLiteral("传送记录中没有电台 %1。").arg(line.radio()));
    if (line.csv() || noRadio)
        return noRadio ? ExitCode::Failed : ExitCode::Ok;
    if (entries.isEmpty() && line.since().isValid())
        Terminal::err(QStringLiteral("%1 以来没有传送记录。").arg(line.since().toString(Qt::ISODate)));
    else if (entries.isEmpty())
        Terminal::err(QStringLiteral("还没有传送记录（%1）。").arg(TransferJournal::path()));
    printBlocks(entries);
    if (!entries.isEmpty())
        Terminal::out(QStringLiteral("校验链头：%1").arg(journals.hasOthers() ? journals.heads()
                                                                            : JournalReading::shortHead(journals.heads())));
    return ExitCode::Ok;
}
