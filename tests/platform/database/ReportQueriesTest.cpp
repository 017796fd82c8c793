// The report queries of the program, with their filters filled in, run through
// the layer on a small database shaped like the program's tables: they must
// translate, run, and return the rows and the column names the layouts bind.
#include "DatabaseFixture.h"

#include "platform/core/Currency.h"

using core::Currency;
using core::Variant;

namespace {

Currency money(const char* text)
{
    bool ok = false;
    const Currency c = Variant(QString::fromLatin1(text)).toCurrency(&ok);
    EXPECT_TRUE(ok) << text;
    return c;
}

class ReportQueriesTest : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        const char* ddl[] = {
            "CREATE TABLE CliFor (cliId COUNTER, cliNome TEXT(50) NOT NULL, cliIndirizzo TEXT(100), cliCAP TEXT(10), "
            "cliLocalita TEXT(50), cliProvincia TEXT(2), cliPartitaIVA TEXT(16), cliCodiceFiscale TEXT(16), "
            "cliTelefono TEXT(30), cliMobile TEXT(30), cliFax TEXT(30), cliShared YESNO, sezId INTEGER)",
            "CREATE TABLE Pagamenti (pagId COUNTER, pagDescrizione TEXT(50), pagNoteFat MEMO, sezId INTEGER, pagShared YESNO)",
            "CREATE TABLE CodiciIVA (cdiCodice TEXT(10), cdiDescrizione TEXT(100), cdiValore DOUBLE)",
            "CREATE INDEX PrimaryKey ON CodiciIVA (cdiCodice) WITH PRIMARY",
            "CREATE TABLE Prestazioni (preId COUNTER, preDescrizione TEXT(255), preCodiceIVA TEXT(10), preImporto CURRENCY, "
            "sezId LONG, preCliId INTEGER)",
            "CREATE TABLE Fatture (fatId COUNTER, sezId LONG, fatTipo INTEGER, fatNo LONG, fatPrefisso TEXT(10), "
            "fatData DATETIME, fatCliForId LONG, fatCliForPag LONG, fatTotImponibile CURRENCY, fatTotImposta CURRENCY, "
            "fatTotDoc CURRENCY, fatTotRitAcc CURRENCY, fatTotNetto CURRENCY)",
            "CREATE TABLE FattureIva (fciId COUNTER, fcifatId LONG, fciCodiceIva TEXT(10), fciImporto CURRENCY, "
            "fciSoggettivo CURRENCY, fciImponibile CURRENCY, fciImposta CURRENCY, fciTotRiga CURRENCY, "
            "fciRit01 CURRENCY, fciRit02 CURRENCY)",
            "CREATE TABLE Incassi (incId COUNTER, incFatId INTEGER, incData DATETIME, incImporto CURRENCY, "
            "incDescrizione TEXT(50))",

            "INSERT INTO CliFor (cliNome, cliLocalita, cliTelefono, cliCodiceFiscale, cliShared, sezId) "
            "VALUES ('Rossi Mario', 'Roma', '06 1234', 'RSSMRA', False, 1)",
            "INSERT INTO CliFor (cliNome, cliShared, sezId) VALUES ('bianchi', False, 1)",
            "INSERT INTO CliFor (cliNome, cliShared, sezId) VALUES ('Verdi', True, 2)",
            "INSERT INTO CliFor (cliNome, cliShared, sezId) VALUES ('Neri', False, 2)",
            "INSERT INTO Pagamenti (pagDescrizione, sezId) VALUES ('Bonifico 30 gg', 1)",
            "INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore) VALUES ('22', 'IVA 22%', 22)",
            "INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore) VALUES ('N1', 'Escluso art. 15', 0)",

            // 1: paid in full by two collections whose sum as doubles falls short of the net.
            "INSERT INTO Fatture (sezId, fatTipo, fatNo, fatData, fatCliForId, fatCliForPag, fatTotImponibile, "
            "fatTotImposta, fatTotDoc, fatTotRitAcc, fatTotNetto) VALUES (1, 0, 1, #01/15/2024#, 1, 1, 16.6, 3.66, 20.26, 0, 20.26)",
            // 2: one cent short.
            "INSERT INTO Fatture (sezId, fatTipo, fatNo, fatPrefisso, fatData, fatCliForId, fatCliForPag, fatTotImponibile, "
            "fatTotImposta, fatTotDoc, fatTotRitAcc, fatTotNetto) VALUES (1, 0, 2, 'B', #02/20/2024#, 1, 0, 200, 44, 244, 40, 204)",
            // 3: no collections.
            "INSERT INTO Fatture (sezId, fatTipo, fatNo, fatData, fatCliForId, fatCliForPag, fatTotImponibile, "
            "fatTotImposta, fatTotDoc, fatTotRitAcc, fatTotNetto) VALUES (1, 0, 3, #03/10/2024#, 2, 0, 50, 0, 50, 0, 50)",
            // 4: a credit note; 5: another section's invoice; 6: last year's invoice.
            "INSERT INTO Fatture (sezId, fatTipo, fatNo, fatData, fatCliForId, fatTotDoc, fatTotNetto) "
            "VALUES (1, 1, 1, #03/11/2024#, 2, 10, 10)",
            "INSERT INTO Fatture (sezId, fatTipo, fatNo, fatData, fatCliForId, fatTotDoc, fatTotNetto) "
            "VALUES (2, 0, 1, #03/11/2024#, 3, 70, 70)",
            "INSERT INTO Fatture (sezId, fatTipo, fatNo, fatData, fatCliForId, fatTotDoc, fatTotNetto) "
            "VALUES (1, 0, 9, #12/31/2023#, 1, 80, 80)",

            "INSERT INTO Incassi (incFatId, incImporto) VALUES (1, 10)",
            "INSERT INTO Incassi (incFatId, incImporto) VALUES (1, 10.26)",
            "INSERT INTO Incassi (incFatId, incImporto) VALUES (2, 100)",
            "INSERT INTO Incassi (incFatId, incImporto) VALUES (2, 103.99)",

            "INSERT INTO FattureIva (fcifatId, fciCodiceIva, fciImporto, fciSoggettivo, fciImponibile, fciImposta, "
            "fciTotRiga, fciRit01) VALUES (1, '22', 16.6, 16.6, 16.6, 3.66, 20.26, 0)",
            "INSERT INTO FattureIva (fcifatId, fciCodiceIva, fciImporto, fciSoggettivo, fciImponibile, fciImposta, "
            "fciTotRiga, fciRit01) VALUES (2, '22', 200, 200, 200, 44, 244, 0)",
            "INSERT INTO FattureIva (fcifatId, fciCodiceIva, fciImporto, fciSoggettivo, fciImponibile, fciImposta, "
            "fciTotRiga, fciRit01) VALUES (3, 'n1', 50, 0, 50, 0, 50, 0)",

            "INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) VALUES ('Visita', '22', 80, 1, 0)",
            "INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) VALUES ('Perizia', '22', 300, 1, 1)",
            "INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) VALUES ('Consulenza', '22', 120, 1, 2)",
            "INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) VALUES ('Altrui', '22', 1, 2, 0)",
        };
        for (const char* sql : ddl)
            connection.execute(QString::fromUtf8(sql));
    }

    // Opened as the report's data control opens its query.
    db::Recordset run(const QString& sql)
    {
        db::Recordset rs;
        rs.open(sql, connection, db::CursorType::Static, db::LockType::ReadOnly);
        return rs;
    }

    static QStringList names(const db::Recordset& rs)
    {
        QStringList list;
        for (int i = 0; i < rs.fieldCount(); ++i)
            list << rs.field(i).name();
        return list;
    }

    // One column of every row, as text.
    static QStringList column(db::Recordset rs, const QString& name)
    {
        QStringList values;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            values << rs.value(name).toString();
        return values;
    }
};

// The document list (and the batch of documents): three tables' stars, two
// parenthesised joins, a date range, a type and the client filter.
TEST_F(ReportQueriesTest, DocumentList)
{
    const QString base = QStringLiteral(
        "SELECT Fatture.*, CliFor.*, Pagamenti.* FROM (Fatture INNER JOIN CliFor ON Fatture.fatCliForId = CliFor.cliId)"
        " LEFT JOIN Pagamenti ON Fatture.fatCliForPag = Pagamenti.pagId"
        " WHERE (fatData Between %1 And %2) AND (fatTipo=0) AND Fatture.sezId=1%3 ORDER BY fatData, fatNo");
    for (const auto& [from, to] : {std::pair{"#01/01/24#", "#12/31/24#"}, std::pair{"#01/01/2024#", "#12/31/2024#"}}) {
        db::Recordset rs = run(base.arg(QLatin1String(from), QLatin1String(to), QString()));
        EXPECT_EQ(column(rs, QStringLiteral("fatNo")), (QStringList{"1", "2", "3"})) << from;
        EXPECT_EQ(column(rs, QStringLiteral("cliNome")), (QStringList{"Rossi Mario", "Rossi Mario", "bianchi"}));
        EXPECT_EQ(column(rs, QStringLiteral("pagDescrizione")), (QStringList{"Bonifico 30 gg", "", ""}));
        // The column that three tables share comes once per table, named by its table.
        const QStringList n = names(rs);
        EXPECT_TRUE(n.contains(QStringLiteral("Fatture.sezId")) && n.contains(QStringLiteral("CliFor.sezId"))
                    && n.contains(QStringLiteral("Pagamenti.sezId")))
            << n.join(QLatin1Char(',')).toStdString();
        EXPECT_FALSE(n.contains(QStringLiteral("sezId")));
        rs.moveFirst();
        EXPECT_EQ(rs.value(QStringLiteral("fatTotDoc")).toCurrency(), money("20.26"));
        EXPECT_TRUE(rs.value(QStringLiteral("fatData")).isDate());
        EXPECT_EQ(rs.value(QStringLiteral("Fatture.sezId")).toLong(), 1);
        EXPECT_EQ(rs.value(QStringLiteral("CliFor.sezId")).toLong(), 1);
        EXPECT_EQ(rs.value(QStringLiteral("Pagamenti.sezId")).toLong(), 1);
        rs.moveNext();
        EXPECT_TRUE(rs.value(QStringLiteral("Pagamenti.sezId")).isNull()) << "no payment term";
    }
    EXPECT_EQ(column(run(base.arg(QStringLiteral("#01/01/24#"), QStringLiteral("#12/31/24#"), QStringLiteral(" AND cliId=2"))),
                     QStringLiteral("fatNo")),
              QStringList{"3"});
}

TEST_F(ReportQueriesTest, TotalsPerClient)
{
    const QString sql = QStringLiteral(
        "SELECT CliFor.cliNome, CliFor.cliCodiceFiscale, CliFor.cliPartitaIVA, FattureIva.fciCodiceIva, CodiciIVA.cdiDescrizione, "
        "Sum(FattureIva.fciImporto) AS SommaDifciImporto, Sum(FattureIva.fciSoggettivo) AS SommaDifciSoggettivo, "
        "Sum(FattureIva.fciImponibile) AS SommaDifciImponibile, Sum(FattureIva.fciImposta) AS SommaDifciImposta, "
        "Sum(FattureIva.fciTotRiga) AS SommaDifciTotRiga, Sum(FattureIva.fciRit01) AS SommaDifciRit01 "
        " FROM ((Fatture INNER JOIN FattureIva ON Fatture.fatId = FattureIva.fcifatId) INNER JOIN CliFor ON "
        "Fatture.fatCliForId = CliFor.cliId) INNER JOIN CodiciIVA ON FattureIva.fciCodiceIva = CodiciIVA.cdiCodice"
        " WHERE (fatData Between #01/01/24# And #12/31/24#) AND (fatTipo=0) AND Fatture.sezId=1"
        " GROUP BY CliFor.cliNome, CliFor.cliCodiceFiscale, CliFor.cliPartitaIVA, FattureIva.fciCodiceIva, CodiciIVA.cdiDescrizione"
        " ORDER BY CliFor.cliNome, FattureIva.fciCodiceIva");
    db::Recordset rs = run(sql);
    EXPECT_EQ(names(rs).mid(5), (QStringList{"SommaDifciImporto", "SommaDifciSoggettivo", "SommaDifciImponibile",
                                             "SommaDifciImposta", "SommaDifciTotRiga", "SommaDifciRit01"}));
    // Names sort without regard to case; a VAT code joins its row whatever its case.
    EXPECT_EQ(column(rs, QStringLiteral("cliNome")), (QStringList{"bianchi", "Rossi Mario"}));
    EXPECT_EQ(column(rs, QStringLiteral("cdiDescrizione")), (QStringList{"Escluso art. 15", "IVA 22%"}));
    rs.moveLast();
    EXPECT_EQ(rs.value(QStringLiteral("SommaDifciTotRiga")).toCurrency(), money("264.26"));
    EXPECT_EQ(rs.value(QStringLiteral("SommaDifciImposta")).toCurrency(), money("47.66"));
    EXPECT_EQ(rs.field(QStringLiteral("SommaDifciImporto")).type(), db::DataType::Currency);
}

TEST_F(ReportQueriesTest, PriceList)
{
    const QString base = QStringLiteral(
        "SELECT CliFor.cliNome, Prestazioni.preDescrizione, Prestazioni.preCodiceIVA, Prestazioni.preImporto"
        " FROM Prestazioni LEFT JOIN CliFor ON Prestazioni.preCliId = CliFor.cliId WHERE %1"
        " ORDER BY CliFor.cliNome, Prestazioni.preDescrizione");
    struct Case {
        const char* condition;
        QStringList services;
    };
    const Case cases[] = {
        {"Prestazioni.sezId=1", {"Visita", "Consulenza", "Perizia"}},
        {"(((Prestazioni.sezId)=1) AND ((CliFor.cliId) Is Null)) OR (((Prestazioni.sezId)=1) AND ((CliFor.cliId)=2))",
         {"Visita", "Consulenza"}},
        {"(((Prestazioni.sezId)=1) AND (Not (CliFor.cliId) Is Null))", {"Consulenza", "Perizia"}},
        {"(((Prestazioni.sezId)=1) AND ((CliFor.cliId)=1))", {"Perizia"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(column(run(base.arg(QLatin1String(c.condition))), QStringLiteral("preDescrizione")), c.services) << c.condition;
}

TEST_F(ReportQueriesTest, ClientBookAndChooserList)
{
    // No blank between the parenthesis and ORDER BY, as the query is written.
    db::Recordset rs = run(QStringLiteral("SELECT * From CliFor WHERE (sezId=1 OR cliShared=TRUE)ORDER BY cliNome"));
    EXPECT_EQ(column(rs, QStringLiteral("cliNome")), (QStringList{"bianchi", "Rossi Mario", "Verdi"}));
    EXPECT_EQ(column(run(QStringLiteral("SELECT cliId, cliNome FROM CliFor WHERE sezId=1 OR cliShared=TRUE ORDER BY cliNome")),
                     QStringLiteral("cliId")),
              (QStringList{"2", "1", "3"}));
}

const char* const kCollections =
    "SELECT [cliNome] & IIf(IsNull([cliLocalita]),'',' [' & [cliLocalita] & ']') & IIf(IsNull([cliTelefono]),'',' - tel.: ' & "
    "[cliTelefono]) AS Cliente, Fatture.fatData AS Data, [fatNo] & [fatPrefisso] AS Numero, Pagamenti.pagDescrizione AS "
    "Descrizione, Fatture.fatTotNetto AS [Netto dovuto], Sum(IIf(IsNull([incImporto]),0,[incImporto])) AS Incassato, "
    "IIf(IsNull(Sum([incImporto])),[fatTotNetto],[fatTotNetto]-Sum([incImporto])) AS [Da incassare], CliFor.cliId"
    " FROM (Incassi RIGHT JOIN (Fatture INNER JOIN CliFor ON Fatture.fatCliForId = CliFor.cliId) ON Incassi.incFatId = "
    "Fatture.fatId) LEFT JOIN Pagamenti ON Fatture.fatCliForPag = Pagamenti.pagId"
    " WHERE Fatture.FatTipo=0 AND Fatture.sezId=1"
    " GROUP BY [cliNome] & IIf(IsNull([cliLocalita]),'',' [' & [cliLocalita] & ']') & IIf(IsNull([cliTelefono]),'',' - tel.: ' & "
    "[cliTelefono]), Fatture.fatData, [fatNo] & [fatPrefisso], Pagamenti.pagDescrizione, Fatture.fatTotNetto, CliFor.cliId"
    " HAVING (fatData Between %1 And %2) %3%4"
    " ORDER BY [cliNome] & IIf(IsNull([cliLocalita]),'',' [' & [cliLocalita] & ']') & IIf(IsNull([cliTelefono]),'',' - tel.: ' & "
    "[cliTelefono]), Fatture.fatData";

const char* const kUnpaid = " AND  ((IIf(IsNull(Sum([incImporto])),[fatTotNetto],[fatTotNetto]-Sum([incImporto])))>0)";

TEST_F(ReportQueriesTest, CollectionsAllInvoices)
{
    db::Recordset rs = run(QString::fromLatin1(kCollections).arg(QStringLiteral("#01/01/24#"), QStringLiteral("#12/31/24#"), QString(), QString()));
    EXPECT_EQ(names(rs), (QStringList{"Cliente", "Data", "Numero", "Descrizione", "Netto dovuto", "Incassato", "Da incassare", "cliId"}));
    EXPECT_EQ(column(rs, QStringLiteral("Cliente")),
              (QStringList{"bianchi", "Rossi Mario [Roma] - tel.: 06 1234", "Rossi Mario [Roma] - tel.: 06 1234"}));
    EXPECT_EQ(column(rs, QStringLiteral("Numero")), (QStringList{"3", "1", "2B"}));
    EXPECT_EQ(column(rs, QStringLiteral("Descrizione")), (QStringList{"", "Bonifico 30 gg", ""}));
    rs.moveFirst();
    // Without collections: nothing collected, the whole net to collect.
    EXPECT_EQ(rs.value(QStringLiteral("Incassato")).toCurrency(), Currency::fromUnits(0));
    EXPECT_EQ(rs.value(QStringLiteral("Da incassare")).toCurrency(), Currency::fromUnits(50));
    EXPECT_TRUE(rs.value(QStringLiteral("Data")).isDate());
    EXPECT_EQ(rs.field(QStringLiteral("Netto dovuto")).type(), db::DataType::Currency);
    EXPECT_EQ(rs.field(QStringLiteral("Incassato")).type(), db::DataType::Currency);
    EXPECT_EQ(rs.field(QStringLiteral("Da incassare")).type(), db::DataType::Currency);
    rs.moveNext();
    EXPECT_EQ(rs.value(QStringLiteral("Incassato")).toCurrency(), money("20.26"));
    EXPECT_EQ(rs.value(QStringLiteral("Da incassare")).toCurrency(), Currency::fromUnits(0));
}

TEST_F(ReportQueriesTest, CollectionsUnpaidOnlyIsExactToTheCent)
{
    db::Recordset rs = run(QString::fromLatin1(kCollections)
                               .arg(QStringLiteral("#01/01/2024#"), QStringLiteral("#12/31/2024#"), QString::fromLatin1(kUnpaid), QString()));
    // Invoice 1 is collected exactly and left out; invoice 2 is one cent short and kept.
    EXPECT_EQ(column(rs, QStringLiteral("Numero")), (QStringList{"3", "2B"}));
    rs.moveLast();
    EXPECT_EQ(rs.value(QStringLiteral("Incassato")).toCurrency(), money("203.99"));
    EXPECT_EQ(rs.value(QStringLiteral("Da incassare")).toCurrency(), money("0.01"));

    // The client filter stands in the HAVING clause.
    EXPECT_EQ(column(run(QString::fromLatin1(kCollections)
                             .arg(QStringLiteral("#01/01/24#"), QStringLiteral("#12/31/24#"), QString::fromLatin1(kUnpaid),
                                  QStringLiteral(" AND cliId=1"))),
                     QStringLiteral("Numero")),
              QStringList{"2B"});
}

} // namespace
