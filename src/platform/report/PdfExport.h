#pragma once

#include "platform/report/ExportFilter.h"

namespace report {

// Real text (not pictures of text), so the PDF can be searched and read back.
class PdfExport : public ExportFilter {
public:
    void exportPages(const ReportPages& pages) override;
};

} // namespace report
