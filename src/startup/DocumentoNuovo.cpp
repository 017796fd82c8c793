#include "startup/DocumentoNuovo.h"

#include "common/comRegistry.h"
#include "domain/NeverSaved.h"
#include "platform/core/Error.h"
#include "startup/DatabaseFile.h"
#include "startup/SharedState.h"

#include <QDir>

namespace {

const QString kValoreId = QStringLiteral("docNuovoId");
const QString kValoreDb = QStringLiteral("docNuovoDb");

QString fileCorrente()
{
    return QDir::cleanPath(PercorsoDatabase());
}

void dimentica()
{
    for (const QString& nome : {kValoreId, kValoreDb}) {
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
        // Saved since (it has a client or lines) or gone: only forgotten.
        deleteIfNeverSaved(DataConStr, id);
        dimentica();
    } catch (const core::Error&) {
        // A busy or read-only file: the next start tries again.
    }
}
