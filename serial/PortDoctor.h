#pragma once

#include "PortFinding.h"
#include "PortHolder.h"

#include <QList>
#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Why a serial device will not do, found without opening it: is the device
// file there and may this user open it (mode, group, the group joined but not
// yet in this login, the udev rule and its uaccess tag), does another program
// hold it, are brltty or ModemManager in the way, is the program in a snap or
// flatpak sandbox, which chip and driver stand behind it. Every file is read
// under `paths.root`, so that a test gives a tree of its own; each finding
// says what to run to fix it.
class PortDoctor
{
public:
    // Whose access counts: the user running the program, unless a test says.
    struct Account
    {
        uint uid = 0;
        QList<uint> groups;   // the groups of this login, not of /etc/group
        QString name;

        static Account current();
    };

    explicit PortDoctor(const SystemPaths &paths = {}, const Account &account = Account::current(),
                        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

    // The USB serial adapters the kernel has, as device paths (/dev/ttyUSB0).
    QStringList adapters() const;
    // True when `device` has a device file, a link to one followed.
    bool exists(const QString &device) const;

    // What is wrong beyond any one device, then about `device` or, when it is
    // empty, about every adapter (none at all is a fault of its own).
    QList<PortFinding> examine(const QString &device = {}) const;
    QList<PortFinding> aboutSystem() const;
    QList<PortFinding> aboutDevice(const QString &device) const;

    static bool allClear(const QList<PortFinding> &findings);

private:
    QString under(const QString &path) const { return m_paths.root + path; }
    QString deviceFile(const QString &device) const;
    // False when no chip or no driver stands behind the device.
    bool checkChip(const QString &device, QList<PortFinding> *findings) const;
    bool opensAsALoadWould(const QString &device, QList<PortFinding> *findings) const;
    void checkAccess(const QString &device, const QStringList &udev, QList<PortFinding> *findings) const;
    void checkHolder(const QString &device, QList<PortFinding> *findings) const;
    void checkUdev(const QString &device, const QStringList &udev, QList<PortFinding> *findings) const;
    QStringList udevRecord(const QString &device) const;
    QString usbIds(const QString &device) const;
    QString installedRule() const;
    qint64 running(const QString &program) const;

    SystemPaths m_paths;
    Account m_account;
    QProcessEnvironment m_environment;
    QMap<qint64, QString> m_processes;   // PID and name of every process
};
