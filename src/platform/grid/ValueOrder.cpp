#include "platform/grid/ValueOrder.h"

#include "platform/core/Currency.h"
#include "platform/core/Format.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace grid {

SortKey sortKeyOf(const core::Variant& value)
{
    if (value.isEmptyOrNull())
        return {0, 0.0, {}};
    if (value.isString())
        return {2, 0.0, value.toString().toCaseFolded()};
    if (value.isBytes())
        return {3, 0.0, value.toString()};
    if (value.isDate())
        return {1, value.toDateSerial(), {}};
    return {1, value.toDouble(), {}};
}

int compareSortKeys(const SortKey& a, const SortKey& b)
{
    if (a.rank != b.rank)
        return a.rank < b.rank ? -1 : 1;
    if (a.rank == 1)
        return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    if (a.rank >= 2)
        return a.text.compare(b.text);
    return 0;
}

int compareValues(const core::Variant& a, const core::Variant& b)
{
    return compareSortKeys(sortKeyOf(a), sortKeyOf(b));
}

static bool equalValues(const core::Variant& cell, const core::Variant& operand)
{
    if (cell.isEmptyOrNull() || operand.isEmptyOrNull())
        return cell.isEmptyOrNull() && operand.isEmptyOrNull();
    if (cell.sameValue(operand))
        return true;
    // A key typed or passed as text against a numeric column ("12" and 12).
    if (cell.isString() != operand.isString()) {
        const core::Variant& number = cell.isString() ? operand : cell;
        const core::Variant& text = cell.isString() ? cell : operand;
        bool ok = false;
        const double parsed = text.toDouble(&ok);
        return ok && number.isNumber() && parsed == number.toDouble();
    }
    return false;
}

bool conditionHolds(int condition, const core::Variant& cell, const QString& cellText, const core::Variant& operand)
{
    switch (condition) {
    case 0: // Equal
        return equalValues(cell, operand);
    case 1: // NotEqual
        return !equalValues(cell, operand);
    case 2: // GreaterThan
        return !cell.isEmptyOrNull() && compareValues(cell, operand) > 0;
    case 3: // LessThan
        return !cell.isEmptyOrNull() && compareValues(cell, operand) < 0;
    case 4: // BeginsWith
        return operand.toString().isEmpty() || cellText.startsWith(operand.toString(), Qt::CaseInsensitive);
    case 5: // Contains
        return operand.toString().isEmpty() || cellText.contains(operand.toString(), Qt::CaseInsensitive);
    default:
        return false;
    }
}

QString editTextOf(const core::Variant& value)
{
    switch (value.type()) {
    case core::VarType::Empty:
    case core::VarType::Null:
        return {};
    case core::VarType::String:
        return value.toString();
    case core::VarType::Currency:
        return value.toCurrency().toPlainString().replace(QLatin1Char('.'), QLatin1Char(','));
    case core::VarType::Single:
    case core::VarType::Double:
        return QString::number(value.toDouble(), 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
    case core::VarType::Date: {
        const QDateTime when = value.toDateTime();
        if (when.time() == QTime(0, 0))
            return when.date().toString(QStringLiteral("dd/MM/yyyy"));
        return when.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    }
    case core::VarType::Boolean:
        return value.toBool() ? QStringLiteral("Vero") : QStringLiteral("Falso");
    default:
        return value.toString();
    }
}

core::Variant valueFromEditText(const QString& text, db::DataType type)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return core::Variant::null();
    switch (type) {
    case db::DataType::SmallInt:
    case db::DataType::Integer:
    case db::DataType::UnsignedTinyInt:
    case db::DataType::BigInt:
    case db::DataType::Single:
    case db::DataType::Double:
    case db::DataType::Currency: {
        const std::optional<double> number = core::parseTypedNumber(trimmed);
        if (!number)
            return text;
        if (type == db::DataType::Currency)
            return core::Currency::fromDouble(*number);
        if (type == db::DataType::Single || type == db::DataType::Double)
            return *number;
        if (*number == double(std::int64_t(*number)))
            return core::Variant::fromInt64(std::int64_t(*number));
        return *number;
    }
    case db::DataType::Date: {
        const std::optional<QDate> date = core::parseItalianDate(trimmed);
        if (!date)
            return text;
        return *date;
    }
    case db::DataType::Boolean: {
        const QString lower = trimmed.toLower();
        if (lower == QLatin1String("vero") || lower == QLatin1String("true") || lower == QLatin1String("-1") || lower == QLatin1String("1"))
            return true;
        if (lower == QLatin1String("falso") || lower == QLatin1String("false") || lower == QLatin1String("0"))
            return false;
        return text;
    }
    default:
        return text;
    }
}

} // namespace grid
