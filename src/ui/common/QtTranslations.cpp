#include "ui/common/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace korvan::ui {

bool installItalianQtTranslations(QCoreApplication& application)
{
    // "qt_it" gathers the catalogues of the Qt modules (qtbase_it and the
    // others) from the same folder.
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qt_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace korvan::ui
