#include "platform/core/Variant.h"

#include <cmath>
#include <limits>

namespace core {

namespace {

const QDate kEpoch(1899, 12, 30);

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

std::int64_t roundToInt64HalfEven(double value)
{
    return static_cast<std::int64_t>(roundHalfEven(value, 0));
}

} // namespace

double dateSerial(const QDate& date)
{
    if (!date.isValid())
        return 0.0;
    return static_cast<double>(kEpoch.daysTo(date));
}

double dateSerial(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    const double days = dateSerial(dateTime.date());
    const double fraction = dateTime.time().msecsSinceStartOfDay() / 86400000.0;
    // Before the epoch the fraction counts away from zero, as the stored dates do.
    return days < 0 ? days - fraction : days + fraction;
}

QDate dateFromSerial(double serial)
{
    const double whole = std::trunc(serial);
    return kEpoch.addDays(static_cast<qint64>(whole));
}

QDateTime dateTimeFromSerial(double serial)
{
    const double whole = std::trunc(serial);
    const double fraction = std::fabs(serial - whole);
    const qint64 msecs = std::llround(fraction * 86400000.0);
    QDateTime result(dateFromSerial(whole), QTime(0, 0));
    return result.addMSecs(msecs);
}

Variant Variant::null()
{
    Variant v;
    v.m_value = NullTag{};
    return v;
}

Variant::Variant(bool value) : m_value(value) {}
Variant::Variant(std::int16_t value) : m_value(IntegerValue{value}) {}
Variant::Variant(std::int32_t value) : m_value(value) {}
Variant::Variant(std::uint8_t value) : m_value(ByteValue{value}) {}
Variant::Variant(float value) : m_value(value) {}
Variant::Variant(double value) : m_value(value) {}
Variant::Variant(Currency value) : m_value(value) {}
Variant::Variant(DateValue value) : m_value(value) {}
Variant::Variant(const QDate& value)
{
    if (value.isValid())
        m_value = DateValue{dateSerial(value)};
    else
        m_value = NullTag{};
}
Variant::Variant(const QDateTime& value)
{
    if (value.isValid())
        m_value = DateValue{dateSerial(value)};
    else
        m_value = NullTag{};
}
Variant::Variant(const QString& value) : m_value(value) {}
Variant::Variant(const char* value) : m_value(QString::fromUtf8(value)) {}
Variant::Variant(const QByteArray& bytes) : m_value(bytes) {}

Variant Variant::fromInt64(std::int64_t value)
{
    if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max())
        return Variant(static_cast<std::int32_t>(value));
    return Variant(static_cast<double>(value));
}

VarType Variant::type() const
{
    return std::visit(Overloaded{
                          [](std::monostate) { return VarType::Empty; },
                          [](NullTag) { return VarType::Null; },
                          [](IntegerValue) { return VarType::Integer; },
                          [](std::int32_t) { return VarType::Long; },
                          [](float) { return VarType::Single; },
                          [](double) { return VarType::Double; },
                          [](Currency) { return VarType::Currency; },
                          [](DateValue) { return VarType::Date; },
                          [](const QString&) { return VarType::String; },
                          [](bool) { return VarType::Boolean; },
                          [](ByteValue) { return VarType::Byte; },
                          [](const QByteArray&) { return VarType::ByteArray; },
                      },
                      m_value);
}

bool Variant::isNumber() const
{
    switch (type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Byte:
    case VarType::Boolean:
        return true;
    default:
        return false;
    }
}

double Variant::toDouble(bool* ok) const
{
    bool good = true;
    const double result = std::visit(Overloaded{
                                         [&](std::monostate) { return 0.0; },
                                         [&](NullTag) { return 0.0; },
                                         [](IntegerValue v) { return static_cast<double>(v.v); },
                                         [](std::int32_t v) { return static_cast<double>(v); },
                                         [](float v) { return static_cast<double>(v); },
                                         [](double v) { return v; },
                                         [](Currency v) { return v.toDouble(); },
                                         [](DateValue v) { return v.serial; },
                                         [&](const QString& v) {
                                             const double d = v.trimmed().toDouble(&good);
                                             return good ? d : 0.0;
                                         },
                                         [](bool v) { return v ? -1.0 : 0.0; },
                                         [](ByteValue v) { return static_cast<double>(v.v); },
                                         [&](const QByteArray&) {
                                             good = false;
                                             return 0.0;
                                         },
                                     },
                                     m_value);
    if (ok)
        *ok = good;
    return result;
}

std::int64_t Variant::toInt64(bool* ok) const
{
    switch (type()) {
    case VarType::Long:
        if (ok)
            *ok = true;
        return std::get<std::int32_t>(m_value);
    case VarType::Integer:
        if (ok)
            *ok = true;
        return std::get<IntegerValue>(m_value).v;
    default:
        break;
    }
    bool good = false;
    const double d = toDouble(&good);
    if (ok)
        *ok = good;
    return good ? roundToInt64HalfEven(d) : 0;
}

std::int32_t Variant::toLong(bool* ok) const
{
    bool good = false;
    const std::int64_t v = toInt64(&good);
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        good = false;
    if (ok)
        *ok = good;
    return good ? static_cast<std::int32_t>(v) : 0;
}

bool Variant::toBool() const
{
    if (const auto* b = std::get_if<bool>(&m_value))
        return *b;
    if (const auto* s = std::get_if<QString>(&m_value)) {
        const QString t = s->trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return toDouble() != 0.0;
}

Currency Variant::toCurrency(bool* ok) const
{
    if (const auto* c = std::get_if<Currency>(&m_value)) {
        if (ok)
            *ok = true;
        return *c;
    }
    bool good = false;
    const double d = toDouble(&good);
    if (ok)
        *ok = good;
    return good ? Currency::fromDouble(d) : Currency();
}

double Variant::toDateSerial(bool* ok) const
{
    if (const auto* s = std::get_if<QString>(&m_value)) {
        for (const auto* format : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd"}) {
            const QDateTime dt = QDateTime::fromString(s->trimmed(), QLatin1String(format));
            if (dt.isValid()) {
                if (ok)
                    *ok = true;
                return dateSerial(dt);
            }
        }
        if (ok)
            *ok = false;
        return 0.0;
    }
    return toDouble(ok);
}

QDate Variant::toDate() const
{
    if (isEmptyOrNull())
        return {};
    bool ok = false;
    const double serial = toDateSerial(&ok);
    return ok ? dateFromSerial(serial) : QDate();
}

QDateTime Variant::toDateTime() const
{
    if (isEmptyOrNull())
        return {};
    bool ok = false;
    const double serial = toDateSerial(&ok);
    return ok ? dateTimeFromSerial(serial) : QDateTime();
}

QByteArray Variant::toBytes() const
{
    if (const auto* b = std::get_if<QByteArray>(&m_value))
        return *b;
    if (const auto* s = std::get_if<QString>(&m_value))
        return s->toUtf8();
    return {};
}

QString Variant::toString() const
{
    return std::visit(Overloaded{
                          [](std::monostate) { return QString(); },
                          [](NullTag) { return QString(); },
                          [](IntegerValue v) { return QString::number(v.v); },
                          [](std::int32_t v) { return QString::number(v); },
                          [](float v) { return QString::number(static_cast<double>(v), 'g', 7); },
                          [](double v) { return QString::number(v, 'g', 15); },
                          [](Currency v) { return v.toPlainString(); },
                          [](DateValue v) {
                              const QDateTime dt = dateTimeFromSerial(v.serial);
                              if (dt.time() == QTime(0, 0))
                                  return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
                              return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                          },
                          [](const QString& v) { return v; },
                          [](bool v) { return v ? QStringLiteral("True") : QStringLiteral("False"); },
                          [](ByteValue v) { return QString::number(v.v); },
                          [](const QByteArray& v) { return QString::fromLatin1(v); },
                      },
                      m_value);
}

bool operator==(const Variant& a, const Variant& b)
{
    return a.m_value == b.m_value;
}

bool Variant::sameValue(const Variant& other) const
{
    const VarType a = type();
    const VarType b = other.type();
    if (a == VarType::Null || b == VarType::Null)
        return false;
    if (a == VarType::Empty || b == VarType::Empty)
        return a == b;
    if (a == VarType::Currency && b == VarType::Currency)
        return toCurrency() == other.toCurrency();
    if (isNumber() && other.isNumber())
        return toDouble() == other.toDouble();
    if ((a == VarType::Date || isNumber()) && (b == VarType::Date || other.isNumber()))
        return toDouble() == other.toDouble();
    if (a == VarType::String && b == VarType::String)
        return std::get<QString>(m_value) == std::get<QString>(other.m_value);
    if (a == VarType::ByteArray && b == VarType::ByteArray)
        return std::get<QByteArray>(m_value) == std::get<QByteArray>(other.m_value);
    return false;
}

QString Variant::debugString() const
{
    static const char* const names[] = {"Empty", "Null", "Integer", "Long", "Single", "Double",
                                        "Currency", "Date", "String"};
    const int t = static_cast<int>(type());
    QString name;
    if (t >= 0 && t <= 8)
        name = QLatin1String(names[t]);
    else if (type() == VarType::Boolean)
        name = QStringLiteral("Boolean");
    else if (type() == VarType::Byte)
        name = QStringLiteral("Byte");
    else
        name = QStringLiteral("Byte()");
    return name + QLatin1Char('(') + toString() + QLatin1Char(')');
}

} // namespace core
