#pragma once

#include "platform/report/ExportFilter.h"

namespace report {

// A small RTF writer of our own (Qt has none): each text in a frame at its
// place on the page, a page break between pages.
class RtfExport : public ExportFilter {
public:
    void exportPages(const ReportPages& pages) override;
};

} // namespace report
