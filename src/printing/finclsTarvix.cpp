#include "printing/finclsTarvix.h"

#include "common/comDataBase.h"
#include "common/comUtility.h"
#include "platform/core/Error.h"
#include "platform/core/Format.h"
#include "platform/database/Connection.h"
#include "platform/database/Field.h"
#include "printing/finarpFatBase.h"
#include "startup/SharedState.h"

#include <QImage>
#include <vector>

namespace {

const QString kNote = QStringLiteral("Note");
constexpr int kNoteMax = 1024;

[[noreturn]] void rifiuta(const QString& descrizione)
{
    throw core::Error(31001, descrizione, finclsTarvix::kSorgente);
}

QString testo(const db::Recordset& rs, const QString& colonna)
{
    return NzStr(rs.value(colonna), QString());
}

double numero(const db::Recordset& rs, const QString& colonna)
{
    return NzNum(rs.value(colonna), 0.0);
}

bool vero(const core::Variant& v)
{
    return !v.isEmptyOrNull() && v.toBool();
}

QString nomeTipo(std::int32_t docType)
{
    switch (docType) {
    case 0: return QStringLiteral("Fattura");
    case 1: return QStringLiteral("Nota di Credito");
    default: return QStringLiteral("Pro Forma");
    }
}

QString numeroDocumento(const db::Recordset& rs)
{
    QString numero = core::format(rs.value(QStringLiteral("fatNo")), QStringLiteral("#"));
    const QString serie = testo(rs, QStringLiteral("fatPrefisso"));
    if (!serie.isEmpty())
        numero += QLatin1Char('/') + serie;
    return numero;
}

// Layout bytes as stored: bytes, or the layout's text in a memo written as text.
QByteArray bytesModello(const core::Variant& v)
{
    return v.isBytes() ? v.toBytes() : v.toString().toUtf8();
}

// The values of one document, computed once and copied into each of its print rows.
struct Documento {
    std::vector<std::pair<int, QString>> campi; // print column -> text
    core::Variant fatId;
};


// Puts a document's texts into its print columns, by column name.
struct Riempi {
    Documento& doc;
    const db::Recordset& stampa;
    void operator()(const QString& nome, const QString& valore) const
    {
        doc.campi.emplace_back(stampa.fieldIndex(nome), valore);
    }
};

// What the section's print settings give every document: the heading and
// footer lines (into `intestazioni`) and the logo.
struct Impostazioni {
    std::int32_t tipoLogo = -1;
    QImage logo;
};

Impostazioni leggiImpostazioni(const db::Connection& cn, const QString& sez, std::array<QString, 13>& intestazioni)
{
    db::Recordset rsMod;
    rsMod.open(QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=") + sez, cn, db::CursorType::ForwardOnly,
               db::LockType::ReadOnly);
    if (rsMod.eof())
        rifiuta(QStringLiteral("Mancano le impostazioni di stampa del professionista (intestazione, piede e logo): "
                               "aprire la scheda del professionista e salvarla, poi ripetere la stampa."));
    Impostazioni imp;
    imp.tipoLogo = rsMod.value(QStringLiteral("modFatIntTipo")).isEmptyOrNull()
                       ? -1
                       : rsMod.value(QStringLiteral("modFatIntTipo")).toLong();
    const bool conIntestazione = vero(rsMod.value(QStringLiteral("modFatInt")));
    const bool conPiede = vero(rsMod.value(QStringLiteral("modFatPie")));
    for (auto& t : intestazioni)
        t.clear();
    if (imp.tipoLogo == 2) {
        intestazioni[1] = testo(rsMod, QStringLiteral("modFatInt05"));
        intestazioni[2] = testo(rsMod, QStringLiteral("modFatInt06"));
    }
    for (int i = 0; i < 4 && conIntestazione; ++i)
        intestazioni[3 + i] = testo(rsMod, QStringLiteral("modFatInt0%1").arg(i + 1));
    for (int i = 0; i < 6 && conPiede; ++i)
        intestazioni[7 + i] = testo(rsMod, QStringLiteral("modFatPie0%1").arg(i + 1));
    if (imp.tipoLogo == 1) {
        const core::Variant bytes = rsMod.value(QStringLiteral("modFatIntLogo"));
        if (!bytes.isEmptyOrNull())
            imp.logo = QImage::fromData(bytes.toBytes());
    }
    rsMod.close();
    return imp;
}

// The layout assigned to the section for the kind (the first row decides),
// loaded into a report before any row is written, so a broken layout leaves
// nothing half done.
report::Report caricaModello(const db::Connection& cn, const QString& sez, std::int32_t docType, QByteArray& layout)
{
    db::Recordset rsLay;
    rsLay.open(QStringLiteral("SELECT finRel.*, finData.* FROM finRel INNER JOIN finData ON finRel.fnrfinId = finData.finId ")
                   + QStringLiteral(" WHERE finRel.sezId=") + sez + QStringLiteral(" AND finRel.fnrDocType=")
                   + QString::number(docType),
               cn, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    if (rsLay.eof())
        rifiuta(QStringLiteral("Nessun modello di stampa è associato ai documenti di tipo \"%1\" del professionista: "
                               "associarne uno nella scheda del professionista (Associazione modelli).")
                    .arg(nomeTipo(docType)));
    layout = bytesModello(rsLay.value(QStringLiteral("finLay")));
    const QString nomeModello = testo(rsLay, QStringLiteral("finNome"));
    rsLay.close();
    report::Report rpt = finarpFatBase::Nuovo();
    try {
        rpt.loadLayout(layout);
    } catch (const core::Error& e) {
        rifiuta(QStringLiteral("Il modello di stampa \"%1\" non è leggibile (%2): sceglierne un altro nella scheda del "
                               "professionista.")
                    .arg(nomeModello, e.description()));
    }
    return rpt;
}

// The document's own fields: headings, number, date, client, totals, notes.
// Gives the document's kind (-1 when it has none).
std::int32_t campiTestata(const db::Recordset& rsDoc, const Riempi& metti, const std::array<QString, 13>& intestazioni,
                          const QString& pagamento, const QString& sFmtImporti)
{
    for (int i = 1; i <= 12; ++i)
        metti(QStringLiteral("Intestazione%1").arg(i), intestazioni[i]);
    metti(QStringLiteral("NumDoc"), numeroDocumento(rsDoc));
    metti(QStringLiteral("DataDoc"), core::format(rsDoc.value(QStringLiteral("fatData")), QStringLiteral("Short Date")));
    const core::Variant tipo = rsDoc.value(QStringLiteral("fatTipo"));
    const std::int32_t fatTipo = tipo.isEmptyOrNull() ? -1 : tipo.toLong();
    metti(QStringLiteral("TipoDoc"), fatTipo == 0   ? QStringLiteral("Fattura N\u00B0")
                                     : fatTipo == 1 ? QStringLiteral("Nota di credito N\u00B0")
                                                    : QStringLiteral("Pro Forma"));
    metti(QStringLiteral("DescrizioneDocumento"), testo(rsDoc, QStringLiteral("fatDescrizione")));
    metti(QStringLiteral("Cliente_Nome"), testo(rsDoc, QStringLiteral("cliNome")));
    metti(QStringLiteral("Cliente_Indirizzo"), testo(rsDoc, QStringLiteral("cliIndirizzo")));
    metti(QStringLiteral("Cliente_Localita"),
          (testo(rsDoc, QStringLiteral("cliCAP")) + QLatin1Char(' ') + testo(rsDoc, QStringLiteral("cliLocalita"))
           + QLatin1Char(' ') + testo(rsDoc, QStringLiteral("cliProvincia")))
              .trimmed());
    metti(QStringLiteral("Cliente_PartitaIVA"), testo(rsDoc, QStringLiteral("cliPartitaIva")));
    metti(QStringLiteral("Cliente_CodiceFiscale"), testo(rsDoc, QStringLiteral("cliCodiceFiscale")));
    metti(QStringLiteral("Cliente_Pagamento"), pagamento);
    metti(QStringLiteral("Cliente_BancaAppoggio"), testo(rsDoc, QStringLiteral("cliBancaApp01")));
    metti(QStringLiteral("Cliente_ABI"), testo(rsDoc, QStringLiteral("cliBancaApp03")));
    metti(QStringLiteral("Cliente_CAB"), testo(rsDoc, QStringLiteral("cliBancaApp04")));
    QString intSog;
    if (numero(rsDoc, QStringLiteral("fatTotSoggettivo")) != 0) {
        intSog = testo(rsDoc, QStringLiteral("fatRitPreDesc"));
        if (intSog.isEmpty())
            intSog = QStringLiteral("Soggettivo");
    }
    metti(QStringLiteral("IntSog"), intSog);
    QString intRitAcc;
    if (numero(rsDoc, QStringLiteral("fatTotRitAcc")) != 0) {
        intRitAcc = testo(rsDoc, QStringLiteral("fatRitAccDesc"));
        if (intRitAcc.isEmpty())
            intRitAcc = QStringLiteral("Ritenuta d'acconto");
    }
    metti(QStringLiteral("IntRitAcc"), intRitAcc);
    for (const char* nome : {"TotImporto", "TotSoggettivo", "TotImponibile", "TotImposta", "TotRitAcc", "TotDoc", "TotNetto"}) {
        const QString campo = QString::fromLatin1(nome);
        metti(campo, core::format(rsDoc.value(QStringLiteral("fat") + campo), sFmtImporti));
    }
    metti(kNote, testo(rsDoc, QStringLiteral("fatNote")).left(kNoteMax));
    return fatTipo;
}

// The VAT summary, by code: the same for every line of the document.
void campiIva(const db::Connection& cn, const db::Recordset& rsDoc, std::int32_t fatTipo, const Riempi& metti,
              const QString& sFmtImporti)
{
    const QString fatId = QString::number(metti.doc.fatId.toLong());
    db::Recordset rsIva;
    rsIva.open(QStringLiteral("SELECT FattureIva.*, CodiciIVA.*")
                   + QStringLiteral(" FROM FattureIva INNER JOIN CodiciIVA ON FattureIva.fciCodiceIva = CodiciIVA.cdiCodice")
                   + QStringLiteral(" Where fcifatId = ") + fatId + QStringLiteral(" ORDER BY FattureIva.fciCodiceIva"),
               cn, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    int n = 0;
    for (; !rsIva.eof(); rsIva.moveNext()) {
        if (++n > finclsTarvix::kRigheIva) {
            int totale = n;
            for (rsIva.moveNext(); !rsIva.eof(); rsIva.moveNext())
                ++totale;
            rifiuta(QStringLiteral("Il documento %1 del %2 ha %3 aliquote IVA nel riepilogo, ma il modello di stampa "
                                   "ne può mostrare al massimo %4: la stampa non è stata eseguita.")
                        .arg(numeroDocumento(rsDoc).isEmpty() ? nomeTipo(fatTipo) : numeroDocumento(rsDoc),
                             core::format(rsDoc.value(QStringLiteral("fatData")), QStringLiteral("Short Date")))
                        .arg(totale)
                        .arg(finclsTarvix::kRigheIva));
        }
        const QString s = QString::number(n);
        auto importo = [&](const char* col) {
            return core::format(core::Variant(numero(rsIva, QString::fromLatin1(col))), sFmtImporti);
        };
        metti(QStringLiteral("CIva") + s, testo(rsIva, QStringLiteral("fciCodiceIva")));
        metti(QStringLiteral("DescrizioneIva") + s, testo(rsIva, QStringLiteral("cdiDescrizione")));
        metti(QStringLiteral("Importo") + s, importo("fciImporto"));
        metti(QStringLiteral("Imponibile") + s, importo("fciImponibile"));
        metti(QStringLiteral("Iva") + s, importo("fciImposta"));
        metti(QStringLiteral("RitPre") + s, importo("fciSoggettivo"));
        metti(QStringLiteral("RitAcc") + s, importo("fciRit01"));
        metti(QStringLiteral("Totale") + s, importo("fciTotRiga"));
        metti(QStringLiteral("Netto") + s,
              core::format(core::Variant(numero(rsIva, QStringLiteral("fciTotRiga")) - numero(rsIva, QStringLiteral("fciRit01"))),
                           sFmtImporti));
    }
    rsIva.close();
}

// One print row per detail line, in the order the lines were entered, each
// with a copy of the document's fields.
void righeDettaglio(const db::Connection& cn, const Documento& doc, db::Recordset& rsStampa, const QString& sFmtImporti,
                    const QString& sFmtQuantita)
{
    const QString fatId = QString::number(doc.fatId.toLong());
    db::Recordset rsDet;
    rsDet.open(QStringLiteral("SELECT * FROM FattureDettaglio WHERE fdtfatId=") + fatId + QStringLiteral(" ORDER BY fdtId"),
               cn, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    const int colFatId = rsStampa.fieldIndex(QStringLiteral("fatId"));
    const int colQuantita = rsStampa.fieldIndex(QStringLiteral("Quantita"));
    const int colDescrizione = rsStampa.fieldIndex(QStringLiteral("Descrizione"));
    const int colUnitario = rsStampa.fieldIndex(QStringLiteral("ImportoUnitario"));
    const int colRiga = rsStampa.fieldIndex(QStringLiteral("ImportoRiga"));
    const int colCodIva = rsStampa.fieldIndex(QStringLiteral("CodIVA"));
    for (; !rsDet.eof(); rsDet.moveNext()) {
        rsStampa.addNew();
        rsStampa.setValue(colFatId, doc.fatId);
        for (const auto& [col, valore] : doc.campi)
            rsStampa.setValue(col, core::Variant(valore));
        rsStampa.setValue(colQuantita, core::format(core::Variant(numero(rsDet, QStringLiteral("fdtQuanti"))), sFmtQuantita));
        rsStampa.setValue(colDescrizione, testo(rsDet, QStringLiteral("fdtDescrizione")));
        rsStampa.setValue(colUnitario, core::format(core::Variant(numero(rsDet, QStringLiteral("fdtImporto"))), sFmtImporti));
        rsStampa.setValue(colRiga, core::format(core::Variant(numero(rsDet, QStringLiteral("fdtTotRiga"))), sFmtImporti));
        rsStampa.setValue(colCodIva, testo(rsDet, QStringLiteral("fdtCodiceIVA")));
        rsStampa.update();
    }
    rsDet.close();
}

} // namespace

finclsTarvix::finclsTarvix() : Campi(finclsCampi::Catalogo())
{
    rsStampa.appendField(db::FieldDefinition{QStringLiteral("fatId"), db::DataType::Integer, 0, true});
    // Long text columns: the catalogue length is the defined size the designer
    // and the layouts go by, but a longer stored text still prints whole.
    for (const finclsCampo& campo : Campi)
        rsStampa.appendField(db::FieldDefinition{campo.Nome(), db::DataType::LongVarWChar, campo.Lunghezza(), true});
}

QString finclsTarvix::DescrizionePagamento(const core::Variant& pagId) const
{
    if (pagId.isEmptyOrNull())
        return {};
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Pagamenti WHERE pagId=") + SqlNumber(NzNum(pagId, 0.0)), session().dataConStr,
            db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    QString descrizione;
    if (!rs.eof())
        descrizione = testo(rs, QStringLiteral("pagDescrizione"));
    rs.close();
    return descrizione;
}

report::Report finclsTarvix::Start(std::int32_t sezId, std::int32_t docType, const QString& sConn, const QString& sSQL,
                                   const QString& sFmtImporti, const QString& sFmtQuantita)
{
    db::Connection cn;
    cn.open(sConn, QString(), QString());
    const QString sez = QString::number(sezId);
    const Impostazioni imp = leggiImpostazioni(cn, sez, m_intestazioni);
    report::Report rpt = caricaModello(cn, sez, docType, m_layout);

    rsStampa.openFabricated();
    db::Recordset rsDoc;
    rsDoc.open(sSQL, cn, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    for (; !rsDoc.eof(); rsDoc.moveNext()) {
        Documento doc;
        doc.fatId = rsDoc.value(QStringLiteral("fatid"));
        const Riempi metti{doc, rsStampa};
        const std::int32_t fatTipo = campiTestata(rsDoc, metti, m_intestazioni,
                                                  DescrizionePagamento(rsDoc.value(QStringLiteral("fatCliForPag"))), sFmtImporti);
        campiIva(cn, rsDoc, fatTipo, metti, sFmtImporti);
        righeDettaglio(cn, doc, rsStampa, sFmtImporti, sFmtQuantita);
    }
    rsDoc.close();

    if (rsStampa.recordCount() == 0)
        rifiuta(QStringLiteral("Nessun documento da stampare: il documento non ha righe di dettaglio o non ha un "
                               "cliente."));
    rsStampa.moveFirst();

    finarpFatBase::Apri(rpt, rsStampa);
    if (imp.tipoLogo == 1)
        rpt.setPicture(imp.logo);
    cn.close();
    return rpt;
}
