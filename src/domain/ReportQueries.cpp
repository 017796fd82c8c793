#include "domain/ReportQueries.h"

#include "common/comDataBase.h"
#include "common/comUtility.h"
#include "platform/database/Recordset.h"

namespace {

QString numero(std::int32_t n)
{
    return QString::number(n);
}

QString filtroCliente(const FiltriReport& f)
{
    return f.cliente ? QStringLiteral(" AND cliId=") + numero(*f.cliente) : QString();
}

QString filtroDate(const FiltriReport& f)
{
    return QStringLiteral("(fatData Between ") + SqlData(f.dal) + QStringLiteral(" And ") + SqlData(f.al)
           + QStringLiteral(")");
}

// The client caption of the collections list, used alike in SELECT, GROUP BY and ORDER BY.
// The client form stores '' for a box left empty: it reads as missing, as Null does
// ("& ''" turns Null into '').
const QString kCliente = QStringLiteral(
    "[cliNome] & IIf([cliLocalita] & ''='','',' [' & [cliLocalita] & ']') & IIf([cliTelefono] & ''='','',' - tel.: ' & "
    "[cliTelefono])");

} // namespace

QString SqlDocumenti(const FiltriReport& f)
{
    return QStringLiteral("SELECT Fatture.*, CliFor.*, Pagamenti.* FROM (Fatture INNER JOIN CliFor ON Fatture.fatCliForId = CliFor.cliId)")
           + QStringLiteral(" LEFT JOIN Pagamenti ON Fatture.fatCliForPag = Pagamenti.pagId") + QStringLiteral(" WHERE ")
           + filtroDate(f) + QStringLiteral(" AND (fatTipo=") + numero(f.tipoDocumento)
           + QStringLiteral(") AND Fatture.sezId=") + numero(f.sezId) + filtroCliente(f)
           + QStringLiteral(" ORDER BY fatData, fatNo");
}

QString SqlTotaliCliente(const FiltriReport& f)
{
    return QStringLiteral("SELECT CliFor.cliNome, CliFor.cliCodiceFiscale, CliFor.cliPartitaIVA, FattureIva.fciCodiceIva, "
                          "CodiciIVA.cdiDescrizione, ")
           + QStringLiteral("Sum(FattureIva.fciImporto) AS SommaDifciImporto, Sum(FattureIva.fciSoggettivo) AS "
                            "SommaDifciSoggettivo, Sum(FattureIva.fciImponibile) AS SommaDifciImponibile, "
                            "Sum(FattureIva.fciImposta) AS SommaDifciImposta, Sum(FattureIva.fciTotRiga) AS "
                            "SommaDifciTotRiga, Sum(FattureIva.fciRit01) AS SommaDifciRit01 ")
           + QStringLiteral(" FROM ((Fatture INNER JOIN FattureIva ON Fatture.fatId = FattureIva.fcifatId) INNER JOIN CliFor "
                            "ON Fatture.fatCliForId = CliFor.cliId) INNER JOIN CodiciIVA ON FattureIva.fciCodiceIva = "
                            "CodiciIVA.cdiCodice")
           + QStringLiteral(" WHERE ") + filtroDate(f) + QStringLiteral(" AND (fatTipo=") + numero(f.tipoDocumento)
           + QStringLiteral(") AND Fatture.sezId=") + numero(f.sezId) + filtroCliente(f)
           + QStringLiteral(" GROUP BY CliFor.cliNome, CliFor.cliCodiceFiscale, CliFor.cliPartitaIVA, "
                            "FattureIva.fciCodiceIva, CodiciIVA.cdiDescrizione")
           + QStringLiteral(" ORDER BY CliFor.cliNome, FattureIva.fciCodiceIva");
}

QString SqlListinoPrestazioni(const FiltriReport& f)
{
    const QString s = numero(f.sezId);
    QString condizione;
    if (f.prestazioniSenzaCliente && !f.cliente)
        condizione = QStringLiteral("Prestazioni.sezId=") + s;
    else if (f.prestazioniSenzaCliente)
        condizione = QStringLiteral("(((Prestazioni.sezId)=") + s + QStringLiteral(") AND ((CliFor.cliId) Is Null)) OR (((Prestazioni.sezId)=")
                     + s + QStringLiteral(") AND ((CliFor.cliId)=") + numero(*f.cliente) + QStringLiteral("))");
    else if (!f.cliente)
        condizione = QStringLiteral("(((Prestazioni.sezId)=") + s + QStringLiteral(") AND (Not (CliFor.cliId) Is Null))");
    else
        condizione = QStringLiteral("(((Prestazioni.sezId)=") + s + QStringLiteral(") AND ((CliFor.cliId)=") + numero(*f.cliente)
                     + QStringLiteral("))");
    return QStringLiteral("SELECT CliFor.cliNome, Prestazioni.preDescrizione, Prestazioni.preCodiceIVA, Prestazioni.preImporto")
           + QStringLiteral(" FROM Prestazioni LEFT JOIN CliFor ON Prestazioni.preCliId = CliFor.cliId") + QStringLiteral(" WHERE ")
           + condizione + QStringLiteral(" ORDER BY CliFor.cliNome, Prestazioni.preDescrizione");
}

QString SqlRubricaClienti(std::int32_t sezId)
{
    return QStringLiteral("SELECT * From CliFor") + QStringLiteral(" WHERE (sezId=") + numero(sezId)
           + QStringLiteral(" OR cliShared=TRUE)") + QStringLiteral("ORDER BY cliNome");
}

QString SqlIncassi(const FiltriReport& f)
{
    const QString nonSaldate =
        f.soloNonSaldate
            ? QStringLiteral(" AND  ((IIf(IsNull(Sum([incImporto])),[fatTotNetto],[fatTotNetto]-Sum([incImporto])))>0)")
            : QString();
    return QStringLiteral("SELECT ") + kCliente
           + QStringLiteral(" AS Cliente, Fatture.fatData AS Data, [fatNo] & [fatPrefisso] AS Numero, Pagamenti.pagDescrizione "
                            "AS Descrizione, Fatture.fatTotNetto AS [Netto dovuto], Sum(IIf(IsNull([incImporto]),0,[incImporto])) "
                            "AS Incassato, IIf(IsNull(Sum([incImporto])),[fatTotNetto],[fatTotNetto]-Sum([incImporto])) AS [Da "
                            "incassare], CliFor.cliId")
           + QStringLiteral(" FROM (Incassi RIGHT JOIN (Fatture INNER JOIN CliFor ON Fatture.fatCliForId = CliFor.cliId) ON "
                            "Incassi.incFatId = Fatture.fatId) LEFT JOIN Pagamenti ON Fatture.fatCliForPag = Pagamenti.pagId")
           + QStringLiteral(" WHERE Fatture.FatTipo=0 AND Fatture.sezId=") + numero(f.sezId) + QStringLiteral(" GROUP BY ")
           + kCliente
           + QStringLiteral(", Fatture.fatData, [fatNo] & [fatPrefisso], Pagamenti.pagDescrizione, Fatture.fatTotNetto, CliFor.cliId")
           + QStringLiteral(" HAVING ") + filtroDate(f) + QStringLiteral(" ") + nonSaldate + filtroCliente(f)
           + QStringLiteral(" ORDER BY ") + kCliente + QStringLiteral(", Fatture.fatData");
}

QString SqlClientiScelta(std::int32_t sezId)
{
    return QStringLiteral("SELECT cliId, cliNome FROM CliFor WHERE sezId=") + numero(sezId)
           + QStringLiteral(" OR cliShared=TRUE ORDER BY cliNome");
}

QVector<ClienteScelta> LeggiClientiScelta(const QString& connectionString, std::int32_t sezId)
{
    db::Recordset rs;
    rs.open(SqlClientiScelta(sezId), connectionString, db::CursorType::Static, db::LockType::ReadOnly);
    QVector<ClienteScelta> clienti;
    clienti.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext())
        clienti.append({static_cast<std::int32_t>(rs.value(QStringLiteral("cliId")).toLong()),
                        NzStr(rs.value(QStringLiteral("cliNome")), QString())});
    return clienti;
}

bool QueryVuota(const QString& connectionString, const QString& sql)
{
    db::Recordset rs;
    rs.open(sql, connectionString, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    return rs.eof();
}

QString InizialeRubrica(const QString& nome)
{
    const QString testo = nome.trimmed();
    if (testo.isEmpty())
        return {};
    // The first character with its accents taken apart; the base letter leads.
    const QString base = QString(testo.at(0)).normalized(QString::NormalizationForm_KD);
    return base.left(1).toUpper();
}
