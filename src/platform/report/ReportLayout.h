#pragma once

#include "platform/report/ReportSection.h"
#include "platform/report/ReportTypes.h"

#include <QString>
#include <vector>

namespace report {

// The design of a report: page settings and the bands in print order
// (report header, page header, group headers outermost first, detail, group
// footers innermost first, page footer, report footer). The n-th group header
// pairs with the n-th group footer counted from the outside.
struct ReportLayout {
    PageSettings page;
    // Width of the bands; 0 means the page width between the margins.
    double printWidth = 0;
    std::vector<ReportSection> sections;

    friend bool operator==(const ReportLayout&, const ReportLayout&) = default;

    // A layout with a page header, a detail and a page footer, as a new report has.
    static ReportLayout standard();

    double effectivePrintWidth() const;

    ReportSection* findSection(const QString& sectionName);
    const ReportSection* findSection(const QString& sectionName) const;
    ReportSection& section(const QString& sectionName); // throws core::Error
    const ReportSection& section(const QString& sectionName) const;
    ReportSection* findSection(SectionKind kind);
    const ReportSection* findSection(SectionKind kind) const;

    // The first control of that name in any section; throws core::Error when none.
    ReportControl& control(const QString& controlName);
    const ReportControl& control(const QString& controlName) const;
    ReportControl* findControl(const QString& controlName);

    // Adds a band of a kind that is not a group band, in its place; a layout
    // keeps one band of each such kind (an existing one is returned).
    ReportSection& addSection(SectionKind kind, const QString& sectionName, double height = 0);
    // Adds an innermost group: its header just before the detail, its footer just after.
    ReportSection& addGroup(const QString& headerName, const QString& footerName, const QString& groupDataField,
                            double headerHeight = 0, double footerHeight = 0);

    int groupCount() const;
    // Indexes into sections of the n-th group's header and footer (-1 when missing).
    int groupHeaderIndex(int group) const;
    int groupFooterIndex(int group) const;
    // Which group a header or footer band belongs to (-1 for other bands).
    int groupOfSection(int sectionIndex) const;
    int groupOfHeader(const QString& headerName) const;

    // Checks the order of the bands and that names are unique; throws core::Error.
    void validate() const;
};

} // namespace report
