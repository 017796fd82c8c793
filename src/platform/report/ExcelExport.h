#pragma once

#include "platform/report/ExportFilter.h"

namespace report {

// An .xlsx workbook, one sheet: the texts of every page in cells laid out by
// their positions (a column per distinct left edge, a row per distinct top),
// pages one under the other; numbers are written as numbers.
class ExcelExport : public ExportFilter {
public:
    void exportPages(const ReportPages& pages) override;
};

} // namespace report
