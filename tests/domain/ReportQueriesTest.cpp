// The report queries run on a database of the program's schema: what each
// report selects for the chooser's filters.
#include "domain/ReportQueries.h"

#include "DomainDatabase.h"

#include "common/comDataBase.h"
#include "platform/core/Currency.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <ostream>

// Failures show the rows as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

class ReportQueriesTest : public DomainDatabase {
protected:
    void SetUp() override
    {
        DomainDatabase::SetUp();
        m_cn.open(m_cs);
        m_cn.execute(QStringLiteral("INSERT INTO Pagamenti (pagDescrizione, sezId) VALUES ('Bonifico 30 gg', 1)"));
        m_bianchi = cliente(QStringLiteral("Bianchi S.r.l."), 1, false, QStringLiteral("Milano"), QStringLiteral("02 123"));
        m_rossi = cliente(QStringLiteral("Rossi Mario"), 1, false, QString(), QString());
        m_condiviso = cliente(QStringLiteral("Verdi S.p.A."), 2, true, QStringLiteral("Torino"), QString());
        m_altro = cliente(QStringLiteral("Neri Studio"), 2, false, QString(), QString());
    }

    std::int32_t ultimo(const QString& sql)
    {
        db::Recordset rs;
        rs.open(sql, m_cn);
        return rs.value(0).toLong();
    }

    std::int32_t cliente(const QString& nome, int sezione, bool condiviso, const QString& localita, const QString& telefono)
    {
        auto testo = [](const QString& t) { return t.isEmpty() ? QStringLiteral("NULL") : SqlQuoted(t); };
        m_cn.execute(QStringLiteral("INSERT INTO CliFor (cliNome, cliLocalita, cliTelefono, cliPartitaIVA, cliShared, sezId) "
                                    "VALUES (%1, %2, %3, '01234567890', %4, %5)")
                         .arg(SqlQuoted(nome), testo(localita), testo(telefono), condiviso ? QStringLiteral("True") : QStringLiteral("False"))
                         .arg(sezione));
        return ultimo(QStringLiteral("SELECT MAX(cliId) FROM CliFor"));
    }

    // A document with one VAT row at 22% for `imponibile`; the net due is `netto`.
    std::int32_t documento(int tipo, int numero, const QString& prefisso, const QDate& data, std::int32_t cli, const QString& netto,
                           int sezione = 1, const QString& imponibile = QStringLiteral("100"))
    {
        m_cn.execute(QStringLiteral("INSERT INTO Fatture (sezId, fatTipo, fatNo, fatPrefisso, fatData, fatCliForId, fatCliForPag, "
                                    "fatTotImponibile, fatTotImposta, fatTotDoc, fatTotRitAcc, fatTotNetto) "
                                    "VALUES (%1, %2, %3, %4, %5, %6, 1, %7, 22, 122, 20, %8)")
                         .arg(sezione)
                         .arg(tipo)
                         .arg(numero)
                         .arg(prefisso.isEmpty() ? QStringLiteral("NULL") : SqlQuoted(prefisso), SqlData(data))
                         .arg(cli)
                         .arg(imponibile, netto));
        const std::int32_t id = ultimo(QStringLiteral("SELECT MAX(fatId) FROM Fatture"));
        m_cn.execute(QStringLiteral("INSERT INTO FattureIva (fcifatId, fciCodiceIva, fciImporto, fciSoggettivo, fciImponibile, "
                                    "fciImposta, fciTotRiga, fciRit01) VALUES (%1, '22', %2, 0, %2, 22, 122, 20)")
                         .arg(id)
                         .arg(imponibile));
        return id;
    }

    void incasso(std::int32_t fatId, const QString& importo)
    {
        m_cn.execute(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto) VALUES (%1, #04/01/2024#, %2)")
                         .arg(fatId)
                         .arg(importo));
    }

    FiltriReport filtri(int anno = 2024) const
    {
        FiltriReport f;
        f.sezId = 1;
        f.dal = QDate(anno, 1, 1);
        f.al = QDate(anno, 12, 31);
        return f;
    }

    // One column of every row, as text ("|"-joined when several columns are asked).
    QStringList righe(const QString& sql, const QStringList& colonne)
    {
        QStringList out;
        db::Recordset rs;
        rs.open(sql, m_cn, db::CursorType::Static, db::LockType::ReadOnly);
        for (; !rs.eof(); rs.moveNext()) {
            QStringList valori;
            for (const QString& c : colonne) {
                const core::Variant v = rs.value(c);
                valori << (v.isNull()                                ? QStringLiteral("<null>")
                           : v.type() == core::VarType::Currency ? v.toCurrency().toPlainString()
                                                                 : v.toString());
            }
            out << valori.join(QLatin1Char('|'));
        }
        return out;
    }

    db::Connection m_cn;
    std::int32_t m_bianchi = 0, m_rossi = 0, m_condiviso = 0, m_altro = 0;
};

} // namespace

TEST_F(ReportQueriesTest, DatesAreWrittenWithFourDigitYearsAndFindDocumentsFrom2030On)
{
    documento(0, 1, QString(), QDate(2031, 2, 10), m_bianchi, QStringLiteral("102"));
    documento(0, 1, QString(), QDate(1931, 2, 10), m_bianchi, QStringLiteral("102"));
    const FiltriReport f = filtri(2031);
    const struct {
        const char* report;
        QString sql;
        QString colonna;
    } cases[] = {
        {"documents", SqlDocumenti(f), QStringLiteral("cliNome")},
        {"totals per client", SqlTotaliCliente(f), QStringLiteral("cliNome")},
        {"collections", SqlIncassi(f), QStringLiteral("Cliente")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        EXPECT_TRUE(c.sql.contains(QLatin1String("#01/01/2031# And #12/31/2031#"))) << c.sql.toStdString();
        EXPECT_EQ(righe(c.sql, {c.colonna}).size(), 1);
    }
}

TEST_F(ReportQueriesTest, DocumentListFollowsKindSectionDatesAndClient)
{
    documento(0, 2, QString(), QDate(2024, 3, 1), m_rossi, QStringLiteral("102"));
    documento(0, 1, QString(), QDate(2024, 2, 1), m_bianchi, QStringLiteral("102"));
    documento(0, 3, QStringLiteral("A"), QDate(2024, 3, 1), m_bianchi, QStringLiteral("102"));
    documento(1, 4, QString(), QDate(2024, 3, 5), m_bianchi, QStringLiteral("-50"));
    documento(0, 9, QString(), QDate(2024, 3, 5), m_condiviso, QStringLiteral("102"), 2);
    documento(0, 8, QString(), QDate(2023, 12, 31), m_bianchi, QStringLiteral("102"));
    FiltriReport f = filtri();
    const QStringList colonne{QStringLiteral("fatNo"), QStringLiteral("cliNome"), QStringLiteral("pagDescrizione")};
    EXPECT_EQ(righe(SqlDocumenti(f), colonne),
              (QStringList{"1|Bianchi S.r.l.|Bonifico 30 gg", "2|Rossi Mario|Bonifico 30 gg", "3|Bianchi S.r.l.|Bonifico 30 gg"}));
    f.cliente = m_bianchi;
    EXPECT_EQ(righe(SqlDocumenti(f), {QStringLiteral("fatNo")}), (QStringList{"1", "3"}));
    f.tipoDocumento = 1;
    EXPECT_EQ(righe(SqlDocumenti(f), {QStringLiteral("fatNo")}), (QStringList{"4"}));
    // The document key is there under its own name, as the print engine reads it.
    EXPECT_EQ(righe(SqlDocumenti(f), {QStringLiteral("fatid")}).size(), 1);
}

TEST_F(ReportQueriesTest, TotalsPerClientSumTheVatRowsPerClientAndCode)
{
    documento(0, 1, QString(), QDate(2024, 2, 1), m_bianchi, QStringLiteral("102"), 1, QStringLiteral("100.10"));
    documento(0, 2, QString(), QDate(2024, 3, 1), m_bianchi, QStringLiteral("102"), 1, QStringLiteral("200.20"));
    documento(0, 3, QString(), QDate(2024, 3, 1), m_rossi, QStringLiteral("102"), 1, QStringLiteral("0.70"));
    documento(1, 4, QString(), QDate(2024, 3, 1), m_rossi, QStringLiteral("102"), 1, QStringLiteral("999"));
    const QStringList colonne{QStringLiteral("cliNome"), QStringLiteral("fciCodiceIva"), QStringLiteral("cdiDescrizione"),
                              QStringLiteral("SommaDifciImponibile"), QStringLiteral("SommaDifciTotRiga")};
    FiltriReport f = filtri();
    EXPECT_EQ(righe(SqlTotaliCliente(f), colonne),
              (QStringList{"Bianchi S.r.l.|22|IVA ordinaria 22%|300.3|244", "Rossi Mario|22|IVA ordinaria 22%|0.7|122"}));
    f.cliente = m_rossi;
    f.tipoDocumento = 1;
    EXPECT_EQ(righe(SqlTotaliCliente(f), {QStringLiteral("SommaDifciImponibile")}), (QStringList{"999"}));
}

TEST_F(ReportQueriesTest, PriceListChoosesServicesByClientAndTheClientlessBox)
{
    for (const auto& [descrizione, cli, sez] : {std::tuple{"Consulenza", m_bianchi, 1}, std::tuple{"Bilancio", 0, 1},
                                                std::tuple{"Dichiarazione", m_rossi, 1}, std::tuple{"Altrui", 0, 2}})
        m_cn.execute(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) "
                                    "VALUES ('%1', '22', 150, %2, %3)")
                         .arg(QString::fromLatin1(descrizione))
                         .arg(sez)
                         .arg(cli));
    const struct {
        bool senzaCliente;
        std::int32_t cliente;
        QStringList attese;
    } cases[] = {
        {false, 0, {"Bianchi S.r.l.|Consulenza", "Rossi Mario|Dichiarazione"}},
        {false, m_rossi, {"Rossi Mario|Dichiarazione"}},
        {true, 0, {"<null>|Bilancio", "Bianchi S.r.l.|Consulenza", "Rossi Mario|Dichiarazione"}},
        {true, m_rossi, {"<null>|Bilancio", "Rossi Mario|Dichiarazione"}},
    };
    for (const auto& c : cases) {
        FiltriReport f = filtri();
        f.prestazioniSenzaCliente = c.senzaCliente;
        if (c.cliente)
            f.cliente = c.cliente;
        SCOPED_TRACE(SqlListinoPrestazioni(f).toStdString());
        EXPECT_EQ(righe(SqlListinoPrestazioni(f), {QStringLiteral("cliNome"), QStringLiteral("preDescrizione")}), c.attese);
    }
}

TEST_F(ReportQueriesTest, ClientListsHoldTheSectionsClientsAndTheSharedOnes)
{
    const QStringList attesi{"Bianchi S.r.l.", "Rossi Mario", "Verdi S.p.A."};
    EXPECT_EQ(righe(SqlRubricaClienti(1), {QStringLiteral("cliNome")}), attesi);
    EXPECT_EQ(righe(SqlClientiScelta(1), {QStringLiteral("cliNome")}), attesi);
    EXPECT_EQ(righe(SqlRubricaClienti(2), {QStringLiteral("cliNome")}), (QStringList{"Neri Studio", "Verdi S.p.A."}));
}

TEST_F(ReportQueriesTest, CollectionsLeaveOutExactlyThePaidInvoicesWithExactAmounts)
{
    const std::int32_t pagata = documento(0, 1, QString(), QDate(2024, 2, 1), m_bianchi, QStringLiteral("30.60"));
    // In binary floating point these three add up to a little less than 30.60.
    for (const char* parte : {"10.10", "10.20", "10.30"})
        incasso(pagata, QString::fromLatin1(parte));
    const std::int32_t corta = documento(0, 2, QStringLiteral("A"), QDate(2024, 2, 2), m_bianchi, QStringLiteral("0.30"));
    incasso(corta, QStringLiteral("0.1"));
    incasso(corta, QStringLiteral("0.19"));
    documento(0, 3, QString(), QDate(2024, 3, 1), m_rossi, QStringLiteral("1640.07"));
    documento(1, 4, QString(), QDate(2024, 3, 1), m_rossi, QStringLiteral("-50"));
    documento(2, 0, QString(), QDate(2024, 3, 1), m_rossi, QStringLiteral("500"));
    documento(0, 5, QString(), QDate(2024, 3, 1), m_condiviso, QStringLiteral("80"), 2);

    const QStringList colonne{QStringLiteral("Cliente"), QStringLiteral("Numero"), QStringLiteral("Netto dovuto"),
                              QStringLiteral("Incassato"), QStringLiteral("Da incassare")};
    FiltriReport f = filtri();
    f.soloNonSaldate = true;
    EXPECT_EQ(righe(SqlIncassi(f), colonne),
              (QStringList{"Bianchi S.r.l. [Milano] - tel.: 02 123|2A|0.3|0.29|0.01", "Rossi Mario|3|1640.07|0|1640.07"}));
    f.soloNonSaldate = false;
    EXPECT_EQ(righe(SqlIncassi(f), colonne),
              (QStringList{"Bianchi S.r.l. [Milano] - tel.: 02 123|1|30.6|30.6|0",
                           "Bianchi S.r.l. [Milano] - tel.: 02 123|2A|0.3|0.29|0.01", "Rossi Mario|3|1640.07|0|1640.07"}));
    f.cliente = m_rossi;
    EXPECT_EQ(righe(SqlIncassi(f), {QStringLiteral("Numero")}), (QStringList{"3"}));

    // The amounts are money, so the report's sums stay exact as well.
    db::Recordset rs;
    rs.open(SqlIncassi(f), m_cn, db::CursorType::Static, db::LockType::ReadOnly);
    for (const char* colonna : {"Netto dovuto", "Incassato", "Da incassare"})
        EXPECT_EQ(rs.value(QString::fromLatin1(colonna)).type(), core::VarType::Currency) << colonna;
}
