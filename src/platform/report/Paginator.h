#pragma once

#include "platform/core/Variant.h"
#include "platform/report/ReportPage.h"

#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace report {

class Report;
struct ReportControl;
struct ReportField;
struct ReportSection;

// Lays a report out into pages: fetches the rows one ahead of the layout,
// places the bands page by page, and fills page numbers and counts in once
// the last page is known. Sums cover the rows fetched so far, so a group's
// sum belongs in its footer and a grand total in the report footer.
// The report's progress handler is told of every row and every page; when it
// says stop, paginate() throws Cancelled.
class Paginator {
public:
    explicit Paginator(Report& report);
    ReportPages paginate();

private:
    struct Row {
        std::vector<core::Variant> values; // by field position
        std::vector<core::Variant> keys;   // by group level
    };
    struct PageToken {
        int page;
        std::size_t item;
        bool pageCount; // else the page number
        int level;      // -1: the whole report
        int instance;
    };
    struct Prefix {
        bool exact = true; // every value money or integer: sums in Currency
        std::vector<std::int64_t> raw;
        std::vector<double> sum;
        std::vector<int> count;
    };
    struct Band {
        std::vector<PageItem> items;
        std::vector<std::pair<std::size_t, PageToken>> tokens;
        double height = 0;
    };

    bool fetchNext();
    void snapshotRow();
    void restoreRow(int row);
    void runHandler(int sectionIndex);

    void startPage(int row, int repeatLevels);
    void endPage();
    void placeBody(int sectionIndex, int row, int repeatLevels, bool isRepeat = false);
    Band buildBand(int sectionIndex, int row);
    void addControl(Band& band, const ReportSection& section, const ReportControl& control, int row, int sectionIndex);
    void commitBand(Band& band, double y, int row);
    QString controlText(const ReportControl& control, int row, int sectionIndex, core::Variant& value,
                        std::optional<PageToken>& token);
    core::Variant aggregate(const QString& field, int func, int from, int to);
    const Prefix& prefixFor(int fieldIndex);
    QString formatted(const core::Variant& value, const QString& pattern);
    const ReportField* fieldOf(const ReportControl& control);
    void resolveTokens();

    Report& m_report;
    int m_levels = 0;
    std::vector<int> m_headerIndex; // by level
    std::vector<int> m_footerIndex; // by level
    int m_detail = -1, m_pageHeader = -1, m_pageFooter = -1, m_reportHeader = -1, m_reportFooter = -1;

    std::vector<Row> m_rows;
    std::vector<std::vector<int>> m_instance;                   // [level][row]
    std::vector<std::vector<std::pair<int, int>>> m_instanceRows;  // [level][instance] first, last row
    std::vector<std::vector<std::pair<int, int>>> m_instancePages; // [level][instance] first, last page
    QHash<int, Prefix> m_prefix;
    bool m_opened = false;
    std::vector<int> m_fieldOfColumn;

    ReportPages m_out;
    double m_y = 0;
    double m_bodyBottom = 0;
    double m_left = 0;
    bool m_pageHasBody = false;
    bool m_breakPending = false;
    int m_pageFirstDetail = -1;
    int m_lastRow = -1;
    std::vector<PageToken> m_tokens;
    std::vector<QString> m_handlerKey; // by section: its name in lower case
    struct FormatKey {
        QString pattern;
        int type;
        std::uint64_t bits;
        bool operator==(const FormatKey&) const = default;
    };
    friend size_t qHash(const FormatKey& k, size_t seed) { return qHashMulti(seed, k.pattern, k.type, k.bits); }
    QHash<FormatKey, QString> m_formatted;
    QHash<const ReportControl*, std::pair<QString, int>> m_fieldOfControl; // data field name, position (-1: none)
};

} // namespace report
