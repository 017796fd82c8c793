#include "reports/ReportsFixture.h"

#include "platform/grid/GridEx.h"
#include "platform/report/ExportFilter.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/ReportPrinter.h"
#include "reports/frmPrintReportMov.h"
#include "startup/SharedState.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QXmlStreamReader>
#include <algorithm>
#include <tuple>

QByteArray ReportsFixture::membroZip(const QString& zip, const QString& membro)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, membro});
    p.waitForFinished(30000);
    return p.readAllStandardOutput();
}

void ReportsFixture::SetUp()
{
    PrintFixture::SetUp();
    ImpostaDataLavoro(QDate(2024, 12, 31));
    session().stampanti = {QStringLiteral("Stampante di prova"), QStringLiteral("Ufficio")};
    session().stampantiDriver = {QStringLiteral("Driver di prova"), QStringLiteral("Driver di prova")};
    session().numStampanti = 2;
    report::ReportPrinter::setPrintOutputHandler([this](const report::ReportPages& pages, const QString& device) {
        Stampata s;
        s.stampante = device;
        s.pagine = pages.count();
        s.pdf = percorso(QStringLiteral("stampa%1.pdf").arg(m_stampe.size() + 1));
        auto pdf = report::ExportFilter::create(QString::fromLatin1(report::ExportFilter::kPdfClassId));
        pdf->setFileName(s.pdf);
        pdf->exportPages(pages);
        m_stampe.append(s);
    });

    exec(QStringLiteral("UPDATE CliFor SET cliTelefono='06 1234567' WHERE cliId=%1").arg(cliente()));
    auto nuovoCliente = [this](const QString& valori) {
        exec(QStringLiteral("INSERT INTO CliFor (cliNome, cliIndirizzo, cliCAP, cliLocalita, cliProvincia, cliPartitaIVA, "
                            "cliCodiceFiscale, cliTelefono, cliMobile, cliFax, sezId, cliShared) VALUES (")
             + valori + QStringLiteral(")"));
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT MAX(cliId) FROM CliFor"), session().dataConStr);
        return rs.value(0).toLong();
    };
    m_bianchi = nuovoCliente(QStringLiteral("'Bianchi Mario', 'Corso Buenos Aires 3', '20124', 'Milano', 'MI', '09876543211', "
                                            "'BNCMRA70A01F205Z', '02 7654321', '333 1234567', NULL, 1, False"));
    m_verdi = nuovoCliente(QStringLiteral("'Verdi S.p.A.', 'Via Po 1', '10121', 'Torino', 'TO', '05555555555', NULL, NULL, "
                                          "NULL, '011 999', 2, True"));
    m_neri = nuovoCliente(QStringLiteral("'Neri Studio', NULL, NULL, 'Napoli', 'NA', NULL, NULL, NULL, NULL, NULL, 2, False"));

    // Totals in the order of Documento::tot.
    auto totali = [](Documento& d, std::initializer_list<double> t) { std::copy(t.begin(), t.end(), d.tot); };

    // Invoice 15 of the print fixture: net 1.640,07, collected in two parts.
    m_fattura15 = inserisci(fattura());
    // Invoice 16/A: 1.000,00 at 22%, no surcharge nor withholding; 100 collected.
    Documento d16;
    d16.numero = QStringLiteral("16");
    d16.prefisso = QStringLiteral("'A'");
    d16.data = QDate(2024, 4, 10);
    d16.cliente = m_bianchi;
    d16.righe = {{1, QStringLiteral("Dichiarazione dei redditi"), 1000}};
    d16.iva = {{QStringLiteral("22"), 1000, 0, 1000, 220, 1220, 0}};
    totali(d16, {1000, 0, 1000, 220, 1220, 0, 1220});
    m_fattura16 = inserisci(d16);
    // Invoice 17: 250,00 at 10%, not collected.
    Documento d17 = d16;
    d17.numero = QStringLiteral("17");
    d17.prefisso = QStringLiteral("NULL");
    d17.data = QDate(2024, 6, 1);
    d17.righe = {{2, QStringLiteral("Visura camerale"), 125, QStringLiteral("10")}};
    d17.iva = {{QStringLiteral("10"), 250, 0, 250, 25, 275, 0}};
    totali(d17, {250, 0, 250, 25, 275, 0, 275});
    m_fattura17 = inserisci(d17);
    // A credit note and a pro forma.
    Documento nota = d17;
    nota.tipo = 1;
    nota.numero = QStringLiteral("18");
    nota.data = QDate(2024, 7, 1);
    nota.righe = {{1, QStringLiteral("Storno visura"), -125, QStringLiteral("10")}};
    nota.iva = {{QStringLiteral("10"), -125, 0, -125, -12.5, -137.5, 0}};
    totali(nota, {-125, 0, -125, -12.5, -137.5, 0, -137.5});
    inserisci(nota);
    Documento proforma = d17;
    proforma.tipo = 2;
    proforma.numero = QStringLiteral("0");
    proforma.data = QDate(2024, 9, 1);
    proforma.cliente = cliente();
    inserisci(proforma);
    // An invoice of another year, outside the default range.
    Documento vecchia = d17;
    vecchia.numero = QStringLiteral("40");
    vecchia.data = QDate(2023, 11, 30);
    inserisci(vecchia);

    for (const auto& [fattura, importo] : {std::pair{m_fattura15, QStringLiteral("1000")}, std::pair{m_fattura15, QStringLiteral("640.07")},
                                           std::pair{m_fattura16, QStringLiteral("100")}})
        exec(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto, incDescrizione) VALUES (%1, #05/02/2024#, %2, 'Bonifico')")
                 .arg(fattura)
                 .arg(importo));

    for (const auto& [descrizione, cli, importo] :
         {std::tuple{"Consulenza fiscale", cliente(), "150"}, std::tuple{"Tenuta contabilità", m_bianchi, "1200"},
          std::tuple{"Visura camerale", 0, "35.5"}})
        exec(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) "
                            "VALUES ('%1', '22', %2, 1, %3)")
                 .arg(QString::fromUtf8(descrizione), QString::fromLatin1(importo))
                 .arg(cli));
}

void ReportsFixture::TearDown()
{
    frmPrintReportMov::Unload();
    report::ReportPrinter::setPrintOutputHandler(nullptr);
    PrintFixture::TearDown();
}

frmPrintReportMov* ReportsFixture::apri(int id)
{
    frmPrintReportMov::Stampa(QStringLiteral("Stampante di prova"));
    m_scelta = frmPrintReportMov::instance();
    scegli(id);
    return m_scelta;
}

void ReportsFixture::scegli(int id)
{
    m_scelta->GridEX1->setRow(id);
}

void ReportsFixture::anteprima()
{
    m_scelta->cmdPreview->click();
}

void ReportsFixture::stampa()
{
    m_scelta->cmdOK->click();
}

void ReportsFixture::esporta(int modo)
{
    m_scelta->mnuexp.at(modo)->trigger();
}

QString ReportsFixture::esportaIn(int modo, const QString& nome)
{
    const QString file = percorso(nome);
    m_dialogs.answerSaveFile(file);
    esporta(modo);
    return QFile::exists(file) ? file : QString();
}

QMap<QString, ReportsFixture::Cella> ReportsFixture::celleXlsx(const QString& path)
{
    QStringList condivise;
    QXmlStreamReader ss(membroZip(path, QStringLiteral("xl/sharedStrings.xml")));
    QString corrente;
    while (!ss.atEnd()) {
        ss.readNext();
        if (ss.isStartElement() && ss.name() == QLatin1String("si"))
            corrente.clear();
        else if (ss.isStartElement() && ss.name() == QLatin1String("t"))
            corrente += ss.readElementText();
        else if (ss.isEndElement() && ss.name() == QLatin1String("si"))
            condivise << corrente;
    }
    QMap<QString, Cella> celle;
    QXmlStreamReader xml(membroZip(path, QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref;
    bool testo = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("c")) {
            ref = xml.attributes().value(QLatin1String("r")).toString();
            testo = xml.attributes().value(QLatin1String("t")) == QLatin1String("s");
        } else if (xml.isStartElement() && xml.name() == QLatin1String("v")) {
            const QString v = xml.readElementText();
            celle[ref] = testo ? Cella{condivise.value(v.toInt()), false} : Cella{v, true};
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return celle;
}

QStringList ReportsFixture::testiHtml(const QString& path)
{
    // A strict reading: every element closed in order, and the texts in document order.
    static const char* script = R"(
import sys, html.parser
class P(html.parser.HTMLParser):
    VOID = {'meta', 'img', 'br', 'link'}
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack, self.texts = [], []
    def handle_starttag(self, tag, attrs):
        if tag not in self.VOID: self.stack.append(tag)
    def handle_endtag(self, tag):
        if not self.stack or self.stack.pop() != tag: sys.exit('misnested ' + tag)
    def handle_data(self, data):
        if data.strip() and self.stack and self.stack[-1] == 'div': self.texts.append(data)
p = P()
p.feed(open(sys.argv[1], encoding='utf-8').read()); p.close()
if p.stack: sys.exit('unclosed ' + ' '.join(p.stack))
sys.stdout.write('\n'.join(p.texts))
)";
    QProcess p;
    p.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(script), path});
    p.waitForFinished(30000);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString ReportsFixture::testoPagine(const QWidget* w)
{
    const auto* anteprima = qobject_cast<const report::ReportPreview*>(w);
    if (!anteprima)
        return {};
    QStringList testi;
    for (const auto& pagina : const_cast<report::ReportPreview*>(anteprima)->report().pages().pages)
        for (const auto& item : pagina.items)
            if (item.type == report::PageItem::Type::Text && !item.text.trimmed().isEmpty())
                testi << item.text;
    return testi.join(QLatin1Char(' '));
}
