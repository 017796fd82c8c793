#pragma once

#include "platform/report/ReportLayout.h"

#include <QByteArray>
#include <QString>

namespace report {

// Our layout file format: UTF-8 JSON text, so it also fits a memo column.
//   {"format": "corvessa-report-layout", "version": 1,
//    "page": {...}, "printWidth": ..., "sections": [{..., "controls": [...]}]}
// Every member of the page settings, sections and controls is written, so a
// layout saved and loaded again is equal to the original. On reading, a
// missing member takes its default; a member of the wrong type, an unknown
// kind or a malformed text is an error, never a half-read layout.
class LayoutFormat {
public:
    static constexpr const char* kFormatName = "corvessa-report-layout";
    static constexpr int kVersion = 1;

    static QByteArray write(const ReportLayout& layout);
    // Throws core::Error (NotALayout, UnsupportedVersion) with an Italian description.
    static ReportLayout read(const QByteArray& bytes);
    // Throws core::Error (FileNotReadable) for a file that cannot be read.
    static ReportLayout readFile(const QString& path);
    static void writeFile(const ReportLayout& layout, const QString& path);
};

} // namespace report
