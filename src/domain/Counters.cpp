#include "domain/Counters.h"

#include "common/comDataBase.h"
#include "domain/DocumentStore.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"

#include <algorithm>

namespace {

db::Recordset openCounter(const db::Connection& cn, std::int32_t sezId, std::int32_t anno, const QString& prefix,
                          db::LockType lock)
{
    db::Recordset rs;
    rs.setCursorLocation(db::CursorLocation::Client);
    rs.open(counterQuery(sezId, anno, prefix) + QStringLiteral(" ORDER BY parId"), cn, db::CursorType::Static, lock,
            db::CommandType::Text);
    return rs;
}

} // namespace

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
    db::Recordset rs = openCounter(cn, sezId, anno, prefix, db::LockType::ReadOnly);
    std::int32_t n = 0;
    // Should both forms of the main series' row exist, the higher one counts, as numbering does.
    for (; !rs.eof(); rs.moveNext()) {
        const core::Variant v = rs.value(QStringLiteral("parNum1"));
        n = std::max(n, v.isEmptyOrNull() ? 0 : v.toLong());
    }
    rs.close();
    return n;
}

std::int32_t highestIssuedNumber(const db::Connection& cn, std::int32_t sezId, std::int32_t anno, const QString& prefix)
{
    const QString serie = prefix.isEmpty() ? QStringLiteral("(fatPrefisso Is Null OR fatPrefisso='')")
                                           : QStringLiteral("fatPrefisso=") + SqlQuoted(prefix);
    db::Recordset rs;
    rs.setCursorLocation(db::CursorLocation::Client);
    rs.open(QStringLiteral("SELECT Max(fatNo) AS Ultimo FROM Fatture WHERE sezId=") + QString::number(sezId)
                + QStringLiteral(" AND fatTipo<2 AND Year(fatData)=") + QString::number(anno) + QStringLiteral(" AND ") + serie
                + QStringLiteral(" AND (fatPrefisso Is Not Null OR fatTipoMol Is Not Null)"),
            cn, db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
    const std::int32_t n = rs.eof() || rs.value(0).isEmptyOrNull() ? 0 : rs.value(0).toLong();
    rs.close();
    return n;
}

CounterSaveResult saveCounter(const QString& connectionString, std::int32_t sezId, std::int32_t anno, const QString& prefix,
                              std::int32_t value, std::int32_t seen)
{
    db::Connection cn;
    cn.setCursorLocation(db::CursorLocation::Client);
    cn.open(connectionString);
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
    db::Recordset rs = openCounter(cn, sezId, anno, prefix, db::LockType::Optimistic);
    if (rs.eof()) {
        rs.addNew();
        rs.setValue(QStringLiteral("parsezId"), core::Variant(sezId));
        rs.setValue(QStringLiteral("parKey4"), core::Variant(static_cast<std::int16_t>(anno)));
        if (!prefix.isEmpty())
            rs.setValue(QStringLiteral("parKey3"), core::Variant(prefix));
        rs.setValue(QStringLiteral("parNum1"), core::Variant(value));
        rs.update();
    } else {
        // Every row of the series, so a main series stored both ways stays one counter.
        for (; !rs.eof(); rs.moveNext()) {
            rs.setValue(QStringLiteral("parNum1"), core::Variant(value));
            rs.update();
        }
    }
    rs.close();
    tx.commit();
    cn.close();
    result.stored = value;
    return result;
}
