#pragma once

#include "platform/report/Report.h"
#include "platform/report/ReportControl.h"
#include "platform/report/ReportLayout.h"
#include "platform/report/ReportSection.h"

#include <QString>

// Small builders shared by the program's report layouts: one look (fonts,
// rules, A4 with the same margins) for every list the program prints.
namespace kit {

// The section names the layouts use.
inline const QString kReportHeader = QStringLiteral("ReportHeader");
inline const QString kPageHeader = QStringLiteral("PageHeader");
inline const QString kDetail = QStringLiteral("Detail");
inline const QString kPageFooter = QStringLiteral("PageFooter");
inline const QString kReportFooter = QStringLiteral("ReportFooter");
inline const QString kGroupHeader = QStringLiteral("GroupHeader1");
inline const QString kGroupFooter = QStringLiteral("GroupFooter1");

inline const QString kImporti = QStringLiteral("#,##0.00");

// An A4 page (landscape when asked) with margins of 1.5 cm and the five bands
// report header, page header, detail, page footer, report footer.
report::ReportLayout pagina(bool orizzontale = false);
// The width between the margins.
double larghezza(const report::ReportLayout& layout);

report::FontSpec carattere(double size, bool bold = false, bool italic = false);

report::ReportControl& etichetta(report::ReportSection& s, const QString& name, const QString& caption, double left,
                                 double top, double width, const report::FontSpec& font,
                                 report::HorizontalAlignment align = report::HorizontalAlignment::Left);
report::ReportControl& campo(report::ReportSection& s, const QString& name, const QString& dataField, double left,
                             double top, double width, const report::FontSpec& font,
                             report::HorizontalAlignment align = report::HorizontalAlignment::Left,
                             const QString& format = {});
// A right-aligned money field; a sum over a group (SubTotal with the group
// header's name) or over the whole report (GrandTotal) when asked.
report::ReportControl& importo(report::ReportSection& s, const QString& name, const QString& dataField, double left,
                               double top, double width, const report::FontSpec& font, const QString& format = kImporti,
                               report::SummaryType sum = report::SummaryType::None, const QString& group = {});
report::ReportControl& linea(report::ReportSection& s, const QString& name, double left, double top, double width,
                             double weight = 0.75);

// The handlers of a layout that prints as a flat table for export: with
// `ModoEsporta` the report header and footer and the page footer are
// hidden, and the page header stands only on page 1, without its rule Line2.
void gestoriModoEsporta(report::Report& rpt, bool ModoEsporta);

} // namespace kit
