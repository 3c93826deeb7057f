#include "QtTranslations.h"

#include "KeyNames.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installQtTranslations(QCoreApplication &app)
{
    auto *qt = new QTranslator(&app);
    const bool installed = qt->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
            && QCoreApplication::installTranslator(qt);
    if (!installed)
        delete qt;
    // Installed last, so asked first.
    QCoreApplication::installTranslator(new KeyNames(&app));
    return installed;
}
