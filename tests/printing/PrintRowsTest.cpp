// The print rows the engine writes, read from its print recordset.
#include "printing/PrintFixture.h"

#include "printing/StampaDocumento.h"
#include "printing/finclsTarvix.h"
#include "startup/SharedState.h"

#include <QBuffer>
#include <QImage>

namespace {

class PrintRowsTest : public PrintFixture {
protected:
    // Runs the engine on one document; its print rows stay in m_motore.rsStampa.
    report::Report stampa(std::int32_t fatId, int tipo = 0)
    {
        return m_motore.Start(1, tipo, session().dataConStr, SqlStampaDocumento(fatId), kFormatoStampa, kFormatoStampa);
    }
    QString campo(const char* nome) { return m_motore.rsStampa.value(QString::fromLatin1(nome)).toString(); }

    finclsTarvix m_motore;
};

TEST_F(PrintRowsTest, OneRowPerLineInEntryOrderEachCarryingTheWholeDocument)
{
    Documento d = fattura();
    d.righe = {{3, QStringLiteral("Prima"), 10}, {0, QStringLiteral("Seconda"), 0}, {-1, QStringLiteral("Storno"), 1234.5}};
    d.iva = {{QStringLiteral("22"), 1, 0, 1, 0.22, 1.22, 0}, {QStringLiteral("10"), 2, 0, 2, 0.2, 2.2, 0}};
    const auto id = inserisci(d);
    stampa(id);
    db::Recordset& rs = m_motore.rsStampa;
    ASSERT_EQ(rs.recordCount(), 3);
    struct Attesa {
        const char *quantita, *descrizione, *unitario, *riga;
    };
    const Attesa attese[] = {{"3,00", "Prima", "10,00", "30,00"}, {" ", "Seconda", " ", " "}, {"-1,00", "Storno", "1.234,50", "-1.234,50"}};
    rs.moveFirst();
    for (const Attesa& a : attese) {
        ASSERT_FALSE(rs.eof());
        EXPECT_EQ(rs.value(QStringLiteral("fatId")).toLong(), id);
        EXPECT_EQ(campo("Quantita"), a.quantita);
        EXPECT_EQ(campo("Descrizione"), a.descrizione);
        EXPECT_EQ(campo("ImportoUnitario"), a.unitario);
        EXPECT_EQ(campo("ImportoRiga"), a.riga);
        EXPECT_EQ(campo("CodIVA"), "22");
        EXPECT_EQ(campo("Cliente_Nome"), "D'Amico Consulting S.r.l.");
        EXPECT_EQ(campo("TotNetto"), "1.640,07");
        // VAT rows by code, the missing slots blank.
        EXPECT_EQ(campo("CIva1"), "10");
        EXPECT_EQ(campo("CIva2"), "22");
        EXPECT_EQ(campo("Totale2"), "1,22");
        EXPECT_EQ(campo("Netto1"), "2,20");
        EXPECT_EQ(campo("CIva3"), "");
        EXPECT_EQ(campo("Imponibile4"), "");
        rs.moveNext();
    }
}

TEST_F(PrintRowsTest, DocumentFieldsFollowTheirRules)
{
    struct Caso {
        int tipo;
        const char* tipoSql; // fatTipo as stored
        const char* numero;
        const char* prefisso;
        double soggettivo;
        const char* ritPreDesc;
        const char* tipoDoc;
        const char* numDoc;
        const char* intSog;
    };
    const Caso casi[] = {
        {0, "0", "15", "'A'", 61.38, "Rivalsa INPS 4%", "Fattura N\u00B0", "15/A", "Rivalsa INPS 4%"},
        {0, "0", "15", "NULL", 10, "", "Fattura N\u00B0", "15", "Soggettivo"},
        {1, "1", "7", "''", 0, "Rivalsa", "Nota di credito N\u00B0", "7", ""},
        {2, "2", "0", "NULL", 0, "", "Pro Forma", "", ""},
        {2, "NULL", "0", "'B'", 0, "", "Pro Forma", "/B", ""},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.numDoc);
        Documento d = fattura();
        d.tipo = c.tipo;
        d.numero = QString::fromLatin1(c.numero);
        d.prefisso = QString::fromLatin1(c.prefisso);
        d.tot[1] = c.soggettivo;
        d.ritPreDesc = QString::fromUtf8(c.ritPreDesc);
        const auto id = inserisci(d);
        exec(QStringLiteral("UPDATE Fatture SET fatTipo=%1 WHERE fatId=%2").arg(QLatin1String(c.tipoSql)).arg(id));
        finclsTarvix motore;
        motore.Start(1, c.tipo, session().dataConStr, SqlStampaDocumento(id), kFormatoStampa, kFormatoStampa);
        motore.rsStampa.moveFirst();
        auto v = [&](const char* n) { return motore.rsStampa.value(QString::fromLatin1(n)).toString(); };
        EXPECT_EQ(v("TipoDoc"), QString::fromUtf8(c.tipoDoc));
        EXPECT_EQ(v("NumDoc"), c.numDoc);
        EXPECT_EQ(v("IntSog"), c.intSog);
        EXPECT_EQ(v("DataDoc"), "15/03/2024");
        EXPECT_EQ(v("IntRitAcc"), "Ritenuta d'acconto 20%");
        EXPECT_EQ(v("Cliente_Pagamento"), "Bonifico bancario 30 gg d.f.");
    }
}

TEST_F(PrintRowsTest, ClientPlaceIsTrimmedAndWithoutPaymentTermEmpty)
{
    struct Caso {
        const char *cap, *localita, *provincia, *atteso;
    };
    const Caso casi[] = {{"", "Roma", "RM", "Roma RM"}, {"", "", "", ""}, {"00184", "Roma", "", "00184 Roma"}};
    for (const Caso& c : casi) {
        exec(QStringLiteral("UPDATE CliFor SET cliCAP='%1', cliLocalita='%2', cliProvincia='%3'")
                 .arg(QLatin1String(c.cap), QLatin1String(c.localita), QLatin1String(c.provincia)));
        Documento d = fattura();
        d.pagamento = -1;
        const auto id = inserisci(d);
        exec(QStringLiteral("UPDATE Fatture SET fatCliForPag=0 WHERE fatId=%1").arg(id));
        finclsTarvix motore;
        motore.Start(1, 0, session().dataConStr, SqlStampaDocumento(id), kFormatoStampa, kFormatoStampa);
        motore.rsStampa.moveFirst();
        EXPECT_EQ(motore.rsStampa.value(QStringLiteral("Cliente_Localita")).toString(), c.atteso);
        EXPECT_EQ(motore.rsStampa.value(QStringLiteral("Cliente_Pagamento")).toString(), "");
    }
}

TEST_F(PrintRowsTest, HeadingLinesFollowLogoKindAndShowFlags)
{
    struct Caso {
        int tipoLogo;
        bool intestazione, piede;
        const char *int1, *int3, *int7;
        bool immagine;
    };
    const Caso casi[] = {
        {2, true, true, "Studio Rossi", "Via Garibaldi 8 - 20121 Milano (MI)",
         "Iscritto all'Ordine dei Dottori Commercialisti di Milano n. 1234", false},
        {1, false, true, "", "", "Iscritto all'Ordine dei Dottori Commercialisti di Milano n. 1234", true},
        {0, true, false, "", "Via Garibaldi 8 - 20121 Milano (MI)", "", false},
    };
    QImage logo(60, 20, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    QByteArray bmp;
    {
        QBuffer buf(&bmp);
        buf.open(QIODevice::WriteOnly);
        logo.save(&buf, "BMP");
    }
    db::Recordset mod;
    mod.open(QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=1"), session().dataConStr, db::CursorType::Static, db::LockType::Optimistic);
    mod.setValue(QStringLiteral("modFatIntLogo"), core::Variant(bmp));
    mod.update();
    mod.close();
    const auto id = inserisci(fattura());
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.tipoLogo);
        exec(QStringLiteral("UPDATE SezioniModelli SET modFatIntTipo=%1, modFatInt=%2, modFatPie=%3 WHERE sezId=1")
                 .arg(c.tipoLogo)
                 .arg(c.intestazione ? "True" : "False", c.piede ? "True" : "False"));
        finclsTarvix motore;
        const report::Report rpt = motore.Start(1, 0, session().dataConStr, SqlStampaDocumento(id), kFormatoStampa, kFormatoStampa);
        motore.rsStampa.moveFirst();
        auto v = [&](const char* n) { return motore.rsStampa.value(QString::fromLatin1(n)).toString(); };
        EXPECT_EQ(v("Intestazione1"), QString::fromUtf8(c.int1));
        EXPECT_EQ(v("Intestazione3"), QString::fromUtf8(c.int3));
        EXPECT_EQ(v("Intestazione7"), QString::fromUtf8(c.int7));
        EXPECT_EQ(!rpt.picture().isNull(), c.immagine);
    }
}

TEST_F(PrintRowsTest, LongStoredTextsPrintWholeExceptTheNoteCut)
{
    const QString titolo = QStringLiteral("Studio associato ") + QString(90, QLatin1Char('R')); // beyond 60
    const QString indirizzo = QStringLiteral("Via ") + QString(80, QLatin1Char('M'));            // beyond 60
    exec(QStringLiteral("UPDATE SezioniModelli SET modFatInt05='%1' WHERE sezId=1").arg(titolo));
    exec(QStringLiteral("UPDATE CliFor SET cliIndirizzo='%1'").arg(indirizzo));
    Documento d = fattura();
    d.note = QString(1500, QLatin1Char('n'));
    stampa(inserisci(d));
    m_motore.rsStampa.moveFirst();
    EXPECT_EQ(campo("Intestazione1"), titolo);
    EXPECT_EQ(campo("Cliente_Indirizzo"), indirizzo);
    EXPECT_EQ(campo("Note").size(), 1024);
}

TEST_F(PrintRowsTest, ABatchDeliversEachDocumentsLinesAfterItsHeading)
{
    Documento a = fattura();
    a.numero = QStringLiteral("1");
    Documento b = fattura();
    b.numero = QStringLiteral("2");
    b.righe = {{1, QStringLiteral("Parcella"), 500}};
    Documento vuoto = fattura();
    vuoto.numero = QStringLiteral("3");
    vuoto.righe.clear();
    inserisci(a);
    inserisci(b);
    inserisci(vuoto);
    finclsTarvix motore;
    report::Report rpt = motore.Start(1, 0, session().dataConStr,
                                      QStringLiteral("SELECT Fatture.*, CliFor.* FROM Fatture INNER JOIN CliFor ON "
                                                     "Fatture.fatCliForId = CliFor.cliId ORDER BY fatNo"),
                                      kFormatoStampa, kFormatoStampa);
    EXPECT_EQ(motore.rsStampa.recordCount(), 3); // the document without lines yields none
    rpt.run();
    // Each document on its own pages, numbered on its own.
    ASSERT_EQ(rpt.pages().count(), 2);
}

TEST_F(PrintRowsTest, ABatchInAnyOrderCarriesOnlyEachDocumentsOwnLinesVatAndPayment)
{
    exec(QStringLiteral("INSERT INTO Pagamenti (pagDescrizione) VALUES ('Rimessa diretta')"));
    db::Recordset ultimo;
    ultimo.open(QStringLiteral("SELECT MAX(pagId) FROM Pagamenti"), session().dataConStr);
    const std::int32_t rimessa = ultimo.value(0).toLong();
    // Printed last to first; the credit note between them by id is not printed.
    Documento primo = fattura();
    primo.numero = QStringLiteral("1");
    primo.righe = {{1, QStringLiteral("Prima parcella"), 100}};
    Documento nota = fattura();
    nota.tipo = 1;
    nota.numero = QStringLiteral("9");
    nota.righe = {{1, QStringLiteral("Storno"), 100}};
    nota.iva = {{QStringLiteral("10"), 100, 0, 100, 10, 110, 0}};
    Documento secondo = fattura();
    secondo.numero = QStringLiteral("2");
    secondo.pagamento = rimessa;
    secondo.righe = {{1, QStringLiteral("Seconda parcella"), 200}, {2, QStringLiteral("Spese"), 5}};
    secondo.iva = {{QStringLiteral("22"), 200, 0, 200, 44, 244, 0}, {QStringLiteral("N1"), 10, 0, 10, 0, 10, 0}};
    const auto idPrimo = inserisci(primo);
    inserisci(nota);
    const auto idSecondo = inserisci(secondo);
    m_motore.Start(1, 0, session().dataConStr,
                   QStringLiteral("SELECT Fatture.*, CliFor.* FROM Fatture INNER JOIN CliFor ON Fatture.fatCliForId = "
                                  "CliFor.cliId WHERE fatTipo = 0 ORDER BY fatNo DESC"),
                   kFormatoStampa, kFormatoStampa);
    struct Attesa {
        std::int32_t fatId;
        const char *descrizione, *pagamento, *iva1, *iva2, *totale1;
    };
    const Attesa attese[] = {{idSecondo, "Seconda parcella", "Rimessa diretta", "22", "N1", "244,00"},
                             {idSecondo, "Spese", "Rimessa diretta", "22", "N1", "244,00"},
                             {idPrimo, "Prima parcella", "Bonifico bancario 30 gg d.f.", "22", "", "1.946,97"}};
    db::Recordset& rs = m_motore.rsStampa;
    ASSERT_EQ(rs.recordCount(), 3);
    rs.moveFirst();
    for (const Attesa& a : attese) {
        SCOPED_TRACE(a.descrizione);
        ASSERT_FALSE(rs.eof());
        EXPECT_EQ(rs.value(QStringLiteral("fatId")).toLong(), a.fatId);
        EXPECT_EQ(campo("Descrizione"), a.descrizione);
        EXPECT_EQ(campo("Cliente_Pagamento"), a.pagamento);
        EXPECT_EQ(campo("CIva1"), a.iva1);
        EXPECT_EQ(campo("CIva2"), a.iva2);
        EXPECT_EQ(campo("Totale1"), a.totale1);
        EXPECT_EQ(campo("CIva3"), "");
        rs.moveNext();
    }
}

} // namespace
