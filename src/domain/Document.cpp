#include "domain/Document.h"

#include "common/comUtility.h"
#include "platform/core/Error.h"
#include "platform/database/Types.h"

#include <QHash>

bool sameStored(const core::Variant& a, const core::Variant& b)
{
    if (a.isEmptyOrNull() || b.isEmptyOrNull())
        return a.isEmptyOrNull() && b.isEmptyOrNull();
    if (a.isString() || b.isString())
        return a.isString() && b.isString() && a.toString() == b.toString();
    return a.sameValue(b);
}

namespace {

void setIfChanged(db::Recordset& rs, const QString& field, const core::Variant& value)
{
    if (!sameStored(rs.value(field), value))
        rs.setValue(field, value);
}

VatSummaryRow vatRowOf(const db::Recordset& vat)
{
    VatSummaryRow r;
    r.code = NzStr(vat.value(QStringLiteral("fciCodiceIva")), QString());
    r.amount = vat.value(QStringLiteral("fciImporto")).toCurrency();
    r.surcharge = vat.value(QStringLiteral("fciSoggettivo")).toCurrency();
    r.taxable = vat.value(QStringLiteral("fciImponibile")).toCurrency();
    r.tax = vat.value(QStringLiteral("fciImposta")).toCurrency();
    r.total = vat.value(QStringLiteral("fciTotRiga")).toCurrency();
    r.withholding = vat.value(QStringLiteral("fciRit01")).toCurrency();
    return r;
}

} // namespace

bool Document::isOpen() const
{
    return !m_header.isNull() && m_header.isOpen();
}

core::Variant Document::header(const QString& field) const
{
    if (!isOpen() || m_header.fieldIndex(field) < 0)
        return core::Variant::null();
    return m_header.value(field);
}

bool Document::hasHeaderField(const QString& field) const
{
    return isOpen() && m_header.fieldIndex(field) >= 0;
}

void Document::setHeader(const QString& field, const core::Variant& value)
{
    if (sameStored(m_header.value(field), value))
        return;
    m_header.setValue(field, value);
    m_header.update();
}

void Document::finishHeaderEdit()
{
    if (isOpen() && m_header.editMode() != db::EditMode::None)
        m_header.update();
}

int Document::lineCount() const
{
    return m_lines.isNull() || !m_lines.isOpen() ? 0 : m_lines.recordCount();
}

int Document::vatRowCount() const
{
    return m_vat.isNull() || !m_vat.isOpen() ? 0 : m_vat.recordCount();
}

QVector<VatLine> Document::vatLines() const
{
    QVector<VatLine> lines;
    db::Recordset det = m_lines.clone();
    const int fCodice = det.fieldIndex(QStringLiteral("fdtCodiceIVA"));
    const int fTot = det.fieldIndex(QStringLiteral("fdtTotRiga"));
    for (; !det.eof(); det.moveNext())
        lines.push_back({NzStr(det.value(fCodice), QString()), det.value(fTot).toCurrency()});
    return lines;
}

QVector<VatSummaryRow> Document::vatSummary() const
{
    QVector<VatSummaryRow> rows;
    for (db::Recordset vat = m_vat.clone(); !vat.eof(); vat.moveNext())
        rows.append(vatRowOf(vat));
    return rows;
}

VatSettings Document::vatSettings(double surchargePercent, double withholdingPercent) const
{
    VatSettings settings;
    settings.surchargePercent = surchargePercent;
    settings.withholdingPercent = withholdingPercent;
    settings.withholdingBasePercent = NzNum(header(QStringLiteral("fatRitAccPercSuImp")), 0.0);
    settings.withholdingOnSurcharge = header(QStringLiteral("fatRitAccSuRitPre")).toBool();
    return settings;
}

VatSettings Document::vatSettings() const
{
    return vatSettings(NzNum(header(QStringLiteral("fatRitPrePerc")), 0.0),
                       NzNum(header(QStringLiteral("fatRitAccPerc")), 0.0));
}

void Document::applyVatChanges(const QVector<VatRowChange>& changes)
{
    // The rows found again by code, without regard to case, as the summary compares them.
    QHash<QString, db::Bookmark> rows;
    db::Recordset vat = m_vat.clone();
    for (; !vat.eof(); vat.moveNext())
        rows.insert(NzStr(vat.value(QStringLiteral("fciCodiceIva")), QString()).toUpper(), vat.bookmark());

    for (const VatRowChange& change : changes) {
        const VatSummaryRow& r = change.row;
        switch (change.action) {
        case VatRowAction::Remove:
            vat.setBookmark(rows.value(r.code.toUpper()));
            vat.deleteRecord();
            continue;
        case VatRowAction::Add:
            vat.addNew();
            vat.setValue(QStringLiteral("fcifatId"), core::Variant(m_id));
            vat.setValue(QStringLiteral("fciCodiceIva"), core::Variant(r.code));
            break;
        case VatRowAction::Update:
            vat.setBookmark(rows.value(r.code.toUpper()));
            break;
        }
        setIfChanged(vat, QStringLiteral("fciImporto"), r.amount);
        setIfChanged(vat, QStringLiteral("fciSoggettivo"), r.surcharge);
        setIfChanged(vat, QStringLiteral("fciImponibile"), r.taxable);
        setIfChanged(vat, QStringLiteral("fciImposta"), r.tax);
        setIfChanged(vat, QStringLiteral("fciTotRiga"), r.total);
        setIfChanged(vat, QStringLiteral("fciRit01"), r.withholding);
        if (vat.editMode() != db::EditMode::None)
            vat.update();
    }
}

void Document::setTotals(const DocumentTotals& t)
{
    setHeader(QStringLiteral("fatTotImporto"), t.amount);
    setHeader(QStringLiteral("fatTotSoggettivo"), t.surcharge);
    setHeader(QStringLiteral("fatTotImponibile"), t.taxable);
    setHeader(QStringLiteral("fatTotImposta"), t.tax);
    setHeader(QStringLiteral("fatTotDoc"), t.total);
    setHeader(QStringLiteral("fatTotRitAcc"), t.withholding);
    setHeader(QStringLiteral("fatTotNetto"), t.net);
}

void Document::discard()
{
    for (db::Recordset* rs : {&m_header, &m_lines, &m_vat}) {
        try {
            if (!rs->isNull() && rs->isOpen()) {
                rs->cancelBatch();
                rs->close();
            }
        } catch (const core::Error&) {
            // The rows are thrown away either way.
        }
    }
}
