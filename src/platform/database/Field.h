#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Types.h"

#include <QString>
#include <memory>

namespace db {

class RecordsetImpl;

// Describes a column when fabricating a recordset (Fields.Append).
struct FieldDefinition {
    QString name;
    DataType type = DataType::VarWChar;
    int definedSize = 0;
    bool nullable = true;
};

// One column of a recordset, seen at the recordset's current row.
// A handle: it stays valid as long as its recordset is open.
class Field {
public:
    Field(std::shared_ptr<RecordsetImpl> recordset, int index);

    QString name() const;
    DataType type() const;
    int definedSize() const;
    // Bytes held by the current value (characters for text); 0 for Null.
    int actualSize() const;
    bool isAutoIncrement() const;
    bool isNullable() const;

    // The value at the current row; Null for a Null column. Setting it starts
    // an edit of the current row (or of the row being added). Texts longer than
    // the column, values that do not convert to its type, and texts holding the
    // character U+0000 are refused with TooLong or Constraint before anything is stored.
    core::Variant value() const;
    void setValue(const core::Variant& value);
    // The value as fetched (or as after the last successful write).
    core::Variant originalValue() const;

    // Long binary and memo columns: append bytes to the current value; read `length` bytes
    // from where the last GetChunk stopped.
    void appendChunk(const QByteArray& bytes);
    QByteArray getChunk(int length);

    int index() const { return m_index; }

private:
    std::shared_ptr<RecordsetImpl> m_recordset;
    int m_index;
};

} // namespace db
