#include "CommandLine.h"
#include "DesignFonts.h"
#include "MainWindow.h"
#include "QtSerialLink.h"
#include "QtTranslations.h"

#include <QApplication>
#include <memory>

// The application takes Qt's own options (-platform, -style, …) out of the
// arguments first; ours are parsed from what is left. Printing needs fonts but
// no screen: it runs offscreen unless told otherwise, so a terminal without a
// display serves.
static std::unique_ptr<QCoreApplication> application(int &argc, char **argv, CommandLine::Needs needs)
{
    switch (needs) {
    case CommandLine::Needs::Window:
        return std::make_unique<QApplication>(argc, argv);
    case CommandLine::Needs::Fonts:
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    case CommandLine::Needs::Nothing:
        break;
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

int main(int argc, char *argv[])
{
    // One name for both front ends: the settings and the transfer journal are shared.
    QCoreApplication::setOrganizationName(QStringLiteral("qt7020"));
    QCoreApplication::setApplicationName(QStringLiteral("qt7020"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QT7020_VERSION));

    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const std::unique_ptr<QCoreApplication> app = application(argc, argv, CommandLine::needs(raw));
    const CommandLine commandLine(QCoreApplication::arguments());
    if (commandLine.finished())
        return commandLine.exitCode();
    if (commandLine.command() != CommandLine::None)
        return commandLine.run();

    installQtTranslations(*app);
    DesignFonts::installSubstitutes();
    auto *window = new MainWindow(std::make_unique<QtSerialLink>(), commandLine.database());
    window->load();
    return QCoreApplication::exec();
}
