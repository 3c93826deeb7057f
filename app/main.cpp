#include "app/Fonts.h"
#include "app/MainWindow.h"
#include "channels/ChannelDatabase.h"
#include "serial/QtSerialLink.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qt7020"));
    QApplication::setApplicationVersion(QStringLiteral(QT7020_VERSION));
    Fonts::installSubstitutes();

    auto *window = new MainWindow(new QtSerialLink, ChannelDatabase::defaultFileName);
    window->load();
    return app.exec();
}
