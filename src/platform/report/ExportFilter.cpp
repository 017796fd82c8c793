#include "platform/report/ExportFilter.h"

#include "platform/report/ExcelExport.h"
#include "platform/report/HtmlExport.h"
#include "platform/report/PdfExport.h"
#include "platform/report/ReportError.h"
#include "platform/report/RtfExport.h"

namespace report {

namespace {

QString normalized(QString id)
{
    id = id.trimmed().toUpper();
    if (!id.startsWith(QLatin1Char('{')))
        id.prepend(QLatin1Char('{'));
    if (!id.endsWith(QLatin1Char('}')))
        id.append(QLatin1Char('}'));
    return id;
}

} // namespace

std::unique_ptr<ExportFilter> ExportFilter::create(const QString& classId)
{
    const QString id = normalized(classId);
    if (id == QLatin1String(kExcelClassId))
        return std::make_unique<ExcelExport>();
    if (id == QLatin1String(kRtfClassId))
        return std::make_unique<RtfExport>();
    if (id == QLatin1String(kPdfClassId))
        return std::make_unique<PdfExport>();
    if (id == QLatin1String(kHtmlClassId))
        return std::make_unique<HtmlExport>();
    raiseError(ErrorNumber::UnknownExportFilter, QStringLiteral("Filtro di esportazione sconosciuto: %1").arg(classId));
}

QString ExportFilter::requireFileName() const
{
    if (m_fileName.isEmpty())
        raiseError(ErrorNumber::ExportFailed, QStringLiteral("Nome del file di esportazione mancante"));
    return m_fileName;
}

} // namespace report
