#pragma once

#include <QString>
#include <QStringList>

// qt7020 without a window, for scripts and for loading many radios in a row:
//   --frames                the frames a transfer would send
//   --send DEVICE           a transfer to DEVICE, same frames and pacing
//   --export FILE [--chirp] the table as CSV
//   --import FILE           replace the table from a CSV
//   --convert               an Access char4.mdb into the new format
// each on --db FILE (char4.mdb in the working folder by default).
class CommandLine
{
public:
    explicit CommandLine(const QStringList &arguments);

    // True when an action was asked for; otherwise the window starts (on --db).
    bool hasAction() const { return m_action != None; }
    // Set when the arguments are wrong or only help or the version was asked for.
    bool finished() const { return m_finished; }
    int exitCode() const { return m_exitCode; }
    QString database() const { return m_database; }

    // Runs the action inside a QCoreApplication; returns the exit status.
    int run();

private:
    enum Action { None, Frames, Send, Export, Import, Convert };

    int frames();
    int send();
    int exportTable();
    int importTable();
    int convert();

    Action m_action = None;
    QString m_argument;
    QString m_database;
    bool m_chirp = false;
    bool m_finished = false;
    int m_exitCode = 0;
};
