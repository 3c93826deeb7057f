#include "Commands.h"

#include "CommandLine.h"
#include "Csv.h"
#include "ExitCode.h"
#include "Terminal.h"
#include "TransferJournal.h"

#include <cstdio>

// A count the journal may not have: loads of the first journal were not measured.
static QString known(qint64 value)
{
    return value < 0 ? QString() : QString::number(value);
}

// For spreadsheets and scripts: RFC 4180 with CRLF, UTF-8 whatever the locale.
static void printCsv(const QVector<TransferJournal::Entry> &entries)
{
    QString text = Csv::line({ "time", "file", "sha256", "radio", "device", "frames", "bytes", "warnings", "result" });
    for (const TransferJournal::Entry &e : entries) {
        QStringList fields{ e.time.toString(Qt::ISODate), e.file, e.sha256, e.radio, e.device,
                            QString::number(e.framesSent), known(e.bytesDrained), known(e.warnings),
                            resultText(e.result) };
        for (QString &field : fields)
            field = Csv::field(field);
        text += Csv::line(fields);
    }
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

// The journal as the window shows it, newest first, one block per load;
// with --since only the loads from that day on.
int journalCommand(const CommandLine &line)
{
    const QVector<TransferJournal::Entry> entries = TransferJournal::entries(line.since());
    if (line.csv()) {
        printCsv(entries);
        return ExitCode::Ok;
    }
    if (entries.isEmpty() && line.since().isValid())
        Terminal::err(QStringLiteral("%1 以来没有传送记录。").arg(line.since().toString(Qt::ISODate)));
    else if (entries.isEmpty())
        Terminal::err(QStringLiteral("还没有传送记录（%1）。").arg(TransferJournal::path()));
    const auto orDash = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
    for (const TransferJournal::Entry &e : entries) {
        Terminal::out(QStringLiteral("%1  %2").arg(e.time.toString(Qt::ISODate), resultText(e.result)));
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
    return ExitCode::Ok;
}
