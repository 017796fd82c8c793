#include "common/frmForFolders.h"

#include "common/comRegistry.h"
#include "platform/core/Error.h"
#include "platform/ui/Dialogs.h"

#include <QDir>

void frmForFolders::Apri(const QString& regKeySettings, const QString& titoloApp)
{
    const QString cartella = SfogliaCartella(QStringLiteral("Selezionare la cartella contenente un Database esistente")
                                             + QLatin1Char('\n') + QStringLiteral("o la cartella nella quale creare un nuovo Database."));
    if (cartella.isEmpty())
        return;
    try {
        ScriviRegistro(HKEY_CURRENT_USER, regKeySettings, REG_SZ, QStringLiteral("appset_curdb"), core::Variant(cartella));
    } catch (const core::Error& e) {
        // Success is reported only once the setting is really stored.
        ui::msgBox(QStringLiteral("Impossibile salvare la cartella scelta.") + QLatin1Char('\n') + e.text(), ui::vbCritical,
                   titoloApp);
        return;
    }
    ui::msgBox(QStringLiteral("Operazione eseguita con successo.") + QLatin1Char('\n') + QStringLiteral("Riavviare il programma."),
               ui::vbOKOnly, titoloApp);
}

QString frmForFolders::SfogliaCartella(const QString& titolo)
{
    QString path = ui::browseForFolder(titolo);
    if (path.isEmpty())
        return {};
    path = QDir::cleanPath(path);
    // One trailing separator goes, so a root stays reachable as the parent of the file name.
    if (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    return path;
}
