#include "platform/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallQtTranslations(const QString& language)
{
    // Lives as long as the application: the installed translator must outlast every window.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_") + language,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
