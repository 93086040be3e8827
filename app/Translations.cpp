#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void InstallQtTranslations(QCoreApplication& app) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    // qtbase holds the widgets' texts; qt_ja, where it is installed, gathers the other modules.
    for (const QString& name : {QStringLiteral("qtbase"), QStringLiteral("qt")}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(japanese, name, QStringLiteral("_"), folder))
            app.installTranslator(translator);
        else
            delete translator;
    }
}
