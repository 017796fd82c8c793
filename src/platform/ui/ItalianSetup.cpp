#include "platform/ui/ItalianSetup.h"

#include "platform/ui/ApplicationHabits.h"

#include <QApplication>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QString>
#include <QTranslator>

namespace ui {

namespace {
const char* const kTranslatorName = "corvessa_qtbase_it";
}

bool setupItalian(QCoreApplication& app)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QLocale::setDefault(italian);
    if (auto* widgets = qobject_cast<QApplication*>(&app))
        installApplicationHabits(*widgets);

    if (app.findChild<QTranslator*>(QLatin1String(kTranslatorName), Qt::FindDirectChildrenOnly))
        return true;
    auto* translator = new QTranslator(&app);
    translator->setObjectName(QLatin1String(kTranslatorName));
    if (!translator->load(italian, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    app.installTranslator(translator);
    return true;
}

} // namespace ui
