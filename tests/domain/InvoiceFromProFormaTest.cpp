#include "WriteFixture.h"

#include "domain/Counters.h"
#include "domain/InvoiceFromProForma.h"
#include "platform/core/Error.h"
#include "platform/database/Field.h"
#include "platform/database/Recordset.h"
#include "platform/database/Types.h"
#include "support/BusyTimeout.h"

#include <QSet>

namespace {

class InvoiceFromProFormaTest : public WriteFixture {
protected:
    void SetUp() override
    {
        WriteFixture::SetUp();
        // A pro forma of section 1 with three lines on two codes, its summary, one Media row and one collection.
        exec(QStringLiteral(
            "INSERT INTO Fatture (sezId, fatTipo, fatNo, fatPrefisso, fatData, fatCliForId, fatCliForPag, fatDescrizione, "
            "fatNote, fatpcRitAcc, fatRitPrePerc, fatRitPreDesc, fatRitAccPerc, fatRitAccDesc, fatRitAccPercSuImp, "
            "fatRitAccSuRitPre, fatModId, fatTotImporto, fatTotSoggettivo, fatTotImponibile, fatTotImposta, fatTotDoc, "
            "fatTotRitAcc, fatTotNetto, fatPagata, fatBancaApp01, fatBancaApp03, fatBancaApp04) VALUES (1, 2, 0, '', "
            "#02/10/2024#, 3, 2, 'Consulenza di febbraio', 'Bonifico a 30 giorni', True, 4, 'Rivalsa INPS', 20, "
            "'Ritenuta', 100, False, 1, 580.64, 23.23, 603.87, 112.83, 716.70, 116.13, 600.57, False, 'Banca di Roma', "
            "'03002', '05006')"));
        m_pro = number(QStringLiteral("SELECT MAX(fatId) FROM Fatture"));
        const QString p = QString::number(m_pro);
        for (const char* row : {"1, 3, 'ore', 'Consulenza', 123.45, 370.35, '22'", "2, 2, '', 'Trasferta', 80.15, 160.3, '10'",
                                "3, 1, '', 'Spese', 49.99, 49.99, '22'"})
            exec(QStringLiteral("INSERT INTO FattureDettaglio (fdtfatId, fdtRiga, fdtQuanti, fdtUM, fdtDescrizione, "
                                "fdtImporto, fdtTotRiga, fdtCodiceIVA) VALUES (")
                 + p + QStringLiteral(", ") + QString::fromUtf8(row) + QStringLiteral(")"));
        exec(QStringLiteral("INSERT INTO FattureIva (fcifatId, fciCodiceIva, fciImporto, fciSoggettivo, fciImponibile, "
                            "fciImposta, fciTotRiga, fciRit01) VALUES (")
             + p + QStringLiteral(", '22', 420.34, 16.81, 437.15, 96.17, 533.32, 84.07)"));
        exec(QStringLiteral("INSERT INTO FattureIva (fcifatId, fciCodiceIva, fciImporto, fciSoggettivo, fciImponibile, "
                            "fciImposta, fciTotRiga, fciRit01) VALUES (")
             + p + QStringLiteral(", '10', 160.30, 6.41, 166.71, 16.67, 183.38, 32.06)"));
        exec(QStringLiteral("INSERT INTO Media (medfatId, medForId, medDescrizione, medImporto, medImportoVersato) VALUES (")
             + p + QStringLiteral(", 0, 'Anticipo spese', 25, 0)"));
        exec(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto, incDescrizione) VALUES (") + p
             + QStringLiteral(", #02/12/2024#, 50, 'Acconto')"));
        // The main series of 2024 has given 4 numbers already.
        exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parNum1) VALUES (1, 2024, 4)"));
    }

    NewInvoice make(const QString& prefix = {}, bool evenIfInvoiced = false)
    {
        return makeInvoiceFromProForma(m_cn, m_pro, 1, 2024, prefix, QDate(2024, 3, 5), evenIfInvoiced);
    }

    int m_pro = 0;
};

} // namespace

TEST_F(InvoiceFromProFormaTest, InvoiceIsANumberedCopyAndTheProFormaIsMarked)
{
    struct Case {
        const char* prefix;
        int number;
    };
    for (const Case c : {Case{"", 5}, Case{"B", 1}, Case{"", 6}}) {
        SCOPED_TRACE(c.prefix);
        const NewInvoice made = make(QString::fromLatin1(c.prefix));
        EXPECT_EQ(made.number, c.number);
        const QString n = QString::number(made.id);
        const QString p = QString::number(m_pro);

        db::Recordset pro;
        pro.open(QStringLiteral("SELECT * FROM Fatture WHERE fatId=") + p, m_cn, db::CursorType::Static,
                 db::LockType::ReadOnly);
        db::Recordset inv;
        inv.open(QStringLiteral("SELECT * FROM Fatture WHERE fatId=") + n, m_cn, db::CursorType::Static,
                 db::LockType::ReadOnly);
        ASSERT_FALSE(inv.eof());
        const QSet<QString> set = {QStringLiteral("fatid"), QStringLiteral("fatno"), QStringLiteral("fatdata"),
                                   QStringLiteral("fattipo"), QStringLiteral("fatprefisso"), QStringLiteral("fatpagata"),
                                   QStringLiteral("fattipomol"), QStringLiteral("fatannoserie")};
        for (int i = 0; i < pro.fieldCount(); ++i) {
            const QString name = pro.field(i).name();
            if (set.contains(name.toLower()))
                continue;
            const core::Variant a = inv.value(name);
            const core::Variant b = pro.value(name);
            EXPECT_TRUE(a.sameValue(b) || (a.isNull() && b.isNull())) << name.toStdString();
        }
        EXPECT_EQ(inv.value(QStringLiteral("fatNo")).toLong(), c.number);
        EXPECT_EQ(inv.value(QStringLiteral("fatData")).toDate(), QDate(2024, 3, 5));
        EXPECT_EQ(inv.value(QStringLiteral("fatTipo")).toLong(), 0);
        EXPECT_EQ(inv.value(QStringLiteral("fatPrefisso")).toString(), QString::fromLatin1(c.prefix));
        EXPECT_FALSE(inv.value(QStringLiteral("fatPagata")).toBool());
        EXPECT_EQ(inv.value(QStringLiteral("fatTipoMol")).toLong(), 1);
        EXPECT_EQ(inv.value(QStringLiteral("fatAnnoSerie")).toLong(), 2024);
        inv.close();
        pro.close();

        const QString sameLines = QStringLiteral("SELECT COUNT(*) FROM FattureDettaglio AS a INNER JOIN FattureDettaglio AS b "
                                                 "ON a.fdtRiga = b.fdtRiga AND a.fdtQuanti = b.fdtQuanti AND a.fdtImporto = "
                                                 "b.fdtImporto AND a.fdtTotRiga = b.fdtTotRiga AND a.fdtCodiceIVA = "
                                                 "b.fdtCodiceIVA AND a.fdtDescrizione = b.fdtDescrizione WHERE a.fdtfatId=")
                                + n + QStringLiteral(" AND b.fdtfatId=") + p;
        EXPECT_EQ(number(sameLines), 3);
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM FattureDettaglio WHERE fdtfatId=") + n), 3);
        const QString sameVat = QStringLiteral("SELECT COUNT(*) FROM FattureIva AS a INNER JOIN FattureIva AS b ON "
                                               "a.fciCodiceIva = b.fciCodiceIva AND a.fciImporto = b.fciImporto AND "
                                               "a.fciSoggettivo = b.fciSoggettivo AND a.fciImposta = b.fciImposta AND "
                                               "a.fciTotRiga = b.fciTotRiga AND a.fciRit01 = b.fciRit01 WHERE a.fcifatId=")
                              + n + QStringLiteral(" AND b.fcifatId=") + p;
        EXPECT_EQ(number(sameVat), 2);
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM FattureIva WHERE fcifatId=") + n), 2);
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM Media WHERE medDescrizione='Anticipo spese' AND medfatId=") + n), 1);
        // Collections belong to the document they were received for: none moves.
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM Incassi WHERE incFatId=") + n), 0);
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM FattureDettaglio WHERE fdtfatId=") + p), 3);
        EXPECT_TRUE(scalar(QStringLiteral("SELECT fatPagata FROM Fatture WHERE fatId=") + p).toBool());
        EXPECT_TRUE(proFormaInvoiced(m_cn, m_pro));
        // The next round converts it again, as a user who said yes to the question would.
        exec(QStringLiteral("UPDATE Fatture SET fatPagata = False WHERE fatId=") + p);
    }
    EXPECT_EQ(number(QStringLiteral("SELECT parNum1 FROM SezioniParametri WHERE parKey3 Is Null")), 6);
    EXPECT_EQ(number(QStringLiteral("SELECT parNum1 FROM SezioniParametri WHERE parKey3='B'")), 1);
}

TEST_F(InvoiceFromProFormaTest, AnInvoiceDatedInAnotherYearCountsInItsSeries)
{
    const NewInvoice made = makeInvoiceFromProForma(m_cn, m_pro, 1, 2025, {}, QDate(2024, 12, 31), false);
    EXPECT_EQ(made.number, 1);
    EXPECT_EQ(highestIssuedNumber(m_cn, 1, 2025, QString()), 1);
    EXPECT_EQ(highestIssuedNumber(m_cn, 1, 2024, QString()), 0);
}

TEST_F(InvoiceFromProFormaTest, AProFormaInvoicedAlreadyIsConvertedOnlyWhenAskedTo)
{
    exec(QStringLiteral("UPDATE Fatture SET fatPagata = True WHERE fatId=") + QString::number(m_pro));
    const QString before = snapshot();
    EXPECT_THROW(make(), core::Error);
    EXPECT_EQ(snapshot(), before);
    const NewInvoice made = make({}, true);
    EXPECT_EQ(made.number, 5);
    EXPECT_FALSE(scalar(QStringLiteral("SELECT fatPagata FROM Fatture WHERE fatId=") + QString::number(made.id)).toBool());
}

TEST_F(InvoiceFromProFormaTest, ADocumentGoneOrNotAProFormaIsRefused)
{
    exec(QStringLiteral("INSERT INTO Fatture (sezId, fatTipo, fatNo) VALUES (1, 0, 3)"));
    const int invoice = number(QStringLiteral("SELECT MAX(fatId) FROM Fatture"));
    const QString before = snapshot();
    for (int id : {invoice, invoice + 1}) {
        EXPECT_THROW(makeInvoiceFromProForma(m_cn, id, 1, 2024, {}, QDate(2024, 3, 5), true), core::Error);
        EXPECT_THROW(proFormaInvoiced(m_cn, id), core::Error);
    }
    EXPECT_EQ(snapshot(), before);
}

TEST_F(InvoiceFromProFormaTest, AnyStepThatFailsLeavesTheDatabaseAsItWas)
{
    struct Step {
        const char* action;
        const char* table;
        const char* prefix;
    };
    const Step steps[] = {
        {"UPDATE", "SezioniParametri", ""},  // raising the main counter
        {"INSERT", "SezioniParametri", "C"}, // the first number of a new series
        {"INSERT", "Fatture", ""},           // the invoice's header
        {"INSERT", "FattureDettaglio", ""},
        {"INSERT", "FattureIva", ""},
        {"INSERT", "Media", ""},
        {"UPDATE", "Fatture", ""}, // marking the pro forma
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.action) + " " + s.table);
        const QString before = snapshot();
        {
            const auto refusal = refuse(QString::fromLatin1(s.action), QString::fromLatin1(s.table));
            EXPECT_THROW(make(QString::fromLatin1(s.prefix)), core::Error);
            EXPECT_FALSE(m_cn.inTransaction());
        }
        EXPECT_EQ(snapshot(), before);
    }
    // Nothing of the failures is left over: the next attempt takes the next number.
    EXPECT_EQ(make().number, 5);
}

TEST_F(InvoiceFromProFormaTest, WhileAnotherMachineHoldsTheFileNothingIsWritten)
{
    const BusyTimeout shortWait(100);
    db::Connection mine;
    mine.open(connectionString());
    db::Connection other;
    other.open(connectionString());
    other.beginTrans();
    try {
        makeInvoiceFromProForma(mine, m_pro, 1, 2024, {}, QDate(2024, 3, 5), false);
        ADD_FAILURE() << "no error while the file is held";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.kind(), db::ErrorKind::Busy);
    }
    EXPECT_FALSE(mine.inTransaction());
    other.rollbackTrans();
    other.close();
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM Fatture")), 1);
    EXPECT_EQ(makeInvoiceFromProForma(mine, m_pro, 1, 2024, {}, QDate(2024, 3, 5), false).number, 5);
    mine.close();
}

TEST_F(InvoiceFromProFormaTest, DeletingTheProFormaTakesEverythingOfItAndNothingElse)
{
    const NewInvoice made = make();
    const QString p = QString::number(m_pro);
    const QString n = QString::number(made.id);

    const QString before = snapshot();
    {
        const auto refusal = refuse(QStringLiteral("DELETE"), QStringLiteral("Media"));
        EXPECT_THROW(deleteProForma(m_cn, m_pro), core::Error);
    }
    EXPECT_EQ(snapshot(), before);

    deleteProForma(m_cn, m_pro);
    for (const char* table : {"Fatture WHERE fatId=", "FattureDettaglio WHERE fdtfatId=", "FattureIva WHERE fcifatId=",
                              "Media WHERE medfatId=", "Incassi WHERE incFatId="})
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM ") + QString::fromLatin1(table) + p), 0) << table;
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM Fatture WHERE fatId=") + n), 1);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM FattureDettaglio WHERE fdtfatId=") + n), 3);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM FattureIva WHERE fcifatId=") + n), 2);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM Media WHERE medfatId=") + n), 1);
}
