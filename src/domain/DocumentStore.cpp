#include "domain/DocumentStore.h"

#include "common/comDataBase.h"
#include "platform/database/Field.h"
#include "platform/database/Types.h"

#include <algorithm>

namespace {

bool sameStored(const core::Variant& a, const core::Variant& b)
{
    if (a.isEmptyOrNull() || b.isEmptyOrNull())
        return a.isEmptyOrNull() && b.isEmptyOrNull();
    if (a.isString() || b.isString())
        return a.isString() && b.isString() && a.toString() == b.toString();
    return a.sameValue(b);
}

db::DbError conflict(const QString& what)
{
    return db::DbError(db::ErrorKind::Conflict, db::ErrorNumber::Conflict, what);
}

} // namespace

QString counterQuery(std::int32_t sezId, std::int32_t anno, const QString& prefix)
{
    const QString sez = QString::number(sezId);
    const QString year = QString::number(anno);
    if (!prefix.isEmpty())
        return QStringLiteral("SELECT * FROM SezioniParametri WHERE parsezId=") + sez + QStringLiteral(" AND parKey4=") + year
             + QStringLiteral(" AND parKey3=") + SqlQuoted(prefix);
    return QStringLiteral("SELECT * FROM SezioniParametri ") + QStringLiteral("WHERE (parsezId=") + sez
         + QStringLiteral(" AND parKey4=") + year + QStringLiteral(" AND parKey3 Is Null) OR (parsezId=") + sez
         + QStringLiteral(" AND parKey4=") + year + QStringLiteral(" AND parKey3='')");
}

std::int32_t assignNumber(const db::Connection& cn, std::int32_t sezId, std::int32_t anno, const QString& prefix)
{
    if (!cn.inTransaction())
        throw db::DbError(db::ErrorKind::InvalidOperation, db::ErrorNumber::Unspecified,
                          QStringLiteral("la numerazione richiede una transazione"));
    db::Recordset rs;
    rs.setCursorLocation(db::CursorLocation::Client);
    rs.open(counterQuery(sezId, anno, prefix) + QStringLiteral(" ORDER BY parId"), cn, db::CursorType::Static,
            db::LockType::Optimistic, db::CommandType::Text);
    std::int32_t n = 1;
    if (rs.eof()) {
        rs.addNew();
        rs.setValue(QStringLiteral("parsezId"), core::Variant(sezId));
        rs.setValue(QStringLiteral("parKey4"), core::Variant(static_cast<std::int16_t>(anno)));
        if (!prefix.isEmpty())
            rs.setValue(QStringLiteral("parKey3"), core::Variant(prefix));
        rs.setValue(QStringLiteral("parNum1"), core::Variant(n));
        rs.update();
    } else {
        std::int32_t last = 0;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            const core::Variant v = rs.value(QStringLiteral("parNum1"));
            last = std::max(last, v.isEmptyOrNull() ? 0 : v.toLong());
        }
        n = last + 1;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            rs.setValue(QStringLiteral("parNum1"), core::Variant(n));
            rs.update();
        }
    }
    rs.close();
    return n;
}

void writePendingRows(const db::Recordset& source, const QString& sql, const QString& keyField, const db::Connection& cn,
                      const QHash<QString, core::Variant>& overrides)
{
    db::Recordset target;
    target.setCursorLocation(db::CursorLocation::Client);
    target.open(sql, cn, db::CursorType::Static, db::LockType::BatchOptimistic, db::CommandType::Text);

    QHash<qint64, db::Bookmark> byKey;
    for (target.moveFirst(); !target.eof(); target.moveNext())
        byKey.insert(target.value(keyField).toInt64(), target.bookmark());

    auto locate = [&](const core::Variant& key) {
        const auto it = byKey.constFind(key.toInt64());
        if (key.isEmptyOrNull() || it == byKey.constEnd())
            throw conflict(QStringLiteral("riga eliminata da un altro utente"));
        target.setBookmark(*it);
    };

    db::Recordset rows = source.clone();
    // Every row when something must be written into each; else only the changed ones.
    if (overrides.isEmpty())
        rows.setFilter(db::FilterGroup::PendingRecords);
    const int fields = rows.fieldCount();
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        const int status = rows.status();
        const bool isNew = status & db::RecordStatus::New;
        if (status & db::RecordStatus::Deleted) {
            if (isNew)
                continue;
            locate(rows.field(keyField).originalValue());
            target.deleteRecord();
            continue;
        }
        if (isNew) {
            target.addNew();
            for (int i = 0; i < fields; ++i) {
                const db::Field f = rows.field(i);
                const core::Variant v = f.value();
                if (f.isAutoIncrement() || v.isEmptyOrNull() || target.fieldIndex(f.name()) < 0)
                    continue;
                target.setValue(f.name(), v);
            }
        } else {
            locate(rows.field(keyField).originalValue());
            if (status & db::RecordStatus::Modified) {
                for (int i = 0; i < fields; ++i) {
                    const db::Field f = rows.field(i);
                    const core::Variant now = f.value();
                    const core::Variant was = f.originalValue();
                    if (f.isAutoIncrement() || sameStored(now, was) || target.fieldIndex(f.name()) < 0)
                        continue;
                    if (!sameStored(target.value(f.name()), was))
                        throw conflict(QStringLiteral("riga modificata da un altro utente"));
                    target.setValue(f.name(), now);
                }
            }
        }
        for (auto it = overrides.constBegin(); it != overrides.constEnd(); ++it)
            target.setValue(it.key(), it.value());
        target.update();
    }
    target.updateBatch();
    target.close();
}
