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

// One entry per copy of the program, named by its process id, holding
// "<fatId>|<database file>": two copies on this machine share the settings, and
// neither may take the other's place.
const QString kPrefisso = QStringLiteral("docNuovo:");
// The single entry of earlier releases, still read at start.
const QString kValoreId = QStringLiteral("docNuovoId");
const QString kValoreDb = QStringLiteral("docNuovoDb");
const QString kValorePid = QStringLiteral("docNuovoPid");

std::int32_t questoProcesso()
{
    return static_cast<std::int32_t>(QCoreApplication::applicationPid());
}

// Another copy of the program on this machine may have that editor open still.
bool processoVivo(std::int32_t pid)
{
    return pid > 0 && pid != questoProcesso() && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
}

QString fileCorrente()
{
    return QDir::cleanPath(PercorsoDatabase());
}

comRegistry chiave(const QString& nome = {})
{
    comRegistry r;
    r.setClassKey(static_cast<std::int32_t>(static_cast<std::uint32_t>(HKEY_CURRENT_USER)));
    r.setSectionKey(session().regKeySettings);
    r.setValueKey(nome);
    return r;
}

void cancella(const QString& nome)
{
    chiave(nome).DeleteValue();
}

struct Voce {
    std::int32_t pid = 0;
    std::int32_t fatId = 0;
    QString file;
    bool precedente = false; // the earlier releases' entry
};

// The entries of every copy, the earlier releases' one included.
QVector<Voce> voci()
{
    QVector<Voce> out;
    QStringList nomi;
    std::int32_t quanti = 0;
    if (chiave().EnumerateValues(nomi, quanti)) {
        for (const QString& nome : nomi) {
            if (!nome.startsWith(kPrefisso, Qt::CaseInsensitive))
                continue;
            bool ok = false;
            const std::int32_t pid = nome.mid(kPrefisso.size()).toInt(&ok);
            const QString testo =
                LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ, nome, core::Variant(QString())).toString();
            const std::int32_t fatId = testo.section(QLatin1Char('|'), 0, 0).toInt();
            if (ok && fatId > 0)
                out.push_back({pid, fatId, QDir::cleanPath(testo.section(QLatin1Char('|'), 1)), false});
            else
                cancella(nome); // unreadable: it can name no document
        }
    }
    const QString file = LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ, kValoreDb, core::Variant(QString())).toString();
    const core::Variant id = LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_DWORD, kValoreId, core::Variant(std::int32_t(0)));
    const core::Variant pid = LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_DWORD, kValorePid, core::Variant(std::int32_t(0)));
    if (!file.isEmpty() && !id.isEmptyOrNull() && id.toLong() > 0)
        out.push_back({pid.isEmptyOrNull() ? 0 : pid.toLong(), id.toLong(), QDir::cleanPath(file), true});
    return out;
}

void dimenticaVoce(const Voce& v)
{
    if (!v.precedente) {
        cancella(kPrefisso + QString::number(v.pid));
        return;
    }
    for (const QString& nome : {kValoreId, kValoreDb, kValorePid})
        cancella(nome);
}

} // namespace

void RicordaDocumentoNuovo(std::int32_t fatId)
{
    // The settings are a help for later, never a reason to refuse the document.
    try {
        ScriviRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ, kPrefisso + QString::number(questoProcesso()),
                       core::Variant(QString::number(fatId) + QLatin1Char('|') + fileCorrente()));
    } catch (const core::Error&) {
    }
}

std::int32_t DocumentoNuovoRicordato()
{
    const QString testo = LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ, kPrefisso + QString::number(questoProcesso()),
                                        core::Variant(QString()))
                              .toString();
    if (testo.isEmpty() || QDir::cleanPath(testo.section(QLatin1Char('|'), 1)) != fileCorrente())
        return 0;
    return testo.section(QLatin1Char('|'), 0, 0).toInt();
}

void DimenticaDocumentoNuovo(std::int32_t fatId)
{
    try {
        if (DocumentoNuovoRicordato() == fatId)
            cancella(kPrefisso + QString::number(questoProcesso()));
    } catch (const core::Error&) {
    }
}

void EliminaDocumentoNuovoRimasto()
{
    try {
        for (const Voce& v : voci()) {
            // Another database's document waits for a start on that database.
            if (v.file != fileCorrente() || processoVivo(v.pid))
                continue;
            try {
                // Saved since (it has a client or lines) or gone: only forgotten.
                deleteIfNeverSaved(session().dataConStr, v.fatId);
                dimenticaVoce(v);
            } catch (const core::Error&) {
                // A busy or read-only file: the next start tries again.
            }
        }
    } catch (const core::Error&) {
    }
}
