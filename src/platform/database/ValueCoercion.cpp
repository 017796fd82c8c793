#include "platform/database/ValueCoercion.h"

#include "platform/database/DbErrors.h"

#include <limits>

namespace db {

namespace {

[[noreturn]] void refuse(const core::Variant& value, const ColumnMeta& column)
{
    throw errors::badValue(column.name, value.toString());
}

std::int64_t integerIn(const core::Variant& value, const ColumnMeta& column, std::int64_t low, std::int64_t high)
{
    bool ok = false;
    const std::int64_t v = value.toInt64(&ok);
    if (!ok || v < low || v > high)
        refuse(value, column);
    return v;
}

} // namespace

core::Variant coerceToColumn(const core::Variant& value, const ColumnMeta& column)
{
    if (value.isEmptyOrNull())
        return core::Variant::null();
    bool ok = true;
    switch (column.type) {
    case DataType::Boolean:
        if (value.isString()) {
            const QString text = value.toString().trimmed();
            if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                return core::Variant(true);
            if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
                return core::Variant(false);
            const double number = value.toDouble(&ok);
            if (!ok)
                refuse(value, column);
            return core::Variant(number != 0.0);
        }
        return core::Variant(value.toBool());
    case DataType::SmallInt:
        return core::Variant(static_cast<std::int16_t>(integerIn(value, column, std::numeric_limits<std::int16_t>::min(),
                                                                 std::numeric_limits<std::int16_t>::max())));
    case DataType::UnsignedTinyInt:
        return core::Variant(static_cast<std::uint8_t>(integerIn(value, column, 0, 255)));
    case DataType::Integer:
        return core::Variant(static_cast<std::int32_t>(integerIn(value, column, std::numeric_limits<std::int32_t>::min(),
                                                                 std::numeric_limits<std::int32_t>::max())));
    case DataType::BigInt:
        return core::Variant::fromInt64(integerIn(value, column, std::numeric_limits<std::int64_t>::min(),
                                                  std::numeric_limits<std::int64_t>::max()));
    case DataType::Currency: {
        const core::Currency amount = value.toCurrency(&ok);
        if (!ok)
            refuse(value, column);
        return core::Variant(amount);
    }
    case DataType::Double: {
        const double number = value.toDouble(&ok);
        if (!ok)
            refuse(value, column);
        return core::Variant(number);
    }
    case DataType::Single: {
        const double number = value.toDouble(&ok);
        if (!ok)
            refuse(value, column);
        return core::Variant(static_cast<float>(number));
    }
    case DataType::Date: {
        const double serial = value.toDateSerial(&ok);
        if (!ok)
            refuse(value, column);
        return core::Variant(core::DateValue{serial});
    }
    case DataType::VarWChar: {
        const QString text = value.toString();
        if (column.definedSize > 0 && text.size() > column.definedSize)
            throw errors::tooLong(column.name, column.definedSize);
        return core::Variant(text);
    }
    case DataType::LongVarWChar:
        // A memo keeps bytes as bytes.
        return value.isBytes() ? value : core::Variant(value.toString());
    case DataType::VarBinary: {
        const QByteArray bytes = value.toBytes();
        if (column.definedSize > 0 && bytes.size() > column.definedSize)
            throw errors::tooLong(column.name, column.definedSize);
        return core::Variant(bytes);
    }
    case DataType::LongVarBinary:
        return core::Variant(value.toBytes());
    default:
        return value;
    }
}

int compareForSort(const core::Variant& a, const core::Variant& b)
{
    const bool aNull = a.isEmptyOrNull();
    const bool bNull = b.isEmptyOrNull();
    if (aNull || bNull)
        return aNull == bNull ? 0 : (aNull ? -1 : 1);
    if (a.isString() && b.isString())
        return a.toString().compare(b.toString(), Qt::CaseInsensitive);
    if (a.type() == core::VarType::Currency && b.type() == core::VarType::Currency) {
        const auto x = a.toCurrency();
        const auto y = b.toCurrency();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    const bool aNumeric = a.isNumber() || a.isDate();
    const bool bNumeric = b.isNumber() || b.isDate();
    if (aNumeric && bNumeric) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    if (a.isBytes() && b.isBytes()) {
        const QByteArray x = a.toBytes();
        const QByteArray y = b.toBytes();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    // Mixed kinds: numbers before text, then by their text.
    if (aNumeric != bNumeric)
        return aNumeric ? -1 : 1;
    return a.toString().compare(b.toString(), Qt::CaseInsensitive);
}

} // namespace db
