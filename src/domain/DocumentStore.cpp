#include "domain/DocumentStore.h"

#include "common/comUtility.h"
#include "common/comDataBase.h"
#include "domain/Collections.h"
#include "platform/core/Error.h"
#include "platform/database/Field.h"
#include "platform/database/Transaction.h"
#include "platform/database/Types.h"

#include <algorithm>

namespace {

db::DbError conflict(const QString& what)
{
    return db::DbError(db::ErrorKind::Conflict, db::ErrorNumber::Conflict, what);
}


QString idText(std::int32_t id) { return QString::number(id); }

QString headerSql(std::int32_t id) { return QStringLiteral("SELECT * FROM Fatture WHERE fatId=") + idText(id); }
QString linesSql(std::int32_t id) { return QStringLiteral("SELECT * FROM FattureDettaglio WHERE fdtfatId=") + idText(id); }
QString vatSql(std::int32_t id) { return QStringLiteral("SELECT * FROM FattureIVA WHERE fcifatId=") + idText(id); }

db::Recordset readRows(const db::Connection& cn, const QString& sql)
{
    db::Recordset rs;
    rs.setCursorLocation(db::CursorLocation::Client);
    rs.open(sql, cn, db::CursorType::Static, db::LockType::BatchOptimistic, db::CommandType::Text);
    return rs;
}

// A read that failed, told with what it was reading.
db::Recordset readRows(const db::Connection& cn, const QString& sql, const QString& what)
{
    try {
        return readRows(cn, sql);
    } catch (const core::Error& e) {
        throw core::Error(e.number(), what + kCrLf + e.description());
    }
}

} // namespace

Document DocumentStore::load(std::int32_t id) const
{
    db::Connection cn;
    cn.setCursorLocation(db::CursorLocation::Client);
    cn.open(m_connectionString);
    Document doc;
    doc.m_id = id;
    {
        // One snapshot: a document deleted or converted by another machine
        // meanwhile is read either whole or not at all.
        db::ReadTransaction snapshot(cn);
        doc.m_header = readRows(cn, headerSql(id));
        if (doc.m_header.eof())
            throw core::Error(kDocumentGone, QStringLiteral("Il documento non esiste più: è stato eliminato da un altro utente."));
        doc.m_lines = readRows(cn, linesSql(id), QStringLiteral("Impossibile leggere le righe del documento."));
        doc.m_vat = readRows(cn, vatSql(id), QStringLiteral("Impossibile leggere il riepilogo IVA del documento."));
        snapshot.end();
    }
    doc.m_header.disconnect();
    doc.m_lines.disconnect();
    doc.m_vat.disconnect();
    cn.close();
    return doc;
}

DocumentCollections DocumentStore::loadCollections(std::int32_t fatId) const
{
    db::Connection cn;
    cn.setCursorLocation(db::CursorLocation::Client);
    cn.open(m_connectionString);
    DocumentCollections out;
    {
        db::ReadTransaction snapshot(cn);
        db::Recordset header =
            readRows(cn, QStringLiteral("SELECT fatTotNetto, fatData FROM Fatture WHERE fatId=") + idText(fatId));
        if (header.eof())
            throw core::Error(kDocumentGone, QStringLiteral("Il documento non esiste più: è stato eliminato da un altro utente."));
        const core::Variant net = header.value(0);
        out.net = net.isNumber() ? net.toCurrency() : core::Currency();
        const core::Variant date = header.value(1);
        out.date = date.isDate() ? date.toDate() : QDate();
        header.close();
        out.rows = readRows(cn, QStringLiteral("SELECT * FROM Incassi WHERE incFatId=") + idText(fatId),
                            QStringLiteral("Impossibile leggere gli incassi del documento."));
        snapshot.end();
    }
    out.rows.disconnect();
    cn.close();
    return out;
}

void DocumentStore::saveCollections(std::int32_t fatId, db::Recordset& rows) const
{
    db::Connection cn;
    try {
        cn.setCursorLocation(db::CursorLocation::Client);
        cn.open(m_connectionString);
        ::saveCollections(rows, cn, fatId);
        cn.close();
    } catch (...) {
        cn.abandon();
        throw;
    }
}

std::int32_t DocumentStore::save(const Document& document, const DocumentSave& how) const
{
    std::int32_t number = 0;
    db::Connection cn;
    try {
        cn.setCursorLocation(db::CursorLocation::Client);
        cn.open(m_connectionString);
        db::Transaction tx(cn);
        QHash<QString, core::Variant> fixed;
        if (how.numbered) {
            number = assignNumber(cn, how.sezId, how.year, how.prefix);
            fixed.insert(QStringLiteral("fatNo"), core::Variant(number));
            fixed.insert(QStringLiteral("fatTipoMol"), core::Variant(static_cast<std::int16_t>(how.kind == 0 ? 1 : -1)));
            fixed.insert(QStringLiteral("fatPrefisso"), core::Variant(how.prefix));
            if (document.hasHeaderField(kSeriesYearColumn))
                fixed.insert(kSeriesYearColumn, core::Variant(static_cast<std::int16_t>(how.year)));
        }
        if (how.kind == 2)
            fixed.insert(QStringLiteral("fatNo"), core::Variant(std::int32_t(0)));
        const std::int32_t id = document.id();
        writePendingRows(document.lineRows(), linesSql(id), QStringLiteral("fdtId"), cn);
        writePendingRows(document.vatRows(), vatSql(id), QStringLiteral("fciId"), cn);
        writePendingRows(document.headerRows(), headerSql(id), QStringLiteral("fatId"), cn, fixed);
        tx.commit();
        cn.close();
    } catch (...) {
        cn.abandon();
        throw;
    }
    return number;
}

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

db::Recordset openCounterRows(const db::Connection& cn, std::int32_t sezId, std::int32_t anno, const QString& prefix,
                              db::LockType lock)
{
    db::Recordset rs;
    rs.setCursorLocation(db::CursorLocation::Client);
    rs.open(counterQuery(sezId, anno, prefix) + QStringLiteral(" ORDER BY parId"), cn, db::CursorType::Static, lock,
            db::CommandType::Text);
    return rs;
}

std::int32_t lastCounterNumber(db::Recordset& rs)
{
    std::int32_t last = 0;
    for (; !rs.eof(); rs.moveNext()) {
        const core::Variant v = rs.value(QStringLiteral("parNum1"));
        last = std::max(last, v.isEmptyOrNull() ? 0 : v.toLong());
    }
    return last;
}

void setCounterRows(db::Recordset& rs, std::int32_t sezId, std::int32_t anno, const QString& prefix, std::int32_t value)
{
    if (rs.recordCount() == 0) {
        rs.addNew();
        rs.setValue(QStringLiteral("parsezId"), core::Variant(sezId));
        rs.setValue(QStringLiteral("parKey4"), core::Variant(static_cast<std::int16_t>(anno)));
        if (!prefix.isEmpty())
            rs.setValue(QStringLiteral("parKey3"), core::Variant(prefix));
        rs.setValue(QStringLiteral("parNum1"), core::Variant(value));
        rs.update();
        return;
    }
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        rs.setValue(QStringLiteral("parNum1"), core::Variant(value));
        rs.update();
    }
}

std::int32_t assignNumber(const db::Connection& cn, std::int32_t sezId, std::int32_t anno, const QString& prefix)
{
    if (!cn.inTransaction())
        throw db::DbError(db::ErrorKind::InvalidOperation, db::ErrorNumber::Unspecified,
                          QStringLiteral("la numerazione richiede una transazione"));
    db::Recordset rs = openCounterRows(cn, sezId, anno, prefix, db::LockType::Optimistic);
    const std::int32_t n = lastCounterNumber(rs) + 1;
    setCounterRows(rs, sezId, anno, prefix, n);
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
