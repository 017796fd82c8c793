#pragma once

#include "platform/report/Progress.h"
#include "platform/report/ReportPage.h"

#include <QString>
#include <memory>

namespace report {

// An export filter: takes a file name and writes a pages collection to it.
// Filters only read the pages, so an export never changes the report.
class ExportFilter {
public:
    virtual ~ExportFilter() = default;

    QString fileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }

    // Told before each page is written; when it says stop, exportPages()
    // throws Cancelled and leaves no file.
    void setProgressHandler(ProgressHandler handler) { m_progress = std::move(handler); }

    // Throws core::Error (ExportFailed, FileNotWritable) with an Italian description.
    virtual void exportPages(const ReportPages& pages) = 0;

    // The filters by class identity, as the program names them:
    //   Excel {A31CC8EE-A0BE-11D2-ACA7-00C04FA372BC}
    //   RTF   {C0483F00-BAE3-11D1-8C04-82E667000000}
    //   PDF   {013A8BB1-A25B-11D1-8BB6-00A0C98CD92B}
    //   HTML  {C0AEF555-DAED-4DD0-B108-418111A0D27D}
    // Braces and case do not matter; an unknown identity throws core::Error.
    static std::unique_ptr<ExportFilter> create(const QString& classId);

    static constexpr const char* kExcelClassId = "{A31CC8EE-A0BE-11D2-ACA7-00C04FA372BC}";
    static constexpr const char* kRtfClassId = "{C0483F00-BAE3-11D1-8C04-82E667000000}";
    static constexpr const char* kPdfClassId = "{013A8BB1-A25B-11D1-8BB6-00A0C98CD92B}";
    static constexpr const char* kHtmlClassId = "{C0AEF555-DAED-4DD0-B108-418111A0D27D}";

protected:
    // The file name, or an error when none was given.
    QString requireFileName() const;
    // Before page `index` (0-based) of `count`: throws Cancelled when the handler says stop.
    void pageProgress(int index, int count) const
    {
        reportProgress(m_progress, {Progress::Stage::Writing, 0, index + 1, count});
    }

private:
    QString m_fileName;
    ProgressHandler m_progress;
};

} // namespace report
