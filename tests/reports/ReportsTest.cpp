// The seven reports run from the chooser over a year of a professional's
// documents: previewed, printed on the chosen printer, exported to each of
// their formats, and read back.
#include "reports/ReportsFixture.h"

#include "domain/ReportQueries.h"
#include "platform/database/Recordset.h"
#include "platform/grid/GridEx.h"
#include "platform/report/ReportPreview.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/MsgBoxStyle.h"
#include "output/EsportaReport.h"
#include "output/comfrmPrintProgress.h"
#include "reports/frmPrintReportMov.h"
#include "startup/SharedState.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <memory>

namespace {

QString leggi(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The progress window as the user sees it: its caption the first time it
// shows, and (when asked) a mouse click on its "Annulla" at once.
class Utente {
public:
    explicit Utente(bool annulla) : m_annulla(annulla)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* p = qobject_cast<comfrmPrintProgress*>(w);
                if (!p || !p->isVisible())
                    continue;
                if (dove.isEmpty())
                    dove = p->lblPrintWhere->text();
                if (m_annulla && p->cmdCancel->isEnabled())
                    QTest::mouseClick(p->cmdCancel, Qt::LeftButton);
            }
        });
        m_timer.start(0);
    }
    QString dove;

private:
    bool m_annulla;
    QTimer m_timer;
};

} // namespace

using ReportsTest = ReportsFixture;

// Whole documents and a list, previewed, exported and printed: each run
// stands under the progress window, and Annulla leaves no file, no preview
// and no print behind, says nothing, and the chooser goes on.
TEST_F(ReportsTest, EveryRunShowsTheProgressWindowAndAnnullaLeavesNothing)
{
    for (int id : {1, 2}) {
        SCOPED_TRACE(id);
        frmPrintReportMov* f = apri(id);
        {
            Utente utente(false);
            anteprima();
            EXPECT_EQ(utente.dove, QStringLiteral("Anteprima del documento"));
            ASSERT_EQ(f->Anteprime().size(), 1);
            f->Anteprime().first()->close();
        }
        {
            Utente utente(false);
            EXPECT_FALSE(esportaIn(kModoPdf, QStringLiteral("prima.pdf")).isEmpty());
            EXPECT_EQ(utente.dove, QStringLiteral("Esportazione in PDF"));
        }
        QCoreApplication::processEvents();
        const QDir cartella = QFileInfo(percorso(QStringLiteral("x"))).dir();
        const QStringList file = cartella.entryList(QDir::Files | QDir::Hidden);
        for (int modo : {kModoAnteprima, kModoPdf, kModoStampa}) {
            SCOPED_TRACE(modo);
            Utente utente(true);
            // No save dialog is answered: one asked would fail the test.
            if (modo == kModoAnteprima)
                anteprima();
            else if (modo == kModoStampa)
                stampa();
            else
                esporta(modo);
            EXPECT_FALSE(utente.dove.isEmpty());
        }
        EXPECT_TRUE(f->Anteprime().isEmpty());
        EXPECT_TRUE(m_stampe.isEmpty());
        EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.messages().join('\n').toStdString();
        EXPECT_EQ(cartella.entryList(QDir::Files | QDir::Hidden), file);
        // The chooser goes on as before.
        EXPECT_FALSE(esportaIn(kModoPdf, QStringLiteral("dopo.pdf")).isEmpty());
        frmPrintReportMov::Unload();
    }
}

TEST_F(ReportsTest, EachListPreviewsPrintsOnTheChosenPrinterAndExportsToEveryFormat)
{
    const struct {
        int report;
        QStringList testi;     // in the preview, the print, the PDF and the HTML
        std::vector<double> numeri; // number cells of the workbook
    } cases[] = {
        {2,
         {"Lista Documenti", "Documenti: Fatture dal 01/01/24 al 31/12/24", "D'Amico Consulting S.r.l.", "Bianchi Mario",
          "1.595,88", "2.845,88", "596,09", "3.441,97", "306,90"},
         {1595.88, 2845.88, 596.09, 3441.97, 306.9}},
        {3,
         {"Totale Importi per Cliente", "IVA ridotta 10%", "1.250,00", "1.495,00", "2.784,50", "2.845,88", "3.441,97"},
         {250, 1495, 2845.88, 3441.97}},
        {4, {"Listino Prestazioni", "D'Amico Consulting S.r.l.", "Consulenza fiscale", "Tenuta contabilità", "1.200,00"}, {150, 1200}},
        {5, {"Rubrica", "B", "Bianchi Mario", "Milano", "333 1234567", "V", "Verdi S.p.A.", "011 999"}, {}},
        {6, {"Corso Buenos Aires 3", "20124", "MI", "09876543211", "BNCMRA70A01F205Z"}, {}},
        {7,
         {"Fatture non saldate dal 01/01/24 al 31/12/24", "Bianchi Mario [Milano] - tel.: 02 7654321", "16A", "1.120,00",
          "Totali Cliente", "1.395,00", "Totali stampa"},
         {1220, 100, 1120, 275, 1495, 1395}},
    };
    frmPrintReportMov* f = apri();
    f->cmbPrinters->setCurrentIndex(1); // "Ufficio"
    for (const auto& c : cases) {
        SCOPED_TRACE("report " + std::to_string(c.report));
        scegli(c.report);

        anteprima();
        ASSERT_EQ(f->Anteprime().size(), 1);
        report::ReportPreview* preview = f->Anteprime().first();
        EXPECT_GE(preview->pageCount(), 1);
        const QString mostrato = testoPagine(preview);
        preview->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        stampa();
        ASSERT_FALSE(m_stampe.isEmpty());
        EXPECT_EQ(m_stampe.last().stampante, QStringLiteral("Ufficio"));
        const QString stampato = testoPdf(m_stampe.last().pdf);

        const QString nome = QStringLiteral("report%1").arg(c.report);
        const QString pdf = esportaIn(kModoPdf, nome + QStringLiteral(".pdf"));
        const QString xlsx = esportaIn(kModoExcel, nome + QStringLiteral(".xlsx"));
        const QString rtf = esportaIn(kModoRtf, nome + QStringLiteral(".rtf"));
        const QString html = esportaIn(kModoHtml, nome + QStringLiteral(".html"));
        ASSERT_FALSE(pdf.isEmpty());
        ASSERT_FALSE(xlsx.isEmpty());
        ASSERT_FALSE(rtf.isEmpty());
        ASSERT_FALSE(html.isEmpty());
        const QString esportato = testoPdf(pdf);
        const QStringList testiHtml = ReportsFixture::testiHtml(html);
        for (const QString& t : c.testi) {
            EXPECT_TRUE(mostrato.contains(t)) << "preview: " << t.toStdString();
            EXPECT_TRUE(stampato.contains(t)) << "print: " << t.toStdString();
            EXPECT_TRUE(esportato.contains(t)) << "pdf: " << t.toStdString();
            EXPECT_TRUE(testiHtml.contains(t)) << "html: " << t.toStdString();
        }
        EXPECT_TRUE(leggi(rtf).startsWith(QLatin1String("{\\rtf")));

        const auto celle = celleXlsx(xlsx);
        for (double atteso : c.numeri) {
            bool trovato = false;
            for (const Cella& cella : celle)
                trovato = trovato || (cella.numero && std::abs(cella.testo.toDouble() - atteso) < 0.0001);
            EXPECT_TRUE(trovato) << "number cell " << atteso;
        }
        for (const Cella& cella : celle)
            EXPECT_FALSE(!cella.numero && cella.testo.contains(QRegularExpression(QStringLiteral("^-?[0-9.]+,[0-9]{2}$"))))
                << "an amount written as text: " << cella.testo.toStdString();
    }
    // The save dialog asked for the formats by their own extensions.
    const auto richieste = m_dialogs.requests(ui::DialogKind::SaveFile);
    ASSERT_EQ(richieste.size(), 24);
    EXPECT_EQ(richieste[1].filter, QStringLiteral("Microsoft Excel (*.xlsx)|*.xlsx"));
    EXPECT_EQ(richieste[1].defaultExt, QStringLiteral(".xlsx"));
    EXPECT_EQ(richieste[3].filter, QStringLiteral("Formato HTML (*.html)|*.html"));
}

TEST_F(ReportsTest, TheHtmlExportShowsTheRowsOfThePreview)
{
    frmPrintReportMov* f = apri(2);
    anteprima();
    ASSERT_EQ(f->Anteprime().size(), 1);
    const QString mostrato = testoPagine(f->Anteprime().first());
    const QString html = esportaIn(kModoHtml, QStringLiteral("lista.html"));
    ASSERT_FALSE(html.isEmpty());
    EXPECT_EQ(testiHtml(html).join(QLatin1Char(' ')), mostrato);
}

TEST_F(ReportsTest, DocumentsPrintWholeDocumentsEachOnItsOwnPages)
{
    frmPrintReportMov* f = apri(1);
    f->cmbPrinters->setCurrentIndex(1);
    const QString pdf = esportaIn(kModoPdf, QStringLiteral("documenti.pdf"));
    ASSERT_FALSE(pdf.isEmpty());
    ASSERT_EQ(paginePdf(pdf), 3);
    EXPECT_TRUE(testoPdf(pdf, 1).contains(QStringLiteral("D'Amico Consulting S.r.l.")));
    EXPECT_TRUE(testoPdf(pdf, 1).contains(QStringLiteral("1.640,07")));
    EXPECT_TRUE(testoPdf(pdf, 2).contains(QStringLiteral("16/A")));
    EXPECT_TRUE(testoPdf(pdf, 2).contains(QStringLiteral("Dichiarazione dei redditi")));
    EXPECT_FALSE(testoPdf(pdf, 2).contains(QStringLiteral("D'Amico")));
    EXPECT_TRUE(testoPdf(pdf, 3).contains(QStringLiteral("Visura camerale")));

    stampa();
    ASSERT_EQ(m_stampe.size(), 1);
    EXPECT_EQ(m_stampe.last().stampante, QStringLiteral("Ufficio"));
    EXPECT_EQ(m_stampe.last().pagine, 3);
    // A double click on the report prints it too.
    Q_EMIT f->GridEX1->dblClick();
    ASSERT_EQ(m_stampe.size(), 2);
    EXPECT_EQ(m_stampe.last().pagine, 3);

    anteprima();
    ASSERT_EQ(f->Anteprime().size(), 1);
    EXPECT_EQ(f->Anteprime().first()->pageCount(), 3);
    EXPECT_EQ(f->Anteprime().first()->objectName(), QStringLiteral("finarpFatBase"));

    // The credit notes of one client: one document.
    f->optview[1]->click();
    f->cmbCli->setCurrentText(QStringLiteral("Bianchi Mario"));
    const QString note = esportaIn(kModoPdf, QStringLiteral("note.pdf"));
    EXPECT_EQ(paginePdf(note), 1);
    EXPECT_TRUE(testoPdf(note).contains(QStringLiteral("Storno visura")));

    // Nothing in the range: said, and nothing asked.
    f->Dat1->setDate(QDate(2025, 1, 1));
    f->Dat2->setDate(QDate(2025, 12, 31));
    m_dialogs.answerMessageBox(ui::vbOK);
    esporta(kModoPdf);
    EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("Nessun documento da stampare")});
}

TEST_F(ReportsTest, CollectionsListTheUnpaidInvoicesWithWhatIsLeftToCollect)
{
    frmPrintReportMov* f = apri(7);
    f->optview[2]->click(); // pro formas for report 1: report 7 still lists invoices only
    const QString solo = testoPdf(esportaIn(kModoPdf, QStringLiteral("nonsaldate.pdf")));
    EXPECT_TRUE(solo.contains(QStringLiteral("16A Bonifico bancario 30 gg d.f. 1.220,00 100,00 1.120,00"))) << solo.toStdString();
    EXPECT_TRUE(solo.contains(QStringLiteral("17 Bonifico bancario 30 gg d.f. 275,00 0,00 275,00"))) << solo.toStdString();
    EXPECT_FALSE(solo.contains(QStringLiteral("D'Amico"))) << "the paid invoice is left out";
    EXPECT_TRUE(solo.contains(QStringLiteral("Totali stampa 1.495,00 100,00 1.395,00"))) << solo.toStdString();

    f->optview[5]->click();
    const QString tutte = testoPdf(esportaIn(kModoPdf, QStringLiteral("tutte.pdf")));
    EXPECT_TRUE(tutte.contains(QStringLiteral("Tutte le Fatture dal 01/01/24 al 31/12/24")));
    EXPECT_TRUE(tutte.contains(QStringLiteral("15 Bonifico bancario 30 gg d.f. 1.640,07 1.640,07 0,00"))) << tutte.toStdString();
    EXPECT_TRUE(tutte.contains(QStringLiteral("Totali stampa 3.135,07 1.740,07 1.395,00"))) << tutte.toStdString();
}

TEST_F(ReportsTest, ThePriceListShowsTheGeneralServicesWhenAsked)
{
    frmPrintReportMov* f = apri(4);
    const QString senza = testoPdf(esportaIn(kModoPdf, QStringLiteral("listino.pdf")));
    EXPECT_FALSE(senza.contains(QStringLiteral("Visura camerale")));
    f->chkFilter->setChecked(true);
    const QString con = testoPdf(esportaIn(kModoPdf, QStringLiteral("listino-tutto.pdf")));
    EXPECT_TRUE(con.contains(QStringLiteral("(Prestazioni non associate) 22 Visura camerale 35,50"))) << con.toStdString();
    EXPECT_TRUE(con.contains(QStringLiteral("Bianchi Mario 22 Tenuta contabilità 1.200,00"))) << con.toStdString();
}

TEST_F(ReportsTest, AnExportLookNeverReachesTheNextRun)
{
    frmPrintReportMov* f = apri(6);
    const QString xlsx = esportaIn(kModoExcel, QStringLiteral("clienti.xlsx"));
    ASSERT_FALSE(xlsx.isEmpty());
    // The flat table: headings once, no title.
    const auto celle = celleXlsx(xlsx);
    EXPECT_EQ(celle.value(QStringLiteral("A1")).testo, QStringLiteral("Nome"));
    for (const Cella& c : celle)
        EXPECT_NE(c.testo, QStringLiteral("Clienti"));
    // The next preview and print show the whole layout again.
    anteprima();
    ASSERT_EQ(f->Anteprime().size(), 1);
    EXPECT_TRUE(testoPagine(f->Anteprime().first()).startsWith(QStringLiteral("Clienti Nome")));
    stampa();
    ASSERT_EQ(m_stampe.size(), 1);
    EXPECT_TRUE(testoPdf(m_stampe.last().pdf).startsWith(QStringLiteral("Clienti Nome")));

    // The address book's Excel export drops its rules; the next print has them.
    scegli(5);
    ASSERT_FALSE(esportaIn(kModoExcel, QStringLiteral("rubrica.xlsx")).isEmpty());
    f->Anteprime().first()->close();
    anteprima();
    int righe = 0;
    for (const auto& pagina : f->Anteprime().last()->report().pages().pages)
        for (const auto& item : pagina.items)
            righe += item.type == report::PageItem::Type::Line;
    EXPECT_GE(righe, 3); // Line5, Line2 and a Line3 per initial
}

TEST_F(ReportsTest, AFailedExportLeavesNoFileTellsWhyAndTheChooserGoesOn)
{
    apri(2);
    // A folder that is not there stands for one that cannot be written (the tests may run as root).
    const QString chiusa = percorso(QStringLiteral("non esiste"));
    const QString cartella = percorso(QStringLiteral("una cartella.xlsx"));
    ASSERT_TRUE(QDir().mkpath(cartella));
    const struct {
        const char* caso;
        int modo;
        QString file;
    } cases[] = {
        {"a folder that cannot be written", kModoExcel, QDir(chiusa).filePath(QStringLiteral("lista.xlsx"))},
        {"a folder that cannot be written", kModoPdf, QDir(chiusa).filePath(QStringLiteral("lista.pdf"))},
        {"a target that is a folder", kModoExcel, cartella},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caso);
        restartDialogs();
        m_dialogs.answerSaveFile(c.file);
        m_dialogs.answerMessageBox(ui::vbOK);
        esporta(c.modo);
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_TRUE(m_dialogs.messages().first().startsWith(QStringLiteral("Esportazione in "))) << m_dialogs.messages().first().toStdString();
        EXPECT_TRUE(m_dialogs.messages().first().contains(c.file)) << m_dialogs.messages().first().toStdString();
        const QFileInfo info(c.file);
        EXPECT_FALSE(info.isFile());
        EXPECT_TRUE(QDir(info.absolutePath()).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden).isEmpty());
    }

    // The chooser goes on: the next export is written.
    restartDialogs();
    EXPECT_FALSE(esportaIn(kModoExcel, QStringLiteral("lista.xlsx")).isEmpty());
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(ReportsTest, AnExportThatFailsHalfWayKeepsThePreviousFile)
{
    // A cell text longer than a worksheet takes makes the workbook fail as it is written.
    report::Report rpt;
    rpt.section(QStringLiteral("Detail")).addControl(report::ControlKind::Label, QStringLiteral("lblLungo")).caption =
        QString(40000, QLatin1Char('x'));
    rpt.fields().add(QStringLiteral("n"));
    auto righe = std::make_shared<int>(0);
    rpt.setStartHandler([righe](report::Report&) { *righe = 0; });
    rpt.setFetchData([righe](report::Report&, bool& eof) { eof = ++*righe > 1; });
    const QString file = percorso(QStringLiteral("esistente.xlsx"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("il foglio di prima");
    }
    m_dialogs.answerSaveFile(file);
    m_dialogs.answerMessageBox(ui::vbOK);
    EXPECT_FALSE(EsportaReport(rpt, kModoExcel));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().startsWith(QStringLiteral("Esportazione in Excel non riuscita.\n")));
    EXPECT_EQ(leggi(file), QStringLiteral("il foglio di prima"));
    EXPECT_TRUE(QDir(m_home.path()).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ReportsTest, AnEmptyResultAndAFailingQueryAreToldAndNothingIsWritten)
{
    frmPrintReportMov* f = apri(2);
    f->Dat1->setDate(QDate(2031, 1, 1));
    f->Dat2->setDate(QDate(2031, 12, 31));
    m_dialogs.answerMessageBox(ui::vbOK).answerMessageBox(ui::vbOK).answerMessageBox(ui::vbOK);
    anteprima();
    stampa();
    esporta(kModoExcel);
    EXPECT_EQ(m_dialogs.messages(), QStringList(3, QStringLiteral("Nessun dato da stampare con i filtri scelti.")));
    EXPECT_TRUE(m_dialogs.requests(ui::DialogKind::SaveFile).isEmpty());
    EXPECT_TRUE(m_stampe.isEmpty());
    EXPECT_TRUE(f->Anteprime().isEmpty());

    // A database that lost a table: the query fails, the user is told, the chooser stays.
    exec(QStringLiteral("DROP TABLE Incassi"));
    scegli(7);
    restartDialogs();
    m_dialogs.answerMessageBox(ui::vbOK);
    anteprima();
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().startsWith(QStringLiteral("Impossibile eseguire la stampa.\n")))
        << m_dialogs.messages().first().toStdString();
    EXPECT_TRUE(f->isVisible());
    scegli(5);
    anteprima();
    EXPECT_EQ(f->Anteprime().size(), 1);
}

// The file chosen is the one written, whatever its name holds, and the next
// export proposes the report's name in that folder.
TEST_F(ReportsFixture, AnExportWritesTheChosenFileAndTheNextProposesTheReportsNameInItsFolder)
{
    session().regKeySettings = QStringLiteral("Software\\Vantrel\\Corvessa\\Settings");
    const QString documenti = QDir::home().filePath(QStringLiteral("Documents"));
    ASSERT_TRUE(QDir().mkpath(documenti));
    const QString cartella = QDir::home().filePath(QStringLiteral("Esportazioni 2026"));
    ASSERT_TRUE(QDir().mkpath(cartella));
    const QString scelto = QDir(cartella).filePath(QStringLiteral("Incassi dell'anno \"2026\".pdf"));
    apri(7);
    for (const QString& file : {scelto, QDir(cartella).filePath(QStringLiteral("copia.pdf"))})
        m_dialogs.answerSaveFile(file);
    esporta(kModoPdf);
    esporta(kModoPdf);

    const auto richieste = m_dialogs.requests(ui::DialogKind::SaveFile);
    ASSERT_EQ(richieste.size(), 2);
    EXPECT_EQ(QDir::fromNativeSeparators(richieste[0].initialDir), documenti);
    EXPECT_EQ(QDir::fromNativeSeparators(richieste[0].text), QDir(documenti).filePath(QStringLiteral("Incassi.pdf")));
    EXPECT_EQ(QDir::fromNativeSeparators(richieste[1].initialDir), cartella);
    EXPECT_EQ(QDir::fromNativeSeparators(richieste[1].text), QDir(cartella).filePath(QStringLiteral("Incassi.pdf")));
    EXPECT_TRUE(testoPdf(scelto).contains(QStringLiteral("Incassi")));
    EXPECT_EQ(QDir(cartella).entryList(QDir::Files, QDir::Name), (QStringList{QStringLiteral("Incassi dell'anno \"2026\".pdf"),
                                                                           QStringLiteral("copia.pdf")}));
}

TEST_F(ReportsTest, TheAddressBookGroupsByInitialWhateverItsCaseOrAccent)
{
    for (const char* nome : {"Russo Carlo", "ruggeri anna", "Rossi Mario", "rossi luca", "Ferri Ugo", "Esposito Anna",
                             "\xC3\xA9" "clair Studio", "\xC3\x89" "tude Neri"})
        exec(QStringLiteral("INSERT INTO CliFor (cliNome, sezId, cliShared) VALUES ('%1', 1, False)").arg(QString::fromUtf8(nome)));
    frmPrintReportMov* f = apri(5);
    anteprima();
    ASSERT_EQ(f->Anteprime().size(), 1);
    const QString testo = testoPagine(f->Anteprime().first());
    EXPECT_TRUE(testo.contains(QStringLiteral("R rossi luca Rossi Mario ruggeri anna Russo Carlo V "))) << testo.toStdString();
    EXPECT_TRUE(testo.contains(QString::fromUtf8("E \xC3\xA9" "clair Studio Esposito Anna \xC3\x89" "tude Neri F Ferri Ugo")))
        << testo.toStdString();
    EXPECT_FALSE(testo.contains(QStringLiteral(" r "))) << testo.toStdString();
    EXPECT_FALSE(testo.contains(QString::fromUtf8(" \xC3\xA9 "))) << testo.toStdString();
}

TEST_F(ReportsTest, AnEmptyTextReadsAsMissingInTheCollectionsHeader)
{
    // The client form stores '' for a box left empty.
    const struct {
        const char* localita;
        const char* telefono;
        const char* atteso;
    } cases[] = {
        {"NULL", "NULL", "Bianchi Mario"},
        {"''", "''", "Bianchi Mario"},
        {"'Milano'", "''", "Bianchi Mario [Milano]"},
        {"''", "'02 7654321'", "Bianchi Mario - tel.: 02 7654321"},
        {"NULL", "''", "Bianchi Mario"},
        {"'Milano'", "'02 7654321'", "Bianchi Mario [Milano] - tel.: 02 7654321"},
    };
    FiltriReport filtri;
    filtri.sezId = 1;
    filtri.dal = QDate(2024, 1, 1);
    filtri.al = QDate(2024, 12, 31);
    filtri.cliente = m_bianchi;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.localita) + " " + c.telefono);
        exec(QStringLiteral("UPDATE CliFor SET cliLocalita=%1, cliTelefono=%2 WHERE cliId=%3")
                 .arg(QString::fromLatin1(c.localita), QString::fromLatin1(c.telefono))
                 .arg(m_bianchi));
        db::Recordset rs;
        rs.open(SqlIncassi(filtri), session().dataConStr);
        ASSERT_FALSE(rs.eof());
        EXPECT_EQ(rs.value(QStringLiteral("Cliente")).toString().toStdString(), c.atteso);
    }
}

TEST_F(ReportsTest, TheWorkbookHoldsDatesAsDatesAndItsHeadingsOnce)
{
    // Enough invoices for several printed pages, each with its column headings.
    for (int n = 100; n < 220; ++n) {
        Documento d;
        d.numero = QString::number(n);
        d.data = QDate(2024, 6, 3);
        inserisci(d);
    }
    frmPrintReportMov* f = apri(2);
    anteprima();
    ASSERT_EQ(f->Anteprime().size(), 1);
    ASSERT_GE(f->Anteprime().first()->pageCount(), 3);
    const QString xlsx = esportaIn(kModoExcel, QStringLiteral("lista.xlsx"));
    ASSERT_FALSE(xlsx.isEmpty());
    const auto celle = celleXlsx(xlsx);
    QMap<QString, int> volte;
    for (const Cella& c : celle)
        if (!c.numero)
            ++volte[c.testo];
    EXPECT_EQ(volte.value(QStringLiteral("Lista Documenti")), 1);
    EXPECT_EQ(volte.value(QStringLiteral("Data")), 1);
    EXPECT_EQ(volte.value(QStringLiteral("Cliente")), 1);
    EXPECT_EQ(volte.value(QStringLiteral("03/06/2024")) + volte.value(QStringLiteral("03/06/24")), 0) << "a date written as text";

    // 3 June 2024 is day 45446 of the sheet's calendar, shown the Italian way.
    int date = 0;
    for (const Cella& c : celle)
        date += c.numero && c.testo == QStringLiteral("45446") ? 1 : 0;
    EXPECT_EQ(date, 120);
    EXPECT_TRUE(QString::fromUtf8(membroZip(xlsx, QStringLiteral("xl/styles.xml"))).contains(QStringLiteral("formatCode=\"dd/mm/yyyy\"")));
}
