#include "platform/report/Paginator.h"

#include "platform/report/ControlItems.h"
#include "platform/report/Report.h"
#include "platform/report/ValueFormat.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace report {

namespace {

// An empty text is a missing value, as Null is.
bool missing(const core::Variant& v)
{
    return v.isEmptyOrNull() || (v.isString() && v.toString().isEmpty());
}

bool sameKey(const core::Variant& a, const core::Variant& b)
{
    if (missing(a) || missing(b))
        return missing(a) && missing(b);
    return a == b || a.sameValue(b);
}

bool isExactNumber(const core::Variant& v)
{
    switch (v.type()) {
    case core::VarType::Currency:
    case core::VarType::Integer:
    case core::VarType::Long:
    case core::VarType::Byte:
    case core::VarType::Boolean:
        return true;
    default:
        return false;
    }
}

bool hasFlag(NewPage value, NewPage flag)
{
    return value == flag || value == NewPage::BeforeAfter;
}

} // namespace

Paginator::Paginator(Report& report) : m_report(report)
{
    const auto& layout = *report.m_active;
    m_levels = layout.groupCount();
    for (int g = 0; g < m_levels; ++g) {
        m_headerIndex.push_back(layout.groupHeaderIndex(g));
        m_footerIndex.push_back(layout.groupFooterIndex(g));
    }
    for (int i = 0; i < static_cast<int>(layout.sections.size()); ++i) {
        switch (layout.sections[i].kind) {
        case SectionKind::Detail: m_detail = i; break;
        case SectionKind::PageHeader: m_pageHeader = i; break;
        case SectionKind::PageFooter: m_pageFooter = i; break;
        case SectionKind::ReportHeader: m_reportHeader = i; break;
        case SectionKind::ReportFooter: m_reportFooter = i; break;
        default: break;
        }
        m_handlerKey.push_back(layout.sections[i].name.toLower());
    }
}

ReportPages Paginator::paginate()
{
    m_instance.assign(m_levels, {});
    m_instanceRows.assign(m_levels, {});
    m_instancePages.assign(m_levels, {});

    // Rows are fetched one ahead of the layout: a row's header and detail are
    // formatted right after its fetch (so what the fetch handler set shows in
    // them), and a group ends when the next row's values differ.
    bool more = fetchNext();
    startPage(more ? 0 : -1, 0);
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        for (int g = 0; g < m_levels; ++g)
            if (m_instanceRows[g][m_instance[g][r]].first == r && m_headerIndex[g] >= 0)
                placeBody(m_headerIndex[g], r, g);
        if (m_detail >= 0)
            placeBody(m_detail, r, m_levels);
        more = more && fetchNext();
        for (int g = m_levels - 1; g >= 0; --g) {
            const bool ends = !more || m_instance[g][r + 1] != m_instance[g][r];
            if (ends && m_footerIndex[g] >= 0)
                placeBody(m_footerIndex[g], r, g + 1);
        }
    }
    if (m_reportFooter >= 0)
        placeBody(m_reportFooter, static_cast<int>(m_rows.size()) - 1, 0);
    endPage();
    resolveTokens();
    m_out.rowCount = static_cast<int>(m_rows.size());
    return std::move(m_out);
}

// --- Rows ---------------------------------------------------------------

bool Paginator::fetchNext()
{
    Report& r = m_report;
    auto& dc = r.m_dataControl;
    if (dc.isBound()) {
        if (!m_opened) {
            dc.open();
            m_opened = true;
            for (int c = 0; c < dc.columnCount(); ++c) {
                const QString name = dc.columnName(c);
                r.m_fields.add(name);
                m_fieldOfColumn.push_back(static_cast<int>(&r.m_fields.item(name) - &r.m_fields.at(0)));
            }
        } else {
            dc.moveNext();
        }
        if (dc.eof())
            return false;
        for (int c = 0; c < static_cast<int>(m_fieldOfColumn.size()); ++c)
            r.m_fields.at(m_fieldOfColumn[c]).value = dc.value(c);
        if (r.m_fetch) {
            bool eof = false;
            r.m_fetch(r, eof);
            if (eof)
                return false;
        }
    } else {
        if (!r.m_fetch)
            return false;
        bool eof = true;
        r.m_fetch(r, eof);
        if (eof)
            return false;
    }
    snapshotRow();
    reportProgress(r.m_progress, {Progress::Stage::Paginating, static_cast<int>(m_rows.size()), m_out.count(), 0});
    return true;
}

void Paginator::snapshotRow()
{
    const Report& r = m_report;
    Row row;
    row.values.reserve(r.m_fields.count());
    for (int i = 0; i < r.m_fields.count(); ++i)
        row.values.push_back(r.m_fields.at(i).value);
    const auto& layout = *r.m_active;
    for (int g = 0; g < m_levels; ++g) {
        const auto& header = layout.sections[m_headerIndex[g]];
        if (header.groupDataField.isEmpty()) {
            row.keys.push_back(r.groupValue(header.name));
        } else {
            const auto* field = r.m_fields.find(header.groupDataField);
            row.keys.push_back(field ? field->value : core::Variant());
        }
    }
    m_rows.push_back(std::move(row));

    // The row's group instances: a change at one level starts new groups at
    // that level and every level inside it.
    const int n = static_cast<int>(m_rows.size()) - 1;
    bool changed = n == 0;
    for (int g = 0; g < m_levels; ++g) {
        if (!changed && !sameKey(m_rows[n].keys[g], m_rows[n - 1].keys[g]))
            changed = true;
        if (changed) {
            m_instanceRows[g].push_back({n, n});
            m_instancePages[g].push_back({std::numeric_limits<int>::max(), -1});
        } else {
            m_instanceRows[g].back().second = n;
        }
        m_instance[g].push_back(static_cast<int>(m_instanceRows[g].size()) - 1);
    }
}

void Paginator::restoreRow(int row)
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return;
    auto& fields = m_report.m_fields;
    const auto& values = m_rows[row].values;
    const int n = std::min<int>(fields.count(), static_cast<int>(values.size()));
    for (int i = 0; i < n; ++i)
        fields.at(i).value = values[i];
}

void Paginator::runHandler(int sectionIndex)
{
    const auto it = m_report.m_sectionHandlers.constFind(m_handlerKey[sectionIndex]);
    if (it != m_report.m_sectionHandlers.constEnd() && *it)
        (*it)(m_report);
}

// --- Pages --------------------------------------------------------------

void Paginator::startPage(int row, int repeatLevels)
{
    const auto& layout = *m_report.m_active;
    const auto& page = layout.page;
    ReportPage p;
    p.width = page.pageWidth();
    p.height = page.pageHeight();
    if (!m_out.pages.empty())
        p.items.reserve(m_out.pages.back().items.size());
    m_out.pages.push_back(std::move(p));
    m_report.m_pageNumber = m_out.count();
    reportProgress(m_report.m_progress, {Progress::Stage::Paginating, static_cast<int>(m_rows.size()), m_out.count(), 0});
    m_left = page.margins.left;
    m_y = page.margins.top;
    m_pageHasBody = false;
    m_pageFirstDetail = -1;
    m_bodyBottom = page.pageHeight() - page.margins.bottom;
    if (m_pageFooter >= 0 && layout.sections[m_pageFooter].visible)
        m_bodyBottom -= layout.sections[m_pageFooter].height;

    if (m_out.count() == 1 && m_reportHeader >= 0) {
        placeBody(m_reportHeader, row, 0);
        // A report header that asks for a page of its own ends the first page.
        if (m_breakPending && m_out.count() == 1) {
            m_breakPending = false;
            endPage();
            startPage(row, repeatLevels);
            return;
        }
    }
    if (m_pageHeader >= 0) {
        restoreRow(row);
        runHandler(m_pageHeader);
        const auto& header = m_report.m_active->sections[m_pageHeader];
        if (header.visible) {
            Band band = buildBand(m_pageHeader, row);
            commitBand(band, m_y, row);
            m_y += band.height;
        }
    }
    // Groups that run on from the previous page show their header again.
    if (row >= 0) {
        for (int g = 0; g < repeatLevels && g < m_levels; ++g) {
            const auto& header = m_report.m_active->sections[m_headerIndex[g]];
            if (header.repeatOnEveryPage)
                placeBody(m_headerIndex[g], row, g, true);
        }
    }
    m_pageHasBody = false;
}

void Paginator::endPage()
{
    if (m_pageFooter < 0)
        return;
    const int row = m_lastRow;
    restoreRow(row);
    runHandler(m_pageFooter);
    const auto& layout = *m_report.m_active;
    const auto& footer = layout.sections[m_pageFooter];
    if (!footer.visible)
        return;
    Band band = buildBand(m_pageFooter, row);
    commitBand(band, layout.page.pageHeight() - layout.page.margins.bottom - footer.height, row);
}

void Paginator::placeBody(int sectionIndex, int row, int repeatLevels, bool isRepeat)
{
    restoreRow(row);
    runHandler(sectionIndex);
    const auto& section = m_report.m_active->sections[sectionIndex];
    if (!section.visible)
        return;
    const bool breakBefore = !isRepeat && (m_breakPending || hasFlag(section.newPage, NewPage::Before));
    m_breakPending = false;
    if (breakBefore && m_pageHasBody) {
        endPage();
        startPage(row, repeatLevels);
        restoreRow(row);
    }
    Band band = buildBand(sectionIndex, row);
    if (m_y + band.height > m_bodyBottom + 0.5 && m_pageHasBody && !isRepeat) {
        endPage();
        startPage(row, repeatLevels);
        restoreRow(row);
        band = buildBand(sectionIndex, row); // page totals and numbers of the new page
    }
    if (section.kind == SectionKind::Detail && m_pageFirstDetail < 0) {
        m_pageFirstDetail = row;
        band = buildBand(sectionIndex, row);
    }
    commitBand(band, m_y, row);
    m_y += band.height;
    m_pageHasBody = true;
    if (row >= 0)
        m_lastRow = row;
    if (!isRepeat && hasFlag(section.newPage, NewPage::After))
        m_breakPending = true;
}

void Paginator::commitBand(Band& band, double y, int row)
{
    auto& page = m_out.pages.back();
    const int pageIndex = m_out.count() - 1;
    const std::size_t base = page.items.size();
    for (auto& item : band.items) {
        item.rect.translate(m_left, y);
        item.line.translate(m_left, y);
        page.items.push_back(std::move(item));
    }
    for (auto& [index, token] : band.tokens) {
        token.page = pageIndex;
        token.item = base + index;
        m_tokens.push_back(token);
    }
    if (row >= 0 && row < static_cast<int>(m_rows.size())) {
        for (int g = 0; g < m_levels; ++g) {
            auto& range = m_instancePages[g][m_instance[g][row]];
            range.first = std::min(range.first, pageIndex);
            range.second = std::max(range.second, pageIndex);
        }
    }
}

// --- Bands and controls -------------------------------------------------

Paginator::Band Paginator::buildBand(int sectionIndex, int row)
{
    const auto& layout = *m_report.m_active;
    const auto& section = layout.sections[sectionIndex];
    Band band;
    band.items.reserve(section.controls.size() + 1);
    band.height = section.height;
    if (section.backStyle == BackStyle::Opaque) {
        PageItem back;
        back.type = PageItem::Type::Rectangle;
        back.rect = QRectF(0, 0, layout.effectivePrintWidth(), section.height);
        back.opaque = true;
        back.backColor = section.backColor;
        back.lineWeight = 0;
        back.sectionName = section.name;
        band.items.push_back(back);
    }
    for (const auto& control : section.controls)
        if (control.visible)
            addControl(band, section, control, row, sectionIndex);
    for (PageItem& item : band.items)
        item.sectionKind = section.kind;
    if (!section.canGrow)
        band.height = section.height;
    else if (section.backStyle == BackStyle::Opaque)
        band.items.front().rect.setHeight(band.height);
    return band;
}

void Paginator::addControl(Band& band, const ReportSection& section, const ReportControl& c, int row, int sectionIndex)
{
    std::optional<PageToken> token;
    core::Variant value;
    QString text;
    if (c.kind == ControlKind::Field) {
        text = controlText(c, row, sectionIndex, value, token);
    } else if (c.kind == ControlKind::Label || c.kind == ControlKind::Checkbox) {
        text = c.caption;
        value = c.caption;
    }
    const int textItem = appendControlItems(band.items, c, section.name, text, value, m_report.m_picture, true);
    if (textItem < 0)
        return;
    if (token)
        band.tokens.push_back({static_cast<std::size_t>(textItem), *token});
    band.height = std::max(band.height, band.items[textItem].rect.bottom());
}

QString Paginator::controlText(const ReportControl& c, int row, int sectionIndex, core::Variant& value,
                               std::optional<PageToken>& token)
{
    const auto& layout = *m_report.m_active;
    const int rowCount = static_cast<int>(m_rows.size());
    auto groupLevel = [&]() {
        if (!c.summaryGroup.isEmpty())
            return layout.groupOfHeader(c.summaryGroup);
        const int own = layout.groupOfSection(sectionIndex);
        return own >= 0 ? own : m_levels - 1;
    };

    switch (c.summaryType) {
    case SummaryType::None:
        if (c.dataField.isEmpty()) {
            value = c.caption;
            return c.caption;
        }
        if (const auto* field = fieldOf(c)) {
            value = field->value;
            return formatted(value, c.outputFormat);
        }
        value = core::Variant();
        return {};
    case SummaryType::PageCount: {
        PageToken t{};
        t.pageCount = c.summaryRunning == SummaryRunning::None;
        t.level = -1;
        if (!c.summaryGroup.isEmpty() && c.summaryRunning != SummaryRunning::All) {
            t.level = layout.groupOfHeader(c.summaryGroup);
            t.instance = t.level >= 0 && row >= 0 && row < rowCount ? m_instance[t.level][row] : -1;
            if (t.instance < 0)
                t.level = -1;
        }
        token = t;
        value = core::Variant();
        return {};
    }
    case SummaryType::GrandTotal: {
        const int to = c.summaryRunning == SummaryRunning::None ? rowCount - 1 : row;
        value = aggregate(c.dataField, static_cast<int>(c.summaryFunc), 0, to);
        break;
    }
    case SummaryType::SubTotal: {
        const int g = groupLevel();
        int from = 0;
        int to = rowCount - 1;
        if (g >= 0 && row >= 0 && row < rowCount) {
            const auto range = m_instanceRows[g][m_instance[g][row]];
            from = range.first;
            to = range.second;
        }
        if (c.summaryRunning == SummaryRunning::Group)
            to = row;
        else if (c.summaryRunning == SummaryRunning::All) {
            from = 0;
            to = row;
        }
        value = aggregate(c.dataField, static_cast<int>(c.summaryFunc), from, to);
        break;
    }
    case SummaryType::PageTotal:
        value = m_pageFirstDetail < 0 ? aggregate(c.dataField, static_cast<int>(c.summaryFunc), 0, -1)
                                      : aggregate(c.dataField, static_cast<int>(c.summaryFunc), m_pageFirstDetail, row);
        break;
    }
    return formatted(value, c.outputFormat);
}

const ReportField* Paginator::fieldOf(const ReportControl& c)
{
    // A detail control asks for its field once per row: remember where it is.
    // Fields are only ever added during a run, so a position stays good.
    auto& known = m_fieldOfControl[&c];
    if (known.second >= 0 && known.first == c.dataField)
        return &m_report.m_fields.at(known.second);
    const ReportField* field = m_report.m_fields.find(c.dataField);
    known = {c.dataField, field ? static_cast<int>(field - &m_report.m_fields.at(0)) : -1};
    return field;
}

QString Paginator::formatted(const core::Variant& value, const QString& pattern)
{
    // The same amounts and dates come back row after row: a number or a date
    // is formatted once per pattern. Text, Null and Empty are cheap as they are.
    FormatKey key{pattern, static_cast<int>(value.type()), 0};
    double d = 0;
    switch (value.type()) {
    case core::VarType::Currency: key.bits = static_cast<std::uint64_t>(value.toCurrency().raw()); break;
    case core::VarType::Integer:
    case core::VarType::Long:
    case core::VarType::Byte: key.bits = static_cast<std::uint64_t>(value.toInt64()); break;
    case core::VarType::Boolean: key.bits = value.toBool() ? 1 : 0; break;
    case core::VarType::Single:
    case core::VarType::Double: d = value.toDouble(); std::memcpy(&key.bits, &d, sizeof d); break;
    case core::VarType::Date: d = value.toDateSerial(); std::memcpy(&key.bits, &d, sizeof d); break;
    default: return formatValue(value, pattern);
    }
    const auto it = m_formatted.constFind(key);
    if (it != m_formatted.constEnd())
        return *it;
    if (m_formatted.size() >= 100000)
        m_formatted.clear();
    QString text = formatValue(value, pattern);
    m_formatted.insert(key, text);
    return text;
}

const Paginator::Prefix& Paginator::prefixFor(int fieldIndex)
{
    // Rows only ever grow during a run: extend the sums to the rows fetched so far.
    Prefix& p = m_prefix[fieldIndex];
    if (p.count.empty()) {
        p.raw.push_back(0);
        p.sum.push_back(0.0);
        p.count.push_back(0);
    }
    const int n = static_cast<int>(m_rows.size());
    for (int r = static_cast<int>(p.count.size()) - 1; r < n; ++r) {
        const auto& values = m_rows[r].values;
        const core::Variant v = fieldIndex < static_cast<int>(values.size()) ? values[fieldIndex] : core::Variant();
        const bool present = !v.isEmptyOrNull();
        if (present && !isExactNumber(v))
            p.exact = false;
        p.count.push_back(p.count[r] + (present ? 1 : 0));
        p.sum.push_back(p.sum[r] + (present ? v.toDouble() : 0.0));
        p.raw.push_back(p.raw[r] + (present && p.exact ? v.toCurrency().raw() : 0));
    }
    return p;
}

core::Variant Paginator::aggregate(const QString& fieldName, int func, int from, int to)
{
    const auto* field = m_report.m_fields.find(fieldName);
    const auto f = static_cast<SummaryFunc>(func);
    const int n = static_cast<int>(m_rows.size());
    from = std::max(from, 0);
    to = std::min(to, n - 1);
    if (!field || to < from)
        return (f == SummaryFunc::Sum || f == SummaryFunc::Count) ? core::Variant(0) : core::Variant::null();
    const int index = static_cast<int>(field - &m_report.m_fields.at(0));
    const Prefix& p = prefixFor(index);
    const int count = p.count[to + 1] - p.count[from];
    switch (f) {
    case SummaryFunc::Count:
        return core::Variant(static_cast<std::int32_t>(count));
    case SummaryFunc::Sum:
        if (p.exact)
            return core::Variant(core::Currency::fromRaw(p.raw[to + 1] - p.raw[from]));
        return core::Variant(p.sum[to + 1] - p.sum[from]);
    case SummaryFunc::Avg:
        if (count == 0)
            return core::Variant::null();
        return core::Variant((p.sum[to + 1] - p.sum[from]) / count);
    case SummaryFunc::Min:
    case SummaryFunc::Max: {
        std::optional<double> best;
        for (int r = from; r <= to; ++r) {
            const auto& values = m_rows[r].values;
            if (index >= static_cast<int>(values.size()) || values[index].isEmptyOrNull())
                continue;
            const double d = values[index].toDouble();
            if (!best || (f == SummaryFunc::Min ? d < *best : d > *best))
                best = d;
        }
        return best ? core::Variant(*best) : core::Variant::null();
    }
    }
    return {};
}

void Paginator::resolveTokens()
{
    const int total = m_out.count();
    for (const auto& t : m_tokens) {
        int number = t.page + 1;
        int count = total;
        if (t.level >= 0 && t.instance >= 0) {
            const auto range = m_instancePages[t.level][t.instance];
            if (range.second >= 0) {
                number = t.page - range.first + 1;
                count = range.second - range.first + 1;
            }
        }
        auto& item = m_out.pages[t.page].items[t.item];
        item.value = core::Variant(static_cast<std::int32_t>(t.pageCount ? count : number));
        item.text = formatValue(item.value, item.outputFormat);
    }
}

} // namespace report
