#include "PortMapping.h"

#include <QSettings>

#include <QDir>
#include <QFileInfo>

namespace {

QString key(int number)
{
    return QStringLiteral("ports/COM%1").arg(number);
}

} // namespace

namespace PortMapping {

QString fromEnvironment(int number)
{
    return QString::fromLocal8Bit(qgetenv(number == 1 ? "QT7020_COM1" : "QT7020_COM2"));
}

QString saved(int number)
{
    return QSettings().value(key(number)).toString();
}

bool isChosen(int number)
{
    return !fromEnvironment(number).isEmpty() || !saved(number).isEmpty();
}

QString deviceFor(int number)
{
    const QString given = fromEnvironment(number);
    if (!given.isEmpty())
        return given;
    const QString chosen = saved(number);
    return chosen.isEmpty() ? QStringLiteral("/dev/ttyS%1").arg(number - 1) : chosen;
}

void save(int number, const QString &device)
{
    QSettings s;
    s.setValue(key(number), stableName(device));
    s.sync();
}

QString resolved(const QString &device)
{
    const QString real = QFileInfo(device).canonicalFilePath();
    return real.isEmpty() ? device : real;
}

QString stableName(const QString &device)
{
    const QString target = resolved(device);
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    return device;
}

bool isOnBoard(const QString &device)
{
    return resolved(device).startsWith(QStringLiteral("/dev/ttyS"));
}

} // namespace PortMapping
