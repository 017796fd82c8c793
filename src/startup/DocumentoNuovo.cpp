#include "startup/DocumentoNuovo.h"

#include "common/comRegistry.h"
#include "domain/NeverSaved.h"
#include "platform/core/Error.h"
#include "startup/DatabaseFile.h"
#include "startup/SharedState.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kValoreId = QStringLiteral("docNuovoId");
const QString kValoreDb = QStringLiteral("docNuovoDb");
const QString kValorePid = QStringLiteral("docNuovoPid");

// A second copy of the program on this machine may have that editor open still.
bool processoVivo(std::int32_t pid)
{
    return pid > 0 && pid != static_cast<std::int32_t>(QCoreApplication::applicationPid())
        && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
}

QString fileCorrente()
{
    return QDir::cleanPath(PercorsoDatabase());
}

void dimentica()
{
    for (const QString& nome : {kValoreId, kValoreDb, kValorePid}) {
        comRegistry r;
        r.setClassKey(static_cast<std::int32_t>(static_cast<std::uint32_t>(HKEY_CURRENT_USER)));
        r.setSectionKey(gRegKeySettings);
        r.setValueKey(nome);
        r.DeleteValue();
    }
}

} // namespace

void RicordaDocumentoNuovo(std::int32_t fatId)
{
    // The settings are a help for later, never a reason to refuse the document.
    try {
        ScriviRegistro(HKEY_CURRENT_USER, gRegKeySettings, REG_SZ, kValoreDb, core::Variant(fileCorrente()));
        ScriviRegistro(HKEY_CURRENT_USER, gRegKeySettings, REG_DWORD, kValorePid,
                       core::Variant(static_cast<std::int32_t>(QCoreApplication::applicationPid())));
        ScriviRegistro(HKEY_CURRENT_USER, gRegKeySettings, REG_DWORD, kValoreId, core::Variant(fatId));
    } catch (const core::Error&) {
    }
}

std::int32_t DocumentoNuovoRicordato()
{
    const QString file = LeggiRegistro(HKEY_CURRENT_USER, gRegKeySettings, REG_SZ, kValoreDb, core::Variant(QString())).toString();
    if (file.isEmpty() || QDir::cleanPath(file) != fileCorrente())
        return 0;
    const core::Variant id = LeggiRegistro(HKEY_CURRENT_USER, gRegKeySettings, REG_DWORD, kValoreId, core::Variant(std::int32_t(0)));
    return id.isEmptyOrNull() ? 0 : id.toLong();
}

void DimenticaDocumentoNuovo(std::int32_t fatId)
{
    try {
        if (DocumentoNuovoRicordato() == fatId)
            dimentica();
    } catch (const core::Error&) {
    }
}

void EliminaDocumentoNuovoRimasto()
{
    try {
        const std::int32_t id = DocumentoNuovoRicordato();
        if (id <= 0)
            return;
        const core::Variant pid = LeggiRegistro(HKEY_CURRENT_USER, gRegKeySettings, REG_DWORD, kValorePid, core::Variant(std::int32_t(0)));
        if (!pid.isEmptyOrNull() && processoVivo(pid.toLong()))
            return;
        // Saved since (it has a client or lines) or gone: only forgotten.
        deleteIfNeverSaved(DataConStr, id);
        dimentica();
    } catch (const core::Error&) {
        // A busy or read-only file: the next start tries again.
    }
}
