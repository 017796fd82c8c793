#include "startup/Schema.h"

#include "platform/database/Catalog.h"
#include "platform/database/Connection.h"

#include <algorithm>

namespace startup {

// Base columns of the template, with the widths chosen for them. This table is
// the one place they are decided; the statements below follow it.
//
// | Table            | Column(s)                                   | Type          | Why this width / type                          |
// |------------------|---------------------------------------------|---------------|------------------------------------------------|
// | Sezioni          | sezId                                       | COUNTER, key  |                                                |
// |                  | sezTitolo, sezNome, sezCognome              | TEXT(50)      | person names                                   |
// |                  | sezRitPrePerc, sezRitAccPerc                | DOUBLE        | percentages                                    |
// |                  | sezRitPreDesc, sezRitAccDesc                | TEXT(50)      | a short caption printed on the document        |
// |                  | sezRitAccPercSuImp                          | DOUBLE        | percentage                                     |
// |                  | sezPreIVA                                   | TEXT(10)      | a VAT code, as CodiciIVA.cdiCodice             |
// |                  | sezRitAccSuRitPre                           | YESNO         |                                                |
// | SezioniModelli   | sezId                                       | LONG, key     | one row per section                            |
// |                  | modFatIntLogo                               | LONGBINARY    | the bytes of a bitmap                          |
// |                  | modFatInt, modFatPie                        | YESNO         |                                                |
// |                  | modFatIntTipo                               | INTEGER       | 0 none, 1 picture, 2 text                      |
// |                  | modFatInt01..06, modFatPie01..06            | TEXT(255)     | free heading and footer lines                  |
// | SezioniParametri | parId                                       | COUNTER, key  |                                                |
// |                  | parsezId, parNum1                           | LONG          |                                                |
// |                  | parKey3                                     | TEXT(10)      | a series prefix of letters                     |
// |                  | parKey4                                     | INTEGER       | a year                                         |
// | CliFor           | cliId                                       | COUNTER, key  |                                                |
// |                  | cliNome                                     | TEXT(50), required | the client's name                         |
// |                  | cliIndirizzo                                | TEXT(100)     | street and number                              |
// |                  | cliCAP                                      | TEXT(10)      | Italian CAP is 5; room for foreign codes       |
// |                  | cliLocalita                                 | TEXT(50)      |                                                |
// |                  | cliProvincia                                | TEXT(2)       | the province's initials                        |
// |                  | cliPartitaIVA, cliCodiceFiscale             | TEXT(16)      | 11-digit VAT number, 16-character tax code     |
// |                  | cliTelefono, cliMobile, cliFax              | TEXT(30)      |                                                |
// |                  | cliEmail                                    | TEXT(255)     |                                                |
// |                  | cliNote                                     | TEXT(255)     | notes                                          |
// | Pagamenti        | pagId                                       | COUNTER, key  |                                                |
// |                  | pagDescrizione                              | TEXT(50)      | the payment combos hold 50 characters          |
// |                  | pagNoteFat                                  | MEMO          | several lines copied into a document's notes   |
// | CodiciIVA        | cdiCodice                                   | TEXT(10), key |                                                |
// |                  | cdiDescrizione                              | TEXT(100)     |                                                |
// |                  | cdiValore                                   | DOUBLE        | rate in percent                                |
// |                  | cdiEsenzione                                | INTEGER       | a flag, non-zero = no surcharge                |
// | Prestazioni      | preId                                       | COUNTER, key  |                                                |
// |                  | preDescrizione                              | TEXT(50)      | the upgrade widens exactly this width to 255   |
// |                  | preCodiceIVA                                | TEXT(10)      |                                                |
// |                  | preImporto                                  | CURRENCY      |                                                |
// |                  | sezId                                       | LONG          |                                                |
// | Fatture          | fatId                                       | COUNTER, key  |                                                |
// |                  | sezId, fatNo, fatCliForId, fatCliForPag     | LONG          |                                                |
// |                  | fatTipo, fatModId, fatTipoMol               | INTEGER       | small codes                                    |
// |                  | fatPrefisso                                 | TEXT(10)      |                                                |
// |                  | fatData                                     | DATETIME      |                                                |
// |                  | fatDescrizione                              | TEXT(255)     |                                                |
// |                  | fatNote                                     | MEMO          | takes a payment term's several lines           |
// |                  | fatpcRitAcc, fatRitAccSuRitPre, fatPagata   | YESNO         |                                                |
// |                  | fatRitPrePerc, fatRitAccPerc, fatRitAccPercSuImp | DOUBLE   |                                                |
// |                  | fatRitPreDesc, fatRitAccDesc                | TEXT(50)      | as in Sezioni                                  |
// |                  | fatTot* (seven totals)                      | CURRENCY      |                                                |
// | FattureDettaglio | fdtId                                       | COUNTER, key  |                                                |
// |                  | fdtfatId                                    | LONG          |                                                |
// |                  | fdtRiga                                     | INTEGER       |                                                |
// |                  | fdtQuanti                                   | DOUBLE        |                                                |
// |                  | fdtUM                                       | TEXT(10)      | free unit text                                 |
// |                  | fdtDescrizione                              | TEXT(255)     | as the widened service description             |
// |                  | fdtImporto, fdtTotRiga                      | CURRENCY      |                                                |
// |                  | fdtCodiceIVA                                | TEXT(10)      |                                                |
// | FattureIva       | fciId                                       | COUNTER, key  |                                                |
// |                  | fcifatId                                    | LONG          |                                                |
// |                  | fciCodiceIva                                | TEXT(10)      |                                                |
// |                  | fciImporto .. fciTotRiga, fciRit01, fciRit02 | CURRENCY     |                                                |
//
// Column order of Sezioni and SezioniModelli: the new-professional routine
// writes their rows by position, so the order below puts its values where
// they belong. Sezioni: 0 sezId, 1-3 title, name, surname, 4 sezRitPrePerc,
// 5 sezRitPreDesc, 6 sezRitAccPerc, 7 sezRitAccDesc, 8 sezRitAccPercSuImp,
// 9 sezPreIVA, 10 sezRitAccSuRitPre (written False); positions 11 on are the
// unused columns the upgrade appends. SezioniModelli: 0 sezId, 1 modFatIntLogo,
// 2 modFatInt (written True), 3 modFatIntTipo (written 0), then the heading
// lines, modFatPie and the footer lines.

const QVector<LinkingIndex>& linkingIndexes()
{
    static const QVector<LinkingIndex> indexes = {
        {"FattureDettaglio", "fdtfatId", "fdtfatId", true},
        {"FattureIva", "fcifatId", "fcifatId", true},
        {"Fatture", "fatCliForId", "fatCliForId", true},
        {"Fatture", "sezIdfatData", "sezId, fatData", true},
        {"SezioniParametri", "parsezIdparKey4", "parsezId, parKey4", true},
        // Tables and columns the upgrade adds.
        {"Incassi", "incFatId", "incFatId", false},
        {"Prestazioni", "preCliId", "preCliId", false},
    };
    return indexes;
}

QString linkingIndexStatement(const LinkingIndex& index)
{
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(QLatin1String(index.name), QLatin1String(index.table), QLatin1String(index.columns));
}

int createLinkingIndexes(db::Connection& cn)
{
    const db::Catalog catalog = cn.catalog();
    int created = 0;
    for (const LinkingIndex& index : linkingIndexes()) {
        const QString table = QLatin1String(index.table);
        if (!catalog.hasTable(table))
            continue;
        if (catalog.indexNames(table).contains(QLatin1String(index.name), Qt::CaseInsensitive))
            continue;
        const db::TableInfo info = catalog.table(table);
        bool columnsPresent = true;
        for (const QString& column : QString::fromLatin1(index.columns).split(QLatin1Char(','))) {
            const QString wanted = column.trimmed();
            columnsPresent = columnsPresent && std::any_of(info.columns.begin(), info.columns.end(), [&](const db::ColumnInfo& c) {
                                 return c.name.compare(wanted, Qt::CaseInsensitive) == 0;
                             });
        }
        if (!columnsPresent)
            continue;
        cn.execute(linkingIndexStatement(index));
        ++created;
    }
    return created;
}

QStringList templateSchemaStatements()
{
    QStringList statements = {
        QStringLiteral("CREATE TABLE Sezioni (sezId COUNTER, sezTitolo TEXT(50), sezNome TEXT(50), sezCognome TEXT(50), "
                       "sezRitPrePerc DOUBLE, sezRitPreDesc TEXT(50), sezRitAccPerc DOUBLE, sezRitAccDesc TEXT(50), "
                       "sezRitAccPercSuImp DOUBLE, sezPreIVA TEXT(10), sezRitAccSuRitPre YESNO)"),
        QStringLiteral("CREATE INDEX PrimaryKey ON Sezioni (sezId) WITH PRIMARY"),

        QStringLiteral("CREATE TABLE SezioniModelli (sezId LONG, modFatIntLogo LONGBINARY, modFatInt YESNO, modFatIntTipo INTEGER, "
                       "modFatInt01 TEXT(255), modFatInt02 TEXT(255), modFatInt03 TEXT(255), modFatInt04 TEXT(255), "
                       "modFatInt05 TEXT(255), modFatInt06 TEXT(255), modFatPie YESNO, "
                       "modFatPie01 TEXT(255), modFatPie02 TEXT(255), modFatPie03 TEXT(255), modFatPie04 TEXT(255), "
                       "modFatPie05 TEXT(255), modFatPie06 TEXT(255))"),
        QStringLiteral("CREATE INDEX PrimaryKey ON SezioniModelli (sezId) WITH PRIMARY"),

        QStringLiteral("CREATE TABLE SezioniParametri (parId COUNTER, parsezId LONG, parKey3 TEXT(10), parKey4 INTEGER, parNum1 LONG)"),
        QStringLiteral("CREATE INDEX PrimaryKey ON SezioniParametri (parId) WITH PRIMARY"),

        QStringLiteral("CREATE TABLE CliFor (cliId COUNTER, cliNome TEXT(50) NOT NULL, cliIndirizzo TEXT(100), cliCAP TEXT(10), "
                       "cliLocalita TEXT(50), cliProvincia TEXT(2), cliPartitaIVA TEXT(16), cliCodiceFiscale TEXT(16), "
                       "cliTelefono TEXT(30), cliMobile TEXT(30), cliFax TEXT(30), cliEmail TEXT(255), cliNote TEXT(255))"),
        QStringLiteral("CREATE INDEX PrimaryKey ON CliFor (cliId) WITH PRIMARY"),

        QStringLiteral("CREATE TABLE Pagamenti (pagId COUNTER, pagDescrizione TEXT(50), pagNoteFat MEMO)"),
        QStringLiteral("CREATE INDEX PrimaryKey ON Pagamenti (pagId) WITH PRIMARY"),

        QStringLiteral("CREATE TABLE CodiciIVA (cdiCodice TEXT(10), cdiDescrizione TEXT(100), cdiValore DOUBLE, cdiEsenzione INTEGER)"),
        QStringLiteral("CREATE INDEX PrimaryKey ON CodiciIVA (cdiCodice) WITH PRIMARY"),

        QStringLiteral("CREATE TABLE Prestazioni (preId COUNTER, preDescrizione TEXT(50), preCodiceIVA TEXT(10), preImporto CURRENCY, "
                       "sezId LONG)"),
        QStringLiteral("CREATE INDEX PrimaryKey ON Prestazioni (preId) WITH PRIMARY"),

        QStringLiteral("CREATE TABLE Fatture (fatId COUNTER, sezId LONG, fatTipo INTEGER, fatNo LONG, fatPrefisso TEXT(10), "
                       "fatData DATETIME, fatCliForId LONG, fatCliForPag LONG, fatDescrizione TEXT(255), fatNote MEMO, "
                       "fatpcRitAcc YESNO, fatRitPrePerc DOUBLE, fatRitPreDesc TEXT(50), fatRitAccPerc DOUBLE, "
                       "fatRitAccDesc TEXT(50), fatRitAccPercSuImp DOUBLE, fatRitAccSuRitPre YESNO, fatModId INTEGER, "
                       "fatTipoMol INTEGER, fatTotImporto CURRENCY, fatTotSoggettivo CURRENCY, fatTotImponibile CURRENCY, "
                       "fatTotImposta CURRENCY, fatTotDoc CURRENCY, fatTotRitAcc CURRENCY, fatTotNetto CURRENCY, fatPagata YESNO)"),
        QStringLiteral("CREATE INDEX PrimaryKey ON Fatture (fatId) WITH PRIMARY"),

        QStringLiteral("CREATE TABLE FattureDettaglio (fdtId COUNTER, fdtfatId LONG, fdtRiga INTEGER, fdtQuanti DOUBLE, fdtUM TEXT(10), "
                       "fdtDescrizione TEXT(255), fdtImporto CURRENCY, fdtTotRiga CURRENCY, fdtCodiceIVA TEXT(10))"),
        QStringLiteral("CREATE INDEX PrimaryKey ON FattureDettaglio (fdtId) WITH PRIMARY"),

        QStringLiteral("CREATE TABLE FattureIva (fciId COUNTER, fcifatId LONG, fciCodiceIva TEXT(10), fciImporto CURRENCY, "
                       "fciSoggettivo CURRENCY, fciImponibile CURRENCY, fciImposta CURRENCY, fciTotRiga CURRENCY, "
                       "fciRit01 CURRENCY, fciRit02 CURRENCY)"),
        QStringLiteral("CREATE INDEX PrimaryKey ON FattureIva (fciId) WITH PRIMARY"),

        // Section 1, the administrator; no password (the column comes with the upgrade).
        QStringLiteral("INSERT INTO Sezioni (sezId, sezTitolo, sezNome, sezCognome, sezRitPrePerc, sezRitPreDesc, sezRitAccPerc, "
                       "sezRitAccDesc, sezRitAccPercSuImp, sezPreIVA, sezRitAccSuRitPre) "
                       "VALUES (1, '', 'Amministratore', '', 4, 'Rivalsa (4%)', 20, 'Ritenuta d''acconto 20%', 100, '22', False)"),
        QStringLiteral("INSERT INTO SezioniModelli (sezId, modFatInt, modFatIntTipo, modFatPie) VALUES (1, True, 0, False)"),

        // Current Italian VAT codes. cdiEsenzione -1: no surcharge on the amount
        // (the upgrade copies it into cdiRitAcc, so no withholding either).
        QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione) VALUES ('22', 'IVA ordinaria 22%', 22, 0)"),
        QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione) VALUES ('10', 'IVA ridotta 10%', 10, 0)"),
        QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione) VALUES ('5', 'IVA ridotta 5%', 5, 0)"),
        QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione) VALUES ('4', 'IVA minima 4%', 4, 0)"),
        QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione) "
                       "VALUES ('N1', 'Escluso art. 15 DPR 633/72 (spese anticipate)', 0, -1)"),
        QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione) "
                       "VALUES ('N2', 'Non soggetto (regime forfetario)', 0, 0)"),
        QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione) "
                       "VALUES ('N3', 'Non imponibile', 0, 0)"),
        QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione) "
                       "VALUES ('N4', 'Esente art. 10 DPR 633/72', 0, 0)"),
    };
    for (const LinkingIndex& index : linkingIndexes())
        if (index.inTemplate)
            statements << linkingIndexStatement(index);
    return statements;
}

} // namespace startup
