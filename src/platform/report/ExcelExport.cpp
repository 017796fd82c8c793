#include "platform/report/ExcelExport.h"

#include "platform/report/ReportError.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <cmath>
#include <map>
#include <set>
#include <xlsxwriter.h>

namespace report {

namespace {

// Excel reads the layouts' numeric patterns ("#,##0.00;-#,##0.00; ")
// as they are; dates become date cells shown the Italian way; anything else
// is written as its printed text.
bool isNumericPattern(const QString& pattern)
{
    if (pattern.isEmpty())
        return false;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (!QStringLiteral("#0,.;-+ %()").contains(c))
            return false;
    }
    return true;
}

bool isPlainNumber(const core::Variant& v)
{
    return v.isNumber() && v.type() != core::VarType::Boolean;
}

const QString kDateFormat = QStringLiteral("dd/mm/yyyy");
const QString kDateTimeFormat = QStringLiteral("dd/mm/yyyy hh:mm:ss");

// A sheet is read as one table: the page headers (the column headings) stand
// once at the top and the page footers (page numbers) not at all.
bool belongsToSheet(const PageItem& item, bool firstPage)
{
    if (item.sectionKind == SectionKind::PageFooter)
        return false;
    return firstPage || item.sectionKind != SectionKind::PageHeader;
}

struct CellStyle {
    bool bold = false;
    bool italic = false;
    int align = 0;
    QString numFormat;
    bool operator==(const CellStyle&) const = default;
};

size_t qHash(const CellStyle& s, size_t seed = 0)
{
    return ::qHash(s.numFormat, seed) ^ (s.bold ? 1 : 0) ^ (s.italic ? 2 : 0) ^ (s.align << 2);
}

} // namespace

void ExcelExport::exportPages(const ReportPages& pages)
{
    const QString path = requireFileName();
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        raiseError(ErrorNumber::FileNotWritable, QStringLiteral("Impossibile scrivere il file '%1'").arg(path));
    probe.close();

    // A column per distinct left edge over the whole report.
    std::set<long> lefts;
    for (const auto& page : pages.pages)
        for (const auto& item : page.items)
            if (item.type == PageItem::Type::Text && !item.text.trimmed().isEmpty()
                && belongsToSheet(item, &page == &pages.pages.front()))
                lefts.insert(std::lround(item.rect.left()));
    std::map<long, int> columnOf;
    for (long left : lefts)
        columnOf.emplace(left, static_cast<int>(columnOf.size()));

    const QByteArray file = QFile::encodeName(path);
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    lxw_workbook* workbook = workbook_new_opt(file.constData(), &options);
    if (!workbook)
        raiseError(ErrorNumber::ExportFailed, QStringLiteral("Impossibile creare il file Excel '%1'").arg(path));
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "Report");

    QHash<CellStyle, lxw_format*> formats;
    auto formatFor = [&](const CellStyle& style) {
        auto it = formats.find(style);
        if (it != formats.end())
            return *it;
        lxw_format* f = workbook_add_format(workbook);
        if (style.bold)
            format_set_bold(f);
        if (style.italic)
            format_set_italic(f);
        if (style.align == 1)
            format_set_align(f, LXW_ALIGN_RIGHT);
        else if (style.align == 2)
            format_set_align(f, LXW_ALIGN_CENTER);
        if (!style.numFormat.isEmpty())
            format_set_num_format(f, style.numFormat.toUtf8().constData());
        formats.insert(style, f);
        return f;
    };

    int rowBase = 0;
    // The first cell that cannot be written (a text over the sheet's length
    // limit, a row past its last) fails the export: the rows after it must not
    // hide it behind their own success.
    lxw_error status = LXW_NO_ERROR;
    for (const auto& page : pages.pages) {
        if (status != LXW_NO_ERROR)
            break;
        try {
            pageProgress(static_cast<int>(&page - &pages.pages.front()), pages.count());
        } catch (const Cancelled&) {
            // Nothing of the workbook is written before it closes.
            lxw_workbook_free(workbook);
            QFile::remove(path);
            throw;
        }
        std::map<long, std::vector<const PageItem*>> rows; // by top edge, in order down the page
        for (const auto& item : page.items)
            if (item.type == PageItem::Type::Text && !item.text.trimmed().isEmpty()
                && belongsToSheet(item, &page == &pages.pages.front()))
                rows[std::lround(item.rect.top())].push_back(&item);
        int r = rowBase;
        for (const auto& [top, items] : rows) {
            if (status != LXW_NO_ERROR)
                break;
            for (const PageItem* item : items) {
                const int col = columnOf[std::lround(item->rect.left())];
                CellStyle style;
                style.bold = item->font.bold;
                style.italic = item->font.italic;
                style.align = static_cast<int>(item->alignment) == 1 ? 1 : item->alignment == HorizontalAlignment::Center ? 2 : 0;
                if (item->value.isDate()) {
                    const QDateTime when = item->value.toDateTime();
                    style.numFormat = when.time() == QTime(0, 0) ? kDateFormat : kDateTimeFormat;
                    lxw_datetime cell{when.date().year(), when.date().month(), when.date().day(),
                                      when.time().hour(), when.time().minute(), static_cast<double>(when.time().second())};
                    status = worksheet_write_datetime(sheet, r, col, &cell, formatFor(style));
                } else if (isPlainNumber(item->value)) {
                    if (isNumericPattern(item->outputFormat))
                        style.numFormat = item->outputFormat;
                    const double number = item->value.type() == core::VarType::Currency
                                              ? item->value.toCurrency().toDouble()
                                              : item->value.toDouble();
                    status = worksheet_write_number(sheet, r, col, number, formatFor(style));
                } else {
                    status = worksheet_write_string(sheet, r, col, item->text.toUtf8().constData(), formatFor(style));
                }
                if (status != LXW_NO_ERROR)
                    break;
            }
            ++r;
        }
        rowBase = r;
    }
    // Column widths follow the distance to the next column (about 105 twips a character).
    long previous = -1;
    int previousCol = -1;
    for (const auto& [left, col] : columnOf) {
        if (previousCol >= 0)
            worksheet_set_column(sheet, previousCol, previousCol, std::max(4.0, (left - previous) / 105.0), nullptr);
        previous = left;
        previousCol = col;
    }
    if (previousCol >= 0)
        worksheet_set_column(sheet, previousCol, previousCol, 14, nullptr);

    const lxw_error closed = workbook_close(workbook);
    if (status != LXW_NO_ERROR || closed != LXW_NO_ERROR)
        raiseError(ErrorNumber::ExportFailed, QStringLiteral("Errore nella scrittura del file Excel '%1': %2")
                                                  .arg(path, QString::fromUtf8(lxw_strerror(closed != LXW_NO_ERROR ? closed : status))));
}

} // namespace report
