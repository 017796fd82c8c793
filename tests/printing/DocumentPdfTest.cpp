// Documents written with SQL, printed through the stored layouts to PDF and
// read back as text.
#include "printing/PrintFixture.h"

#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/report/ReportControl.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/ReportSection.h"
#include "printing/StampaDocumento.h"
#include "printing/finModelli.h"
#include "printing/finarpFatBase.h"
#include "startup/SharedState.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <ostream>

namespace {

class DocumentPdfTest : public PrintFixture {};

// The printed text of each kind, compared line by line with the expected text
// under tests/data/printing. CORVESSA_UPDATE_GOLDEN=1 rewrites the expected
// files on purpose; the change then shows in review.
struct Stampa {
    const char* nome;
    int tipo;
    const char* numero;
};

void PrintTo(const Stampa& s, std::ostream* os)
{
    *os << s.nome;
}

class PrintedText : public PrintFixture, public ::testing::WithParamInterface<Stampa> {};

TEST_P(PrintedText, MatchesTheExpectedTextLineByLine)
{
    const Stampa& c = GetParam();
    Documento d = fattura();
    d.tipo = c.tipo;
    d.numero = QString::fromLatin1(c.numero);
    const QString pdf = esportaPdf(inserisci(d), c.tipo);
    ASSERT_FALSE(pdf.isEmpty()) << m_dialogs.messages().join('\n').toStdString();
    EXPECT_EQ(paginePdf(pdf), 1);
    const QStringList stampate = righePdf(pdf);

    QFile atteso(QStringLiteral(CORVESSA_TEST_DATA_DIR "/printing/%1.txt").arg(QLatin1String(c.nome)));
    if (qEnvironmentVariableIsSet("CORVESSA_UPDATE_GOLDEN")) {
        ASSERT_TRUE(atteso.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));
        atteso.write((stampate.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        atteso.close();
    }
    ASSERT_TRUE(atteso.open(QIODevice::ReadOnly | QIODevice::Text)) << atteso.fileName().toStdString();
    const QStringList attese = QString::fromUtf8(atteso.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < std::max(stampate.size(), attese.size()); ++i) {
        const QString a = i < attese.size() ? attese[i] : QStringLiteral("(nothing)");
        const QString s = i < stampate.size() ? stampate[i] : QStringLiteral("(nothing)");
        ASSERT_EQ(s, a) << "line " << i + 1 << " of " << atteso.fileName().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PrintedText,
                         ::testing::Values(Stampa{"fattura", 0, "15"}, Stampa{"nota_di_credito", 1, "4"},
                                           Stampa{"pro_forma", 2, "0"}),
                         [](const ::testing::TestParamInfo<Stampa>& info) { return info.param.nome; });

TEST_F(DocumentPdfTest, LongDocumentRepeatsItsHeadingAndNumbersItsPages)
{
    Documento d = fattura();
    d.righe.clear();
    for (int i = 1; i <= 60; ++i)
        d.righe.push_back({1, QStringLiteral("Prestazione professionale numero %1").arg(i), 10.0 * i});
    const QString pdf = esportaPdf(inserisci(d), 0);
    ASSERT_FALSE(pdf.isEmpty());
    const int pagine = paginePdf(pdf);
    ASSERT_GE(pagine, 2);
    for (int p = 1; p <= pagine; ++p) {
        SCOPED_TRACE(p);
        const QString t = testoPdf(pdf, p);
        EXPECT_TRUE(t.contains(QStringLiteral("Fattura N° 15")));
        EXPECT_TRUE(t.contains(QStringLiteral("D'Amico Consulting S.r.l.")));
        EXPECT_TRUE(t.contains(QStringLiteral("Prezzo unitario")));
        EXPECT_TRUE(t.contains(QStringLiteral("Pagina %1 di %2").arg(p).arg(pagine)));
    }
    // Every line once, in entry order; the totals on the last page only.
    const QString tutto = testoPdf(pdf);
    int da = 0;
    for (int i = 1; i <= 60; ++i) {
        const int at = tutto.indexOf(QStringLiteral("Prestazione professionale numero %1 ").arg(i), da);
        ASSERT_GE(at, 0) << i;
        da = at + 1;
    }
    EXPECT_FALSE(testoPdf(pdf, 1).contains(QStringLiteral("Netto dovuto")));
    EXPECT_TRUE(testoPdf(pdf, pagine).contains(QStringLiteral("Netto dovuto")));
    if (qEnvironmentVariableIsSet("CORVESSA_SHOW_PDF"))
        QFile::copy(pdf, QStringLiteral("/tmp/lunga.pdf"));
}

TEST_F(DocumentPdfTest, TheLayoutAssignedToTheKindIsTheOneUsed)
{
    report::ReportLayout mio = finModelli::Vuoto();
    auto& l = mio.section(finarpFatBase::kTesta).addControl(report::ControlKind::Label, QStringLiteral("lblMio"));
    l.caption = QStringLiteral("MODELLO DELLO STUDIO");
    l.width = 5000;
    auto& n = mio.section(finarpFatBase::kDettaglio).addControl(report::ControlKind::Field, QStringLiteral("Descrizione"));
    n.dataField = QStringLiteral("Descrizione");
    n.width = 5000;
    report::Report r;
    r.setLayout(mio);
    db::Recordset rs;
    rs.open(QStringLiteral("finData"), session().dataConStr, db::CursorType::Static, db::LockType::Optimistic, db::CommandType::Table);
    rs.addNew();
    rs.setValue(QStringLiteral("finNome"), QStringLiteral("Modello dello studio"));
    rs.setValue(QStringLiteral("finLay"), core::Variant(r.saveLayout()));
    rs.update();
    const auto finId = rs.value(QStringLiteral("finId")).toLong();
    rs.close();
    exec(QStringLiteral("UPDATE finRel SET fnrfinId=%1 WHERE sezId=1 AND fnrDocType=0").arg(finId));

    const QString pdf = esportaPdf(inserisci(fattura()), 0);
    ASSERT_FALSE(pdf.isEmpty());
    const QString t = testoPdf(pdf);
    EXPECT_TRUE(t.contains(QStringLiteral("MODELLO DELLO STUDIO")));
    EXPECT_TRUE(t.contains(QStringLiteral("Redazione del bilancio d'esercizio")));
    EXPECT_FALSE(t.contains(QStringLiteral("Netto dovuto")));
}

TEST_F(DocumentPdfTest, EachDocumentOfABatchStartsOnANewPageWithItsOwnNumbers)
{
    Documento a = fattura();
    a.numero = QStringLiteral("21");
    Documento b = fattura();
    b.numero = QStringLiteral("22");
    b.righe = {{1, QStringLiteral("Parcella unica"), 500}};
    inserisci(a);
    inserisci(b);
    const QString pdf = esportaPdf(0, QStringLiteral("SELECT Fatture.*, CliFor.* FROM Fatture INNER JOIN CliFor ON "
                                                     "Fatture.fatCliForId = CliFor.cliId WHERE fatTipo=0 ORDER BY fatNo"));
    ASSERT_FALSE(pdf.isEmpty());
    ASSERT_EQ(paginePdf(pdf), 2);
    const QString p1 = testoPdf(pdf, 1), p2 = testoPdf(pdf, 2);
    EXPECT_TRUE(p1.contains(QStringLiteral("Fattura N° 21")));
    EXPECT_FALSE(p1.contains(QStringLiteral("Parcella unica")));
    EXPECT_TRUE(p2.contains(QStringLiteral("Fattura N° 22")));
    EXPECT_TRUE(p2.contains(QStringLiteral("Parcella unica")));
    EXPECT_FALSE(p2.contains(QStringLiteral("Consulenza fiscale 2,00")));
    EXPECT_TRUE(p1.contains(QStringLiteral("Pagina 1 di 1")));
    EXPECT_TRUE(p2.contains(QStringLiteral("Pagina 1 di 1")));
}

TEST_F(DocumentPdfTest, EachPreviewKeepsAReportOfItsOwn)
{
    Documento a = fattura();
    Documento b = fattura();
    b.numero = QStringLiteral("99");
    b.righe = {{1, QStringLiteral("Altra prestazione"), 80}};
    auto primo = StampaDocumento(1, 0, session().dataConStr, SqlStampaDocumento(inserisci(a)));
    ASSERT_TRUE(primo);
    report::ReportPreview* anteprima = AnteprimaDocumento(*primo);
    ASSERT_NE(anteprima, nullptr);
    EXPECT_TRUE(anteprima->isVisible());
    EXPECT_EQ(anteprima->pageCount(), 1);
    auto secondo = StampaDocumento(1, 0, session().dataConStr, SqlStampaDocumento(inserisci(b)));
    ASSERT_TRUE(secondo);
    secondo->run();
    primo->run();
    auto testi = [](const report::ReportPages& pages) {
        QStringList t;
        for (const auto& item : pages.page(0).items)
            t << item.text;
        return t.join(QLatin1Char(' '));
    };
    EXPECT_TRUE(testi(primo->pages()).contains(QStringLiteral("Consulenza fiscale")));
    EXPECT_FALSE(testi(primo->pages()).contains(QStringLiteral("Altra prestazione")));
    EXPECT_TRUE(testi(secondo->pages()).contains(QStringLiteral("Altra prestazione")));
    EXPECT_TRUE(testi(anteprima->report().pages()).contains(QStringLiteral("Consulenza fiscale")));
    // A report prints again the same after it ran.
    primo->run();
    EXPECT_EQ(testi(primo->pages()), testi(anteprima->report().pages()));
    anteprima->close();
}

TEST_F(DocumentPdfTest, PictureLogoPrintsInPlaceOfTheTextLogo)
{
    QFile logo(QDir(QStringLiteral(CORVESSA_PROGRAM_DIR)).filePath(QStringLiteral("logo.gen")));
    ASSERT_TRUE(logo.open(QIODevice::ReadOnly));
    db::Recordset mod;
    mod.open(QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=1"), session().dataConStr, db::CursorType::Static, db::LockType::Optimistic);
    mod.setValue(QStringLiteral("modFatIntLogo"), core::Variant(logo.readAll()));
    mod.setValue(QStringLiteral("modFatIntTipo"), core::Variant(std::int16_t(1)));
    mod.update();
    mod.close();
    const QString pdf = esportaPdf(inserisci(fattura()), 0);
    ASSERT_FALSE(pdf.isEmpty());
    const QString t = testoPdf(pdf);
    EXPECT_FALSE(t.contains(QStringLiteral("Studio Rossi")));
    EXPECT_TRUE(t.contains(QStringLiteral("Via Garibaldi 8 - 20121 Milano (MI)")));
    QProcess immagini;
    immagini.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    immagini.waitForFinished(30000);
    const QStringList righe = QString::fromUtf8(immagini.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(righe.size(), 3); // the listing's two heading lines, then the logo alone
    if (qEnvironmentVariableIsSet("CORVESSA_SHOW_PDF"))
        QFile::copy(pdf, QStringLiteral("/tmp/logo.pdf"));
}

} // namespace
