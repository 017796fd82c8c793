#pragma once

#include "platform/database/Types.h"

#include <QString>

namespace db::jet {

// How each Jet column type is declared in the SQLite file, and read back.
// The declared type text is the only record of the Jet type, so both
// directions live here and nowhere else.
//
// | Jet type                       | declared as                          | stored as                       |
// |--------------------------------|--------------------------------------|---------------------------------|
// | COUNTER, AUTOINCREMENT         | INTEGER PRIMARY KEY AUTOINCREMENT    | integer                         |
// | LONG, INT, INTEGER4            | LONGINT                              | integer                         |
// | INTEGER, SHORT, SMALLINT       | SMALLINT                             | integer                         |
// | BYTE, TINYINT                  | TINYINT                              | integer                         |
// | YESNO, BIT, LOGICAL            | YESNO                                | integer, True = -1, False = 0   |
// | CURRENCY, MONEY                | CURRENCY                             | real, four decimals             |
// | DOUBLE, FLOAT, NUMBER          | DOUBLE                               | real                            |
// | SINGLE, REAL                   | FLOAT                                | real                            |
// | DATETIME, DATE, TIME           | DATETIME                             | real: days since 1899-12-30     |
// | TEXT(n), VARCHAR(n), CHAR(n)   | VARCHAR(n) COLLATE NOCASE            | text (n characters at most)     |
// | TEXT, without a size           | VARCHAR(255) COLLATE NOCASE          | text                            |
// | MEMO, LONGTEXT, LONGCHAR       | LONGTEXT COLLATE NOCASE              | text (or bytes, when given bytes)|
// | LONGBINARY, OLEOBJECT, IMAGE   | BLOB                                 | bytes                           |
// | BINARY(n), VARBINARY(n)        | VARBINARY(n)                         | bytes                           |
//
// The file declares only what any SQLite tool knows (NOCASE is SQLite's own
// case-insensitive collation, for ASCII letters), so the sqlite3 shell or any
// other SQLite program can check, query, back up and write it. Jet's finer rule,
// case ignored beyond ASCII, is the collation JETTEXT that the layer registers
// on its own connections; the translator adds it to every comparison, sort,
// grouping and Min/Max of text in the statements it emits. Unique indexes on
// text use the column's NOCASE, so they ignore the case of ASCII letters.
// Files written when the columns declared JETTEXT still open; upgradeStorage()
// of the connection rewrites them to these declarations.
// A text column's length limit is a CHECK constraint named "len_<column>".
//
// Values in SQL: a date literal #m/d/y# is written as its day serial; True and
// False as -1 and 0; computed currency (sums, differences) is rounded to four
// decimals where it is computed, so it compares exactly.
//
// Indexes: Jet names an index within its table ("PrimaryKey" on every table),
// SQLite within the file, so an index is stored as "<table>.<index>" (a dot
// cannot occur in a Jet name). CREATE INDEX ... WITH PRIMARY and UNIQUE give a
// unique index; DISALLOW NULL and IGNORE NULL are accepted and not enforced.
// A COUNTER column is the table's SQLite primary key; another Jet primary key
// becomes the table's primary key only when the table has no counter (else a
// unique constraint).

struct StorageType {
    DataType type = DataType::Empty;
    int definedSize = 0;
    bool autoIncrement = false;
};

// The SQLite column definition (type, collation, check) for a Jet type name
// such as "TEXT(40)", "COUNTER", "YESNO"; `ok` false for an unknown name.
QString declaredColumn(const QString& column, const QString& jetType, bool* ok = nullptr);

// The Jet type behind a declared type read from the file. `primaryKey` tells an
// INTEGER PRIMARY KEY (a counter) apart.
StorageType storageTypeFromDeclared(const QString& declaredType, bool primaryKey);

// Byte size reported as DefinedSize for fixed-size types (Long 4, Double 8, ...).
int fixedSize(DataType type);

// The stored name of Jet index `index` of `table`, and back (empty when the
// stored name is not one of ours, e.g. SQLite's own autoindexes).
QString indexStorageName(const QString& table, const QString& index);
QString jetIndexName(const QString& table, const QString& storedName);

// The name of the CHECK constraint that limits a text column.
QString lengthConstraintName(const QString& column);

} // namespace db::jet
