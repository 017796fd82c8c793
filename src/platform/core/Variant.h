#pragma once

#include "platform/core/Currency.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <variant>

namespace core {

// The subtypes a value can have, with fixed numbers (stored and compared by code
// that switches on them).
enum class VarType : int {
    Empty = 0,
    Null = 1,
    Integer = 2,   // 16-bit
    Long = 3,      // 32-bit
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Boolean = 11,
    Byte = 17,
    ByteArray = 8209,
};

// A date as the database file keeps it: days since 30 December 1899, the
// fraction being the time of day. Comparing and sorting dates is comparing doubles.
struct DateValue {
    double serial = 0.0;
    friend bool operator==(const DateValue&, const DateValue&) = default;
};

double dateSerial(const QDate& date);
double dateSerial(const QDateTime& dateTime);
QDate dateFromSerial(double serial);
QDateTime dateTimeFromSerial(double serial);

// A tagged value in which Empty (never assigned) and Null (no data) differ.
// Conversions are those the stored data needs, each documented below, and
// are locale-neutral: text for display goes through the formatting functions.
class Variant {
public:
    Variant() = default; // Empty
    static Variant null();
    Variant(bool value);
    Variant(std::int16_t value);
    Variant(std::int32_t value);
    Variant(std::uint8_t value);
    Variant(float value);
    Variant(double value);
    Variant(Currency value);
    Variant(DateValue value);
    Variant(const QDate& value);
    Variant(const QDateTime& value);
    Variant(const QString& value);
    Variant(const char* value);
    Variant(const QByteArray& bytes);

    // 64-bit integers arrive from the engine; they become Long when they fit, else Double.
    static Variant fromInt64(std::int64_t value);

    VarType type() const;
    bool isEmpty() const { return type() == VarType::Empty; }
    bool isNull() const { return type() == VarType::Null; }
    bool isEmptyOrNull() const { return isEmpty() || isNull(); }
    bool isString() const { return type() == VarType::String; }
    bool isDate() const { return type() == VarType::Date; }
    bool isBytes() const { return type() == VarType::ByteArray; }
    // A number subtype: Integer, Long, Single, Double, Currency, Byte, Boolean.
    bool isNumber() const;

    // Conversions. Empty and Null give 0, false, empty text, an invalid date.
    // Text is parsed locale-neutrally ("12.5"); Booleans convert to -1 and 0.
    double toDouble(bool* ok = nullptr) const;
    std::int64_t toInt64(bool* ok = nullptr) const; // rounded half to even, as CLng
    std::int32_t toLong(bool* ok = nullptr) const;
    bool toBool() const;
    Currency toCurrency(bool* ok = nullptr) const;
    double toDateSerial(bool* ok = nullptr) const;
    QDate toDate() const;
    QDateTime toDateTime() const;
    QByteArray toBytes() const;
    // Locale-neutral text: numbers with a dot, dates as yyyy-MM-dd[ hh:mm:ss],
    // Booleans as "True"/"False", bytes as Latin-1. Empty and Null give "".
    QString toString() const;

    // Same subtype and same value (Empty == Empty, Null == Null).
    friend bool operator==(const Variant& a, const Variant& b);
    // Value equality across numeric subtypes (1 == 1.0 == Currency 1); Null equals nothing.
    bool sameValue(const Variant& other) const;

    // Text for messages and debugging: the value and its subtype name.
    QString debugString() const;

private:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) { return true; }
    };
    struct IntegerValue {
        std::int16_t v;
        friend bool operator==(IntegerValue, IntegerValue) = default;
    };
    struct ByteValue {
        std::uint8_t v;
        friend bool operator==(ByteValue, ByteValue) = default;
    };
    using Storage = std::variant<std::monostate, NullTag, IntegerValue, std::int32_t, float, double,
                                 Currency, DateValue, QString, bool, ByteValue, QByteArray>;
    Storage m_value;
};

} // namespace core
