#pragma once

#include "platform/core/Error.h"

#include <QString>
#include <QtGlobal>

namespace db {

// Identifies a row of a recordset (and of its clones) for as long as it is open.
using Bookmark = qint64;

// Enumerations with the numbers of the data-access platform the system was
// written against, so a reader can map calls one to one.
enum class CursorLocation { Server = 2, Client = 3 };
enum class CursorType { Unspecified = -1, ForwardOnly = 0, Keyset = 1, Dynamic = 2, Static = 3 };
enum class LockType { Unspecified = -1, ReadOnly = 1, Pessimistic = 2, Optimistic = 3, BatchOptimistic = 4 };
enum class CommandType { Text = 1, Table = 2 };
enum class AffectRecords { Current = 1, Group = 2, All = 3 };
enum class EditMode { None = 0, InProgress = 1, Add = 2, Delete = 4 };
enum class FilterGroup { None = 0, PendingRecords = 1, AffectedRecords = 2, FetchedRecords = 3, ConflictingRecords = 5 };

// Field data types (the platform's DataTypeEnum numbers).
enum class DataType {
    Empty = 0,
    SmallInt = 2,        // Jet INTEGER / SHORT, 16-bit
    Integer = 3,         // Jet LONG and COUNTER, 32-bit
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    Boolean = 11,        // Jet YESNO; True is -1
    Variant = 12,
    UnsignedTinyInt = 17, // Jet BYTE
    BigInt = 20,
    VarWChar = 202,      // Jet TEXT(n)
    LongVarWChar = 203,  // Jet MEMO
    VarBinary = 204,     // Jet BINARY(n)
    LongVarBinary = 205, // Jet LONGBINARY / OLE object
};

// The types whose values are numbers (what a text box reads as an Italian number).
constexpr bool isNumericType(DataType type)
{
    switch (type) {
    case DataType::SmallInt:
    case DataType::Integer:
    case DataType::Single:
    case DataType::Double:
    case DataType::Currency:
    case DataType::UnsignedTinyInt:
    case DataType::BigInt:
        return true;
    default:
        return false;
    }
}

// Record status bits (RecordStatusEnum).
namespace RecordStatus {
constexpr int Ok = 0;
constexpr int New = 0x1;
constexpr int Modified = 0x2;
constexpr int Deleted = 0x4;
constexpr int Unmodified = 0x8;
constexpr int ConcurrencyViolation = 0x800;
} // namespace RecordStatus

// What went wrong, for callers that must tell a conflict from a refusal.
enum class ErrorKind {
    Other,
    Syntax,          // the SQL text could not be understood
    FileNotFound,    // the database file does not exist
    NotADatabase,    // the file exists but is not a database, or is damaged
    Busy,            // another user holds the file locked; try again later
    ReadOnly,        // the file or folder cannot be written
    AlreadyExists,   // table, column or index exists already
    NoSuchObject,    // table or column unknown
    Conflict,        // the row was changed or deleted by another user
    TooLong,         // a text longer than its column
    Constraint,      // duplicate key, required value missing, value out of range
    InvalidOperation // the call does not fit the object's state (closed, EOF, read-only)
};

// Error numbers the data layer gives its errors; callers compare them, users never read them.
namespace ErrorNumber {
constexpr long Unspecified = -2147467259;      // 0x80004005
constexpr long Syntax = -2147217900;           // 0x80040E14
constexpr long Conflict = -2147217864;         // 0x80040E38 row cannot be located for updating
constexpr long Integrity = -2147217873;        // 0x80040E2F
constexpr long TooLong = -2147217887;          // 0x80040E21
constexpr long NoCurrentRecord = 3021;
constexpr long ObjectClosed = 3704;
constexpr long NotSupported = 3251;
constexpr long ItemNotFound = 3265;
} // namespace ErrorNumber

class DbError : public core::Error {
public:
    DbError(ErrorKind kind, long number, QString description)
        : core::Error(number, std::move(description), QStringLiteral("Database")), m_kind(kind)
    {
    }
    ErrorKind kind() const { return m_kind; }

private:
    ErrorKind m_kind;
};

} // namespace db
