#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

class QCommandLineParser;

// What qt7020 was asked to do on its command line. Without a command the
// window starts, on FILE or --db; with one, it runs without a window:
//   --frames                the frames a transfer would send
//   --send DEVICE [--force] a transfer to DEVICE, same frames and pacing;
//                           a plan with warnings only with --force
//   --export FILE [--chirp] the table as CSV
//   --import FILE           replace the table from a CSV
//   --convert               an Access char4.mdb into the new format
//   --loopback DEVICE       the cable self-test on DEVICE
//   --list-ports            the serial devices and the COM each stands for
//   --check                 every error and warning in the rows sent
//   --pdf OUT               the printed channel sheet as a PDF file
//   --journal [--csv]       the transfer journal, newest first; --radio LABEL
//                           keeps one radio's loads
//   --journal --verify      whether the journal was changed since it was written
//   --doctor [DEVICE]       why DEVICE (or any USB cable) will not do, and the fix
//   --journal --pdf OUT     the loads by radio as a printed report
//   --diff A [FILE]         what a load of A and of FILE put on the wire, compared;
//                           each a channel file, journal:N or radio:LABEL
// each on --db FILE (char4.mdb in the working folder by default); --send
// takes --radio LABEL, --journal --since DATE; --journal and --diff read
// journals copied from other PCs beside this one's with --from FILE.
// Qt's own options (-platform, -style, …) are the application's to take
// before these arguments are parsed.
class CommandLine
{
public:
    enum Command { None, Frames, Send, Export, Import, Convert, LoopbackTest, ListPorts, Check, Pdf, Journal, Doctor,
                   ReadJet, Diff };
    // What these arguments need to run. The window, when there is nothing but
    // FILE, --db and Qt's own options; anything else runs without a display,
    // wrong options too, so that the usage reaches a terminal without one.
    // Printing needs fonts (a Gui application, offscreen), the rest nothing.
    enum class Needs { Window, Fonts, Nothing };
    static Needs needs(const QStringList &arguments);

    explicit CommandLine(const QStringList &arguments);

    // Set when the arguments are wrong or only help or the version was asked
    // for: the program ends with exitCode(), having said what it had to say.
    bool finished() const { return m_finished; }
    int exitCode() const { return m_exitCode; }

    Command command() const { return m_command; }
    QString argument() const { return m_argument; }   // DEVICE or FILE of the command
    QString database() const { return m_database; }
    bool chirp() const { return m_chirp; }
    bool force() const { return m_force; }
    bool csv() const { return m_csv; }
    QString radio() const { return m_radio; }   // --radio LABEL, trimmed
    QStringList from() const { return m_from; } // --from FILE, each time given
    QDate since() const { return m_since; }     // --since DATE; invalid when not given
    bool verify() const { return m_verify; }    // --journal --verify

    // Runs the command inside a QCoreApplication; returns the exit status.
    int run() const;

private:
    void parse(const QStringList &arguments);
    void checkModifiers(const QCommandLineParser &parser);
    void takeFleetOptions(const QCommandLineParser &parser);
    void stop(int code, const QString &text, bool toError);

    Command m_command = None;
    QString m_argument;
    QString m_database;
    bool m_chirp = false;
    bool m_force = false;
    bool m_csv = false;
    QString m_radio;
    QStringList m_from;
    QDate m_since;
    bool m_verify = false;
    bool m_finished = false;
    int m_exitCode = 0;
};
