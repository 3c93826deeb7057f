#include "Terminal.h"

#include "BandProfiles.h"
#include "ChannelStore.h"
#include "ExitCode.h"
#include "JournalSet.h"
#include "SystemCause.h"

#include <QFileInfo>
#include <cstdio>

namespace Terminal {

void out(const QString &text)
{
    std::fputs(qPrintable(text + u'\n'), stdout);
    std::fflush(stdout);
}

// Whatever a command says went wrong, the system's causes within it are said
// in Chinese, as the sentence around them is in every locale: a QFile or a
// QSerialPort quotes strerror() in English.
void err(const QString &text)
{
    std::fputs(qPrintable(SystemCause::withinText(text) + u'\n'), stderr);
}

bool openTable(ChannelStore &store, const QString &path)
{
    if (store.open(path))
        return true;
    err(QStringLiteral("信道文件 %1 不能使用：%2。").arg(QFileInfo(path).absoluteFilePath(), store.errorString()));
    return false;
}

bool readJournals(const JournalSet &journals)
{
    if (!journals.error().isEmpty()) {
        err(journals.error());
        return false;
    }
    for (const QString &damage : journals.damage())
        err(damage);
    return true;
}

const BandProfile &band()
{
    static const BandProfile chosen = [] {
        QString notice;
        const BandProfile saved = BandProfiles::saved(&notice);
        if (!notice.isEmpty())
            err(notice);
        return saved;
    }();
    return chosen;
}

int report(const ChannelExchange::Outcome &outcome)
{
    outcome.ok ? out(outcome.message) : err(outcome.message);
    return outcome.ok ? ExitCode::Ok : ExitCode::Failed;
}

} // namespace Terminal
