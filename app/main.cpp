#include "CommandLine.h"
#include "DesignFonts.h"
#include "MainWindow.h"
#include "QtSerialLink.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

// Qt's own dialogs (file chooser, print preview, message box buttons) in
// Chinese like the rest of the window, whatever language the desktop speaks.
static void installChineseTranslations(QCoreApplication &app)
{
    auto *qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
}

// The application takes Qt's own options (-platform, -style, …) out of the
// arguments first; ours are parsed from what is left. Without the window the
// program still needs fonts (--pdf) but no screen: it runs offscreen unless
// told otherwise, so a terminal without a display serves.
static std::unique_ptr<QCoreApplication> application(int &argc, char **argv, bool window)
{
    if (window)
        return std::make_unique<QApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
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
    const std::unique_ptr<QCoreApplication> app = application(argc, argv, CommandLine::needsWindow(raw));
    const CommandLine commandLine(QCoreApplication::arguments());
    if (commandLine.finished())
        return commandLine.exitCode();
    if (commandLine.command() != CommandLine::None)
        return commandLine.run();

    installChineseTranslations(*app);
    DesignFonts::installSubstitutes();
    auto *window = new MainWindow(std::make_unique<QtSerialLink>(), commandLine.database());
    window->load();
    return QCoreApplication::exec();
}
