#include "domain/InvoiceFromProForma.h"

#include <type_traits>

#include "domain/Deletion.h"
#include "domain/DocumentStore.h"
#include "platform/core/Error.h"
#include "platform/database/Field.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"

namespace {

constexpr std::int16_t kInvoice = 0;
constexpr std::int16_t kProForma = 2;

QString id(std::int32_t v) { return QString::number(v); }

// The pro forma's header, read on `cn`; refuses a document that is gone or is no pro forma.
db::Recordset readProForma(const db::Connection& cn, std::int32_t proFormaId)
{
    db::Recordset rs;
    rs.setCursorLocation(db::CursorLocation::Client);
    rs.open(QStringLiteral("SELECT * FROM Fatture WHERE fatid=") + id(proFormaId), cn, db::CursorType::Static,
            db::LockType::ReadOnly, db::CommandType::Text);
    if (rs.eof()) {
        rs.close();
        throw core::Error(3021, QStringLiteral("La Pro-Forma non esiste più: è stata eliminata da un altro utente."));
    }
    const core::Variant tipo = rs.value(QStringLiteral("fatTipo"));
    if (tipo.isEmptyOrNull() || tipo.toLong() != kProForma) {
        rs.close();
        throw core::Error(3021, QStringLiteral("Il documento non è una Pro-Forma."));
    }
    return rs;
}

bool invoiced(const db::Recordset& proForma)
{
    const core::Variant v = proForma.value(QStringLiteral("fatPagata"));
    return !v.isEmptyOrNull() && v.toBool();
}

} // namespace

bool proFormaInvoiced(const db::Connection& cn, std::int32_t proFormaId)
{
    db::Recordset rs = readProForma(cn, proFormaId);
    const bool done = invoiced(rs);
    rs.close();
    return done;
}

NewInvoice makeInvoiceFromProForma(db::Connection& cn, std::int32_t proFormaId, std::int32_t sezId, std::int32_t anno,
                                   const QString& prefix, const QDate& date, bool evenIfInvoiced)
{
    db::Transaction tx(cn);
    // Read inside the transaction: what another machine did before is seen, and
    // nothing can change the pro forma until the commit.
    db::Recordset source = readProForma(cn, proFormaId);
    if (invoiced(source) && !evenIfInvoiced) {
        source.close();
        throw core::Error(3021, QStringLiteral("La Pro-Forma è stata trasformata in fattura da un altro utente."));
    }

    NewInvoice made;
    made.number = assignNumber(cn, sezId, anno, prefix);

    db::Recordset header;
    header.setCursorLocation(db::CursorLocation::Client);
    header.open(QStringLiteral("SELECT * FROM Fatture WHERE fatId=0"), cn, db::CursorType::Static,
                db::LockType::Optimistic, db::CommandType::Text);
    header.addNew();
    for (int i = 0; i < source.fieldCount(); ++i) {
        const db::Field f = source.field(i);
        const core::Variant v = f.value();
        if (f.isAutoIncrement() || v.isEmptyOrNull() || header.fieldIndex(f.name()) < 0)
            continue;
        header.setValue(f.name(), v);
    }
    source.close();
    header.setValue(QStringLiteral("fatNo"), core::Variant(made.number));
    header.setValue(QStringLiteral("fatData"), core::Variant(date));
    header.setValue(QStringLiteral("fatTipo"), core::Variant(kInvoice));
    header.setValue(QStringLiteral("fatPrefisso"), core::Variant(prefix));
    if (header.fieldIndex(kSeriesYearColumn) >= 0)
        header.setValue(kSeriesYearColumn, core::Variant(static_cast<std::int16_t>(anno)));
    // A new invoice: signed as an invoice, and not itself turned into anything.
    header.setValue(QStringLiteral("fatTipoMol"), core::Variant(std::int16_t(1)));
    header.setValue(QStringLiteral("fatPagata"), core::Variant(false));
    header.update();
    made.id = header.value(QStringLiteral("fatId")).toLong();
    header.close();

    const QString n = id(made.id);
    const QString p = id(proFormaId);
    cn.execute(QStringLiteral("INSERT INTO FattureDettaglio ( fdtfatId, fdtRiga, fdtQuanti, fdtUM, fdtDescrizione, "
                              "fdtImporto, fdtTotRiga, fdtCodiceIVA, fdtCodice, fdtData, fdtSconto, fdtTotRigaSco ) ")
               + QStringLiteral("SELECT ") + n
               + QStringLiteral(" AS fn, FattureDettaglio.fdtRiga, FattureDettaglio.fdtQuanti, FattureDettaglio.fdtUM, "
                                "FattureDettaglio.fdtDescrizione, FattureDettaglio.fdtImporto, "
                                "FattureDettaglio.fdtTotRiga, FattureDettaglio.fdtCodiceIVA, "
                                "FattureDettaglio.fdtCodice, FattureDettaglio.fdtData, FattureDettaglio.fdtSconto, "
                                "FattureDettaglio.fdtTotRigaSco ")
               + QStringLiteral("FROM FattureDettaglio ") + QStringLiteral("WHERE FattureDettaglio.fdtfatId=") + p);
    cn.execute(QStringLiteral("INSERT INTO FattureIva ( fcifatId, fciCodiceIva, fciImporto, fciSoggettivo, "
                              "fciImponibile, fciImposta, fciTotRiga, fciRit01, fciRit02 ) ")
               + QStringLiteral("SELECT ") + n
               + QStringLiteral(" AS fn, FattureIva.fciCodiceIva, FattureIva.fciImporto, FattureIva.fciSoggettivo, "
                                "FattureIva.fciImponibile, FattureIva.fciImposta, FattureIva.fciTotRiga, "
                                "FattureIva.fciRit01, FattureIva.fciRit02 ")
               + QStringLiteral("FROM FattureIVA ") + QStringLiteral("WHERE FattureIva.fcifatId=") + p);
    cn.execute(QStringLiteral("INSERT INTO Media ( medfatId, medForId, medDescrizione, medImporto, medImportoVersato )")
               + QStringLiteral(" SELECT ") + n
               + QStringLiteral(" AS fn,  Media.medForId, Media.medDescrizione, Media.medImporto, Media.medImportoVersato")
               + QStringLiteral(" From Media WHERE Media.medfatId=") + p);
    cn.execute(QStringLiteral("UPDATE Fatture SET Fatture.fatPagata = True WHERE Fatture.fatId=") + p);
    tx.commit();
    return made;
}

void deleteProForma(db::Connection& cn, std::int32_t proFormaId)
{
    db::Transaction tx(cn);
    deleteDocument(cn, proFormaId);
    tx.commit();
}

namespace {

// Runs `work` on a connection of its own, never leaving it open or in a transaction.
template <typename Work>
auto onOwnConnection(const QString& connectionString, Work work)
{
    db::Connection cn;
    try {
        cn.setCursorLocation(db::CursorLocation::Client);
        cn.open(connectionString);
        if constexpr (std::is_void_v<decltype(work(cn))>) {
            work(cn);
            cn.close();
        } else {
            auto result = work(cn);
            cn.close();
            return result;
        }
    } catch (...) {
        cn.abandon();
        throw;
    }
}

} // namespace

bool proFormaInvoiced(const QString& connectionString, std::int32_t proFormaId)
{
    return onOwnConnection(connectionString, [&](db::Connection& cn) { return proFormaInvoiced(cn, proFormaId); });
}

NewInvoice makeInvoiceFromProForma(const QString& connectionString, std::int32_t proFormaId, std::int32_t sezId,
                                   std::int32_t anno, const QString& prefix, const QDate& date, bool evenIfInvoiced)
{
    return onOwnConnection(connectionString, [&](db::Connection& cn) {
        return makeInvoiceFromProForma(cn, proFormaId, sezId, anno, prefix, date, evenIfInvoiced);
    });
}

void deleteProForma(const QString& connectionString, std::int32_t proFormaId)
{
    onOwnConnection(connectionString, [&](db::Connection& cn) { deleteProForma(cn, proFormaId); });
}
