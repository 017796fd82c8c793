#include "domain/Counters.h"

#include "common/comDataBase.h"
#include "domain/ClientConnection.h"
#include "domain/DocumentStore.h"
#include "domain/OwnConnection.h"
#include "platform/database/Catalog.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"

#include <algorithm>

QString cleanPrefix(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')))
            out += c.toUpper();
    }
    return out;
}

CounterText parseCounterText(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {std::nullopt, QStringLiteral("Indicare l'ultimo numero assegnato (0 se nessuno).")};
    for (QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {std::nullopt, QStringLiteral("L'ultimo numero può contenere solo cifre.")};
    }
    if (t.size() > kMaxCounterDigits)
        return {std::nullopt, QStringLiteral("L'ultimo numero può avere al massimo %1 cifre.").arg(kMaxCounterDigits)};
    return {t.toInt(), QString()};
}

std::int32_t readCounter(const db::Connection& cn, std::int32_t sezId, std::int32_t anno, const QString& prefix)
{
    db::Recordset rs = openCounterRows(cn, sezId, anno, prefix, db::LockType::ReadOnly);
    // Should both forms of the main series' row exist, the higher one counts, as numbering does.
    const std::int32_t n = lastCounterNumber(rs);
    rs.close();
    return n;
}

namespace {

// The documents numbered in the year's series: by the year kept at numbering,
// or, for a document numbered before that was kept, by the year of its date.
QString seriesYear(const db::Connection& cn, std::int32_t anno)
{
    const QString year = QString::number(anno);
    const QString byDate = QStringLiteral("Year(fatData)=") + year;
    // A file the start could not upgrade yet has no such column.
    const db::TableInfo fatture = cn.catalog().table(QStringLiteral("Fatture"));
    const bool kept = std::any_of(fatture.columns.begin(), fatture.columns.end(), [](const db::ColumnInfo& c) {
        return c.name.compare(kSeriesYearColumn, Qt::CaseInsensitive) == 0;
    });
    if (!kept)
        return byDate;
    return QStringLiteral("(") + kSeriesYearColumn + QStringLiteral("=") + year + QStringLiteral(" OR (") + kSeriesYearColumn
           + QStringLiteral(" Is Null AND ") + byDate + QStringLiteral("))");
}

} // namespace

std::int32_t highestIssuedNumber(const db::Connection& cn, std::int32_t sezId, std::int32_t anno, const QString& prefix)
{
    const QString serie = prefix.isEmpty() ? QStringLiteral("(fatPrefisso Is Null OR fatPrefisso='')")
                                           : QStringLiteral("fatPrefisso=") + SqlQuoted(prefix);
    db::Recordset rs;
    rs.setCursorLocation(db::CursorLocation::Client);
    rs.open(QStringLiteral("SELECT Max(fatNo) AS Ultimo FROM Fatture WHERE sezId=") + QString::number(sezId)
                + QStringLiteral(" AND fatTipo<2 AND ") + seriesYear(cn, anno) + QStringLiteral(" AND ") + serie
                + QStringLiteral(" AND (fatPrefisso Is Not Null OR fatTipoMol Is Not Null)"),
            cn, db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
    const std::int32_t n = rs.eof() || rs.value(0).isEmptyOrNull() ? 0 : rs.value(0).toLong();
    rs.close();
    return n;
}

CounterSaveResult saveCounter(const QString& connectionString, std::int32_t sezId, std::int32_t anno, const QString& prefix,
                              std::int32_t value, std::int32_t seen)
{
    db::Connection cn = openClientConnection(connectionString);
    db::Transaction tx(cn);
    CounterSaveResult result;
    result.stored = readCounter(cn, sezId, anno, prefix);
    result.highestIssued = highestIssuedNumber(cn, sezId, anno, prefix);
    if (value < result.highestIssued) {
        result.outcome = CounterSave::BelowIssued;
        return result;
    }
    if (result.stored != seen) {
        result.outcome = CounterSave::ChangedMeanwhile;
        return result;
    }
    db::Recordset rs = openCounterRows(cn, sezId, anno, prefix, db::LockType::Optimistic);
    setCounterRows(rs, sezId, anno, prefix, value);
    rs.close();
    tx.commit();
    cn.close();
    result.stored = value;
    return result;
}

std::int32_t readCounter(const QString& connectionString, std::int32_t sezId, std::int32_t anno, const QString& prefix)
{
    return domain::onOwnConnection(connectionString,
                                   [&](db::Connection& cn) { return readCounter(cn, sezId, anno, prefix); });
}

QString counterListQuery(std::int32_t sezId, std::int32_t anno)
{
    return QStringLiteral("SELECT parId, parKey3 AS Sezione, parNum1 AS [Ultimo Numero] FROM SezioniParametri WHERE parKey4=")
           + QString::number(anno) + QStringLiteral(" AND parsezId=") + QString::number(sezId);
}
