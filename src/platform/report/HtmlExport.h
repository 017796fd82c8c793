#pragma once

#include "platform/report/ExportFilter.h"

namespace report {

// One HTML file: each page a box of absolutely placed texts, lines and shapes,
// pictures embedded as data, a page break between pages when printed.
class HtmlExport : public ExportFilter {
public:
    void exportPages(const ReportPages& pages) override;
};

} // namespace report
