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
        if (text.contains(QChar(0)))
            throw errors::nulInText(column.name);
        return core::Variant(text);
    }
    case DataType::LongVarWChar: {
        // A memo keeps bytes as bytes.
        if (value.isBytes())
            return value;
        const QString text = value.toString();
        if (text.contains(QChar(0)))
            throw errors::nulInText(column.name);
        return core::Variant(text);
    }
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

namespace {

// Text sorts as a dictionary does: an accented letter with its plain letter
// ("é" with "e"), case aside.
QString sortText(const QString& text)
{
    bool plain = true;
    for (const QChar c : text)
        plain = plain && c.unicode() < 0x80;
    if (plain)
        return text;
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            folded += c;
    return folded;
}

} // namespace

SortValue sortValueOf(const core::Variant& value)
{
    SortValue key;
    if (value.isEmptyOrNull())
        return key;
    if (value.isString()) {
        key.kind = SortValue::Text;
        key.text = sortText(value.toString());
    } else if (value.isBytes()) {
        key.kind = SortValue::Bytes;
        key.bytes = value.toBytes();
    } else {
        // Currency as a double keeps its order: four decimals fit a double exactly enough.
        key.kind = SortValue::Number;
        key.number = value.toDouble();
    }
    return key;
}

int compareSortValues(const SortValue& a, const SortValue& b)
{
    if (a.kind != b.kind)
        return a.kind < b.kind ? -1 : 1;
    switch (a.kind) {
    case SortValue::Number:
        return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
    case SortValue::Text:
        return a.text.compare(b.text, Qt::CaseInsensitive);
    case SortValue::Bytes:
        return a.bytes < b.bytes ? -1 : (b.bytes < a.bytes ? 1 : 0);
    default:
        return 0;
    }
}

} // namespace db
