#include "printing/finclsTarvix.h"

#include "common/comDataBase.h"
#include "common/comUtility.h"
#include "platform/core/Error.h"
#include "platform/core/Format.h"
#include "platform/database/Connection.h"
#include "platform/database/Field.h"
#include "printing/finarpFatBase.h"

#include <QHash>
#include <QImage>
#include <QSet>
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
    std::int32_t tipo = -1;
    QString numero, data; // as the refusals name the document
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

// Payment terms by id, each read once however many documents name it.
class Pagamenti {
public:
    explicit Pagamenti(const db::Connection& cn) : m_cn(cn) {}
    QString descrizione(const core::Variant& pagId)
    {
        if (pagId.isEmptyOrNull())
            return {};
        const QString id = SqlNumber(NzNum(pagId, 0.0));
        const auto it = m_noti.constFind(id);
        if (it != m_noti.constEnd())
            return *it;
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Pagamenti WHERE pagId=") + id, m_cn, db::CursorType::ForwardOnly,
                db::LockType::ReadOnly);
        const QString descrizione = rs.eof() ? QString() : testo(rs, QStringLiteral("pagDescrizione"));
        m_noti.insert(id, descrizione);
        return descrizione;
    }

private:
    const db::Connection& m_cn;
    QHash<QString, QString> m_noti;
};

// A document's VAT row or detail line, as printed.
struct RigaIva {
    QString codice, descrizione, importo, imponibile, imposta, soggettivo, ritenuta, totale, netto;
};
struct RigaDettaglio {
    QString quantita, descrizione, unitario, totale, codiceIva;
};

// The printed documents' ids, lowest and highest: the VAT rows and the lines
// are read once for all of them, over that range.
struct Documenti {
    std::vector<Documento> elenco;
    QSet<std::int64_t> ids;
    std::int64_t primo = 0, ultimo = -1;
};

// The documents of the query, in print order, with their own fields filled.
Documenti leggiDocumenti(const db::Connection& cn, const QString& sSQL, const db::Recordset& rsStampa,
                         const std::array<QString, 13>& intestazioni, const QString& sFmtImporti,
                         const report::ProgressHandler& progress)
{
    Documenti docs;
    Pagamenti pagamenti(cn);
    db::Recordset rsDoc;
    rsDoc.open(sSQL, cn, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    for (; !rsDoc.eof(); rsDoc.moveNext()) {
        Documento doc;
        doc.fatId = rsDoc.value(QStringLiteral("fatid"));
        const Riempi metti{doc, rsStampa};
        doc.tipo = campiTestata(rsDoc, metti, intestazioni, pagamenti.descrizione(rsDoc.value(QStringLiteral("fatCliForPag"))),
                                sFmtImporti);
        doc.numero = numeroDocumento(rsDoc);
        doc.data = core::format(rsDoc.value(QStringLiteral("fatData")), QStringLiteral("Short Date"));
        const std::int64_t id = doc.fatId.toInt64();
        docs.primo = docs.ids.isEmpty() ? id : std::min(docs.primo, id);
        docs.ultimo = docs.ids.isEmpty() ? id : std::max(docs.ultimo, id);
        docs.ids.insert(id);
        docs.elenco.push_back(std::move(doc));
        report::reportProgress(progress, {report::Progress::Stage::Paginating, static_cast<int>(docs.elenco.size()), 0, 0});
    }
    return docs;
}

template <typename Riga>
using PerDocumento = QHash<std::int64_t, std::vector<Riga>>;

// The VAT rows of every printed document, by document, each document's rows by code.
PerDocumento<RigaIva> leggiIva(const db::Connection& cn, const Documenti& docs, const QString& sFmtImporti)
{
    PerDocumento<RigaIva> out;
    if (docs.ids.isEmpty())
        return out;
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT FattureIva.*, CodiciIVA.*")
                + QStringLiteral(" FROM FattureIva INNER JOIN CodiciIVA ON FattureIva.fciCodiceIva = CodiciIVA.cdiCodice")
                + QStringLiteral(" WHERE fcifatId BETWEEN %1 AND %2").arg(docs.primo).arg(docs.ultimo)
                + QStringLiteral(" ORDER BY fcifatId, FattureIva.fciCodiceIva"),
            cn, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    const int colFatId = rs.fieldIndex(QStringLiteral("fcifatId"));
    auto importo = [&](double v) { return core::format(core::Variant(v), sFmtImporti); };
    for (; !rs.eof(); rs.moveNext()) {
        const std::int64_t fatId = rs.value(colFatId).toInt64();
        if (!docs.ids.contains(fatId))
            continue;
        RigaIva r;
        r.codice = testo(rs, QStringLiteral("fciCodiceIva"));
        r.descrizione = testo(rs, QStringLiteral("cdiDescrizione"));
        r.importo = importo(numero(rs, QStringLiteral("fciImporto")));
        r.imponibile = importo(numero(rs, QStringLiteral("fciImponibile")));
        r.imposta = importo(numero(rs, QStringLiteral("fciImposta")));
        r.soggettivo = importo(numero(rs, QStringLiteral("fciSoggettivo")));
        r.ritenuta = importo(numero(rs, QStringLiteral("fciRit01")));
        r.totale = importo(numero(rs, QStringLiteral("fciTotRiga")));
        r.netto = importo(numero(rs, QStringLiteral("fciTotRiga")) - numero(rs, QStringLiteral("fciRit01")));
        out[fatId].push_back(std::move(r));
    }
    return out;
}

// The detail lines of every printed document, by document, in the order they were entered.
PerDocumento<RigaDettaglio> leggiRighe(const db::Connection& cn, const Documenti& docs, const QString& sFmtImporti,
                                       const QString& sFmtQuantita)
{
    PerDocumento<RigaDettaglio> out;
    if (docs.ids.isEmpty())
        return out;
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM FattureDettaglio WHERE fdtfatId BETWEEN %1 AND %2 ORDER BY fdtfatId, fdtId")
                .arg(docs.primo)
                .arg(docs.ultimo),
            cn, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    const int colFatId = rs.fieldIndex(QStringLiteral("fdtfatId"));
    for (; !rs.eof(); rs.moveNext()) {
        const std::int64_t fatId = rs.value(colFatId).toInt64();
        if (!docs.ids.contains(fatId))
            continue;
        RigaDettaglio r;
        r.quantita = core::format(core::Variant(numero(rs, QStringLiteral("fdtQuanti"))), sFmtQuantita);
        r.descrizione = testo(rs, QStringLiteral("fdtDescrizione"));
        r.unitario = core::format(core::Variant(numero(rs, QStringLiteral("fdtImporto"))), sFmtImporti);
        r.totale = core::format(core::Variant(numero(rs, QStringLiteral("fdtTotRiga"))), sFmtImporti);
        r.codiceIva = testo(rs, QStringLiteral("fdtCodiceIVA"));
        out[fatId].push_back(std::move(r));
    }
    return out;
}

// The VAT summary, by code: the same for every line of the document.
void campiIva(const Documento& doc, const std::vector<RigaIva>& righe, const Riempi& metti)
{
    if (righe.size() > static_cast<std::size_t>(finclsTarvix::kRigheIva))
        rifiuta(QStringLiteral("Il documento %1 del %2 ha %3 aliquote IVA nel riepilogo, ma il modello di stampa "
                               "ne può mostrare al massimo %4: la stampa non è stata eseguita.")
                    .arg(doc.numero.isEmpty() ? nomeTipo(doc.tipo) : doc.numero, doc.data)
                    .arg(righe.size())
                    .arg(finclsTarvix::kRigheIva));
    int n = 0;
    for (const RigaIva& r : righe) {
        const QString s = QString::number(++n);
        metti(QStringLiteral("CIva") + s, r.codice);
        metti(QStringLiteral("DescrizioneIva") + s, r.descrizione);
        metti(QStringLiteral("Importo") + s, r.importo);
        metti(QStringLiteral("Imponibile") + s, r.imponibile);
        metti(QStringLiteral("Iva") + s, r.imposta);
        metti(QStringLiteral("RitPre") + s, r.soggettivo);
        metti(QStringLiteral("RitAcc") + s, r.ritenuta);
        metti(QStringLiteral("Totale") + s, r.totale);
        metti(QStringLiteral("Netto") + s, r.netto);
    }
}

// One print row per detail line, in the order the lines were entered, each
// with a copy of the document's fields.
void righeDettaglio(const Documento& doc, const std::vector<RigaDettaglio>& righe, db::Recordset& rsStampa)
{
    const int colFatId = rsStampa.fieldIndex(QStringLiteral("fatId"));
    const int colQuantita = rsStampa.fieldIndex(QStringLiteral("Quantita"));
    const int colDescrizione = rsStampa.fieldIndex(QStringLiteral("Descrizione"));
    const int colUnitario = rsStampa.fieldIndex(QStringLiteral("ImportoUnitario"));
    const int colRiga = rsStampa.fieldIndex(QStringLiteral("ImportoRiga"));
    const int colCodIva = rsStampa.fieldIndex(QStringLiteral("CodIVA"));
    for (const RigaDettaglio& r : righe) {
        rsStampa.addNew();
        rsStampa.setValue(colFatId, doc.fatId);
        for (const auto& [col, valore] : doc.campi)
            rsStampa.setValue(col, core::Variant(valore));
        rsStampa.setValue(colQuantita, r.quantita);
        rsStampa.setValue(colDescrizione, r.descrizione);
        rsStampa.setValue(colUnitario, r.unitario);
        rsStampa.setValue(colRiga, r.totale);
        rsStampa.setValue(colCodIva, r.codiceIva);
        rsStampa.update();
    }
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

report::Report finclsTarvix::Start(std::int32_t sezId, std::int32_t docType, const QString& sConn, const QString& sSQL,
                                   const QString& sFmtImporti, const QString& sFmtQuantita,
                                   const report::ProgressHandler& progress)
{
    db::Connection cn;
    cn.open(sConn, QString(), QString());
    const QString sez = QString::number(sezId);
    const Impostazioni imp = leggiImpostazioni(cn, sez, m_intestazioni);
    report::Report rpt = caricaModello(cn, sez, docType, m_layout);

    rsStampa.openFabricated();
    Documenti docs = leggiDocumenti(cn, sSQL, rsStampa, m_intestazioni, sFmtImporti, progress);
    const PerDocumento<RigaIva> iva = leggiIva(cn, docs, sFmtImporti);
    const PerDocumento<RigaDettaglio> righe = leggiRighe(cn, docs, sFmtImporti, sFmtQuantita);
    static const std::vector<RigaIva> nessunaIva;
    static const std::vector<RigaDettaglio> nessunaRiga;
    for (Documento& doc : docs.elenco) {
        const std::int64_t fatId = doc.fatId.toInt64();
        const auto i = iva.constFind(fatId);
        campiIva(doc, i == iva.constEnd() ? nessunaIva : *i, Riempi{doc, rsStampa});
        const auto r = righe.constFind(fatId);
        righeDettaglio(doc, r == righe.constEnd() ? nessunaRiga : *r, rsStampa);
    }

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
