#include "output/SceltaFile.h"

#include "common/comRegistry.h"
#include "platform/core/Error.h"
#include "platform/report/Report.h"
#include "platform/ui/Dialogs.h"
#include "startup/SharedState.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kCartellaEsportazioni = QStringLiteral("appset_expdir");

QString ultimaCartella()
{
    QString cartella;
    try {
        cartella = LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ, kCartellaEsportazioni, core::Variant(QString()))
                       .toString();
    } catch (const core::Error&) {
        // Unreadable settings only lose the proposal.
    }
    // A folder gone since (a removed stick, a renamed share) is not proposed.
    if (cartella.isEmpty() || !QFileInfo(cartella).isDir())
        cartella = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(cartella).isDir())
        cartella = QDir::homePath();
    return cartella;
}

void ricordaCartella(const QString& file)
{
    try {
        ScriviRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ, kCartellaEsportazioni,
                       core::Variant(QDir::toNativeSeparators(QFileInfo(file).absolutePath())));
    } catch (const core::Error&) {
        // The export is done; only the next proposal is lost.
    }
}

} // namespace

QString NomeFileDaTitolo(const QString& titolo)
{
    QString nome = titolo;
    nome.replace(QLatin1Char('/'), QLatin1Char('-'));
    nome.replace(QLatin1Char('\\'), QLatin1Char('-'));
    nome.remove(QChar(0));
    nome = nome.trimmed();
    return nome.isEmpty() ? QStringLiteral("Documento") : nome;
}

QString ScegliFileEsportazione(const report::Report& rpt, const QString& estensione, const QString& filtro)
{
    ui::FileDialogOptions opzioni;
    opzioni.defaultExt = estensione;
    opzioni.filter = filtro;
    opzioni.initialDir = ultimaCartella();
    opzioni.fileName = ui::withDefaultExtension(QDir(opzioni.initialDir).filePath(NomeFileDaTitolo(rpt.caption())), estensione);
    const QString file = ui::getSaveFileName(opzioni);
    if (!file.isEmpty())
        ricordaCartella(file);
    return file;
}
