#include "platform/database/sqlite/SqliteValues.h"

#include "platform/database/DbErrors.h"

#include <QByteArray>
#include <QString>
#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace db::sqlite {

namespace {

QString columnText(sqlite3_stmt* st, int i)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
    const int size = sqlite3_column_bytes(st, i);
    if (!text)
        return QString(QLatin1String(""));
    return QString::fromUtf8(text, size);
}

QByteArray columnBytes(sqlite3_stmt* st, int i)
{
    const void* blob = sqlite3_column_blob(st, i);
    const int size = sqlite3_column_bytes(st, i);
    return blob ? QByteArray(static_cast<const char*>(blob), size) : QByteArray("");
}

std::int64_t columnInteger(sqlite3_stmt* st, int i, int storage)
{
    if (storage == SQLITE_FLOAT)
        return std::llround(sqlite3_column_double(st, i));
    return sqlite3_column_int64(st, i);
}

core::Variant asStored(sqlite3_stmt* st, int i, int storage)
{
    switch (storage) {
    case SQLITE_INTEGER:
        return core::Variant::fromInt64(sqlite3_column_int64(st, i));
    case SQLITE_FLOAT:
        return core::Variant(sqlite3_column_double(st, i));
    case SQLITE_BLOB:
        return core::Variant(columnBytes(st, i));
    default:
        return core::Variant(columnText(st, i));
    }
}

} // namespace

core::Variant readColumn(sqlite3_stmt* st, int i, DataType type)
{
    const int storage = sqlite3_column_type(st, i);
    if (storage == SQLITE_NULL)
        return core::Variant::null();
    const bool numeric = storage == SQLITE_INTEGER || storage == SQLITE_FLOAT;
    switch (type) {
    case DataType::Boolean:
        if (numeric)
            return core::Variant(sqlite3_column_double(st, i) != 0.0);
        break;
    case DataType::SmallInt:
        if (numeric) {
            const auto v = columnInteger(st, i, storage);
            if (v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max())
                return core::Variant(static_cast<std::int16_t>(v));
            return core::Variant::fromInt64(v);
        }
        break;
    case DataType::UnsignedTinyInt:
        if (numeric) {
            const auto v = columnInteger(st, i, storage);
            if (v >= 0 && v <= 255)
                return core::Variant(static_cast<std::uint8_t>(v));
            return core::Variant::fromInt64(v);
        }
        break;
    case DataType::Integer:
    case DataType::BigInt:
        if (numeric)
            return core::Variant::fromInt64(columnInteger(st, i, storage));
        break;
    case DataType::Currency:
        if (storage == SQLITE_INTEGER)
            return core::Variant(core::Currency::fromUnits(sqlite3_column_int64(st, i)));
        if (storage == SQLITE_FLOAT)
            return core::Variant(core::Currency::fromDouble(sqlite3_column_double(st, i)));
        break;
    case DataType::Double:
        if (numeric)
            return core::Variant(sqlite3_column_double(st, i));
        break;
    case DataType::Single:
        if (numeric)
            return core::Variant(static_cast<float>(sqlite3_column_double(st, i)));
        break;
    case DataType::Date:
        if (numeric)
            return core::Variant(core::DateValue{sqlite3_column_double(st, i)});
        break;
    case DataType::VarWChar:
    case DataType::LongVarWChar:
        // A memo may hold bytes when it was given bytes.
        if (storage == SQLITE_BLOB)
            return core::Variant(columnBytes(st, i));
        return core::Variant(columnText(st, i));
    case DataType::VarBinary:
    case DataType::LongVarBinary:
        return core::Variant(columnBytes(st, i));
    default:
        break;
    }
    return asStored(st, i, storage);
}

int bindValue(sqlite3_stmt* st, int i, const core::Variant& value)
{
    switch (value.type()) {
    case core::VarType::Empty:
    case core::VarType::Null:
        return sqlite3_bind_null(st, i);
    case core::VarType::Boolean:
        return sqlite3_bind_int64(st, i, value.toBool() ? -1 : 0);
    case core::VarType::Integer:
    case core::VarType::Long:
    case core::VarType::Byte:
        return sqlite3_bind_int64(st, i, value.toInt64());
    case core::VarType::Currency:
        return sqlite3_bind_double(st, i, value.toCurrency().toDouble());
    case core::VarType::Single:
    case core::VarType::Double:
    case core::VarType::Date:
        return sqlite3_bind_double(st, i, value.toDouble());
    case core::VarType::ByteArray: {
        const QByteArray bytes = value.toBytes();
        return sqlite3_bind_blob64(st, i, bytes.constData(), static_cast<sqlite3_uint64>(bytes.size()),
                                   SQLITE_TRANSIENT);
    }
    case core::VarType::String:
    default: {
        // The engine would keep such a text, but its SQL functions, its length
        // checks and every other SQLite tool read it only up to that character.
        const QString text = value.toString();
        if (text.contains(QChar(0)))
            throw errors::nulInText(QString());
        const QByteArray utf8 = text.toUtf8();
        return sqlite3_bind_text64(st, i, utf8.constData(), static_cast<sqlite3_uint64>(utf8.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    }
}

} // namespace db::sqlite
