#include "reports/LayoutKit.h"

namespace kit {

using namespace report;

namespace {
// The height of one line of 8-point text, with a little air.
constexpr double kRiga = 255;
} // namespace

ReportLayout pagina(bool orizzontale)
{
    ReportLayout layout;
    layout.page = PageSettings{};
    layout.page.orientation = orizzontale ? Orientation::Landscape : Orientation::Portrait;
    layout.page.margins = Margins{850, 850, 850, 850};
    layout.addSection(SectionKind::ReportHeader, kReportHeader, 0);
    layout.addSection(SectionKind::PageHeader, kPageHeader, 0);
    layout.addSection(SectionKind::Detail, kDetail, kRiga);
    layout.addSection(SectionKind::PageFooter, kPageFooter, 0);
    layout.addSection(SectionKind::ReportFooter, kReportFooter, 0);
    return layout;
}

double larghezza(const ReportLayout& layout)
{
    return layout.effectivePrintWidth();
}

FontSpec carattere(double size, bool bold, bool italic)
{
    FontSpec f;
    f.name = QStringLiteral("DejaVu Sans");
    f.size = size;
    f.bold = bold;
    f.italic = italic;
    return f;
}

namespace {

ReportControl& testo(ReportSection& s, ControlKind kind, const QString& name, double left, double top, double width,
                     const FontSpec& font, HorizontalAlignment align)
{
    ReportControl& c = s.addControl(kind, name);
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = std::max(kRiga, font.size * 20 * 1.35);
    c.font = font;
    c.alignment = align;
    c.wordWrap = false;
    s.height = std::max(s.height, c.top + c.height);
    return c;
}

} // namespace

ReportControl& etichetta(ReportSection& s, const QString& name, const QString& caption, double left, double top,
                         double width, const FontSpec& font, HorizontalAlignment align)
{
    ReportControl& c = testo(s, ControlKind::Label, name, left, top, width, font, align);
    c.caption = caption;
    return c;
}

ReportControl& campo(ReportSection& s, const QString& name, const QString& dataField, double left, double top,
                     double width, const FontSpec& font, HorizontalAlignment align, const QString& format)
{
    ReportControl& c = testo(s, ControlKind::Field, name, left, top, width, font, align);
    c.dataField = dataField;
    c.caption = dataField;
    c.outputFormat = format;
    return c;
}

ReportControl& importo(ReportSection& s, const QString& name, const QString& dataField, double left, double top,
                       double width, const FontSpec& font, const QString& format, SummaryType sum, const QString& group)
{
    ReportControl& c = campo(s, name, dataField, left, top, width, font, HorizontalAlignment::Right, format);
    c.summaryType = sum;
    c.summaryFunc = SummaryFunc::Sum;
    c.summaryGroup = group;
    return c;
}

ReportControl& linea(ReportSection& s, const QString& name, double left, double top, double width, double weight)
{
    ReportControl& c = s.addControl(ControlKind::Line, name);
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = 0;
    c.lineWeight = weight;
    s.height = std::max(s.height, top + 30);
    return c;
}

void gestoriModoEsporta(Report& rpt, bool ModoEsporta)
{
    // ReportHeader_Format, ReportFooter_Format, PageHeader_Format, PageFooter_Format.
    rpt.setSectionHandler(kReportHeader, [ModoEsporta](Report& r) {
        if (ModoEsporta)
            r.section(kReportHeader).visible = false;
    });
    rpt.setSectionHandler(kReportFooter, [ModoEsporta](Report& r) {
        if (ModoEsporta)
            r.section(kReportFooter).visible = false;
    });
    rpt.setSectionHandler(kPageHeader, [ModoEsporta](Report& r) {
        if (ModoEsporta) {
            r.section(kPageHeader).visible = r.pageNumber() == 1;
            r.control(QStringLiteral("Line2")).visible = false;
        }
    });
    rpt.setSectionHandler(kPageFooter, [ModoEsporta](Report& r) {
        if (ModoEsporta)
            r.section(kPageFooter).visible = false;
    });
}

} // namespace kit
