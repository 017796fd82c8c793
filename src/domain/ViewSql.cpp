#include "domain/ViewSql.h"

#include "common/comDataBase.h"
#include "common/comDateLib.h"

QString proFormaViewSql(std::int32_t sezId, const QDate& workingDate)
{
    // Four-digit years throughout: a two-digit year from 30 on would read as 19xx.
    return QStringLiteral("SELECT Fatture.fatId, Fatture.fatData AS Data, cliNome & ' [' & cliLocalita & ']' AS Cliente, ")
         + QStringLiteral("Fatture.fatTotDoc AS Importo, Fatture.fatTotNetto AS [Netto dovuto], fatTipo, fatPagata")
         + QStringLiteral(" FROM Fatture INNER JOIN CliFor ON Fatture.fatCliForId = CliFor.cliId")
         + QStringLiteral(" WHERE fatTipo=2 AND fatData<=") + SqlData(FineAnno(workingDate))
         + QStringLiteral(" AND Fatture.sezId=") + QString::number(sezId);
}

QString invoiceViewSql(std::int32_t sezId, const QDate& workingDate)
{
    return QStringLiteral("SELECT Fatture.fatId, Fatture.fatNo AS Numero, Fatture.fatPrefisso AS Pre, "
                          "Fatture.fatData AS Data, cliNome & ' [' & cliLocalita & ']' AS Cliente, ")
         + QStringLiteral("Fatture.fatTotDoc AS Importo, Fatture.fatTotNetto AS [Netto dovuto], fatTipo")
         + QStringLiteral(" FROM Fatture INNER JOIN CliFor ON Fatture.fatCliForId = CliFor.cliId")
         + QStringLiteral(" WHERE fatTipo<2 AND Year(fatData)=Year(") + SqlData(workingDate) + QStringLiteral(")")
         + QStringLiteral(" AND Fatture.sezId=") + QString::number(sezId);
}

QString clientViewSql(std::int32_t sezId)
{
    return QStringLiteral("SELECT cliId, cliNome as Nome,  [cliLocalita] & ' ' & [cliProvincia] & ' ' & "
                          "[cliIndirizzo] as [Indirizzo], cliPartitaIVA as [Partita IVA], cliCodiceFiscale as "
                          "[Codice fiscale], cliTelefono as Telefono, cliMobile as Mobile FROM CliFor")
         + QStringLiteral(" WHERE sezId=") + QString::number(sezId) + QStringLiteral(" OR cliShared=TRUE");
}

QString serviceViewSql(std::int32_t sezId)
{
    return QStringLiteral("SELECT preId, preDescrizione as Prestazione, preCodiceIVA as [Codice IVA], "
                          "preImporto as Importo, CliFor.cliNome AS Cliente FROM Prestazioni LEFT JOIN CliFor "
                          "ON Prestazioni.preCliId = CliFor.cliId ")
         + QStringLiteral(" WHERE Prestazioni.sezId=") + QString::number(sezId);
}

QString vatCodeViewSql()
{
    return QStringLiteral("SELECT cdiCodice AS Codice, cdiDescrizione AS Descrizione, "
                          "IIf([cdiEsenzione]=0,'Sì','No') AS [RitPrev], IIf([cdiRitAcc]=0,'Sì','No') AS "
                          "[RitAcc], cdiValore AS Aliquota FROM CodiciIVA");
}

QString paymentTermViewSql(std::int32_t sezId)
{
    return QStringLiteral("SELECT pagId, pagDescrizione as Pagamento FROM Pagamenti WHERE sezId=") + QString::number(sezId)
         + QStringLiteral(" OR pagShared=TRUE");
}
