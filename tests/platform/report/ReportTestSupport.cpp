#include "ReportTestSupport.h"

#include <QPainter>

namespace report::test {

namespace {
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);
}

std::vector<SampleLine> sampleLines()
{
    std::vector<SampleLine> lines;
    // Document 1 runs over three pages; document 2 fits on one.
    for (int i = 1; i <= 100; ++i)
        lines.push_back({1, QStringLiteral("Consulenza %1").arg(i), core::Currency::fromRaw(i * 12345),
                         i <= 60 ? QStringLiteral("22") : QStringLiteral("10")});
    lines.push_back({2, QStringLiteral("Parere scritto"), core::Currency::fromUnits(250), QStringLiteral("22")});
    lines.push_back({2, QStringLiteral("Omaggio"), core::Currency(), QStringLiteral("22")});
    lines.push_back({2, QStringLiteral("Trasferta"), core::Currency::fromRaw(1234567), QStringLiteral("22")});
    return lines;
}

QImage samplePicture()
{
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(QColor(200, 30, 30));
    QPainter p(&image);
    p.fillRect(0, 0, 20, 20, QColor(30, 30, 200));
    return image;
}

ReportControl& addLabel(ReportSection& s, const QString& name, const QString& caption, double left, double top, double width)
{
    auto& c = s.addControl(ControlKind::Label, name);
    c.caption = caption;
    c.left = left;
    c.top = top;
    c.width = width;
    return c;
}

ReportControl& addField(ReportSection& s, const QString& name, const QString& dataField, double left, double top, double width)
{
    auto& c = s.addControl(ControlKind::Field, name);
    c.dataField = dataField;
    c.caption = QStringLiteral(".") + dataField;
    c.left = left;
    c.top = top;
    c.width = width;
    return c;
}

Report sampleReport(const std::vector<SampleLine>& lines)
{
    Report r;
    ReportLayout layout;
    const QString money = QStringLiteral("#,##0.00;-#,##0.00; ");

    auto& rh = layout.addSection(SectionKind::ReportHeader, QStringLiteral("ReportHeader"), 400);
    addLabel(rh, QStringLiteral("lblTitolo"), QStringLiteral("Elenco prestazioni"), 0, 0, 5000).font.bold = true;
    auto& ph = layout.addSection(SectionKind::PageHeader, QStringLiteral("PageHeader"), 300);
    addLabel(ph, QStringLiteral("lblDescrizione"), QStringLiteral("Descrizione"), 0, 0);
    addLabel(ph, QStringLiteral("lblImporto"), QStringLiteral("Importo"), 6000, 0).alignment = HorizontalAlignment::Right;
    auto& line = ph.addControl(ControlKind::Line, QStringLiteral("Line2"));
    line.top = 290;
    line.width = 9000;
    layout.addSection(SectionKind::Detail, QStringLiteral("Dettaglio"), 285);
    auto& pf = layout.addSection(SectionKind::PageFooter, QStringLiteral("PageFooter"), 300);
    addLabel(pf, QStringLiteral("lblPagina"), QStringLiteral("Pagina"), 6000, 0, 700);
    auto& pagina = addField(pf, QStringLiteral("PAGINA"), {}, 6700, 0, 400);
    pagina.summaryType = SummaryType::PageCount;
    pagina.summaryRunning = SummaryRunning::Group;
    pagina.summaryGroup = QStringLiteral("Testa");
    addLabel(pf, QStringLiteral("lblDi"), QStringLiteral("di"), 7100, 0, 300);
    auto& pagine = addField(pf, QStringLiteral("PAGINE"), {}, 7400, 0, 400);
    pagine.summaryType = SummaryType::PageCount;
    pagine.summaryGroup = QStringLiteral("Testa");
    auto& rf = layout.addSection(SectionKind::ReportFooter, QStringLiteral("ReportFooter"), 300);
    addLabel(rf, QStringLiteral("lblTotali"), QStringLiteral("Totale stampa"), 0, 0);
    auto& grand = addField(rf, QStringLiteral("txtTotale"), QStringLiteral("Importo"), 6000, 0);
    grand.summaryType = SummaryType::GrandTotal;
    grand.outputFormat = money;
    grand.alignment = HorizontalAlignment::Right;

    auto& testa = layout.addGroup(QStringLiteral("Testa"), QStringLiteral("Calce"), QStringLiteral("fatId"), 900, 300);
    testa.newPage = NewPage::Before;
    testa.repeatOnEveryPage = true;
    addLabel(testa, QStringLiteral("lblDocumento"), QStringLiteral("Documento"), 0, 0, 1200);
    addField(testa, QStringLiteral("txtfatId"), QStringLiteral("fatId"), 1200, 0, 600);
    auto& logo = testa.addControl(ControlKind::Picture, QStringLiteral("imgLogo"));
    logo.left = 7000;
    logo.width = 1600;
    logo.height = 800;
    auto& iva = layout.addGroup(QStringLiteral("GruppoIva"), QStringLiteral("PiedeIva"), {}, 285, 285);
    addLabel(iva, QStringLiteral("lblIva"), QStringLiteral("Aliquota"), 0, 0, 1000);
    addField(iva, QStringLiteral("txtIva"), QStringLiteral("CodiceIva"), 1000, 0, 600);
    auto& pieIva = layout.section(QStringLiteral("PiedeIva"));
    addLabel(pieIva, QStringLiteral("lblTotIva"), QStringLiteral("Totale aliquota"), 0, 0);
    auto& subIva = addField(pieIva, QStringLiteral("txtTotIva"), QStringLiteral("Importo"), 6000, 0);
    subIva.summaryType = SummaryType::SubTotal;
    subIva.summaryGroup = QStringLiteral("GruppoIva");
    subIva.outputFormat = money;
    subIva.alignment = HorizontalAlignment::Right;
    auto& calce = layout.section(QStringLiteral("Calce"));
    addLabel(calce, QStringLiteral("lblTotDoc"), QStringLiteral("Totale documento"), 0, 0);
    auto& subDoc = addField(calce, QStringLiteral("txtTotDoc"), QStringLiteral("Importo"), 6000, 0);
    subDoc.summaryType = SummaryType::SubTotal;
    subDoc.summaryGroup = QStringLiteral("Testa");
    subDoc.outputFormat = money;
    subDoc.alignment = HorizontalAlignment::Right;

    auto& detail = layout.section(QStringLiteral("Dettaglio"));
    addField(detail, QStringLiteral("txtDescrizione"), QStringLiteral("Descrizione"), 0, 0, 5000);
    auto& amount = addField(detail, QStringLiteral("txtImporto"), QStringLiteral("Importo"), 6000, 0);
    amount.outputFormat = money;
    amount.alignment = HorizontalAlignment::Right;

    r.setLayout(layout);
    r.setCaption(QStringLiteral("Prestazioni"));
    r.setDocumentName(QStringLiteral("Stampa prestazioni"));
    r.setPicture(samplePicture());
    for (const char* name : {"fatId", "Descrizione", "Importo", "CodiceIva"})
        r.fields().add(QString::fromLatin1(name));

    auto next = std::make_shared<std::size_t>(0);
    r.setFetchData([lines, next](Report& report, bool& eof) {
        if (*next >= lines.size())
            return;
        const SampleLine& l = lines[(*next)++];
        eof = false;
        report.fields().setValue(QStringLiteral("fatId"), core::Variant(static_cast<std::int32_t>(l.fatId)));
        report.fields().setValue(QStringLiteral("Descrizione"), l.description);
        report.fields().setValue(QStringLiteral("Importo"), l.amount);
        report.fields().setValue(QStringLiteral("CodiceIva"), l.vatCode);
        report.setGroupValue(QStringLiteral("GruppoIva"), l.vatCode);
    });
    // The fetch position belongs to one run: start again at every run.
    r.setStartHandler([next](Report&) { *next = 0; });
    return r;
}

QByteArray runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return process.readAllStandardOutput();
}

QStringList pdfPages(const QString& path)
{
    const QString text = QString::fromUtf8(runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")}));
    QStringList pages = text.split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QByteArray zipMember(const QString& zipPath, const QString& member)
{
    return runTool(QStringLiteral("unzip"), {QStringLiteral("-p"), zipPath, member});
}

} // namespace report::test
