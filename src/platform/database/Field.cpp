#include "platform/database/Field.h"

#include "platform/database/DbErrors.h"
#include "platform/database/RecordsetImpl.h"
#include "platform/database/jet/StorageTypes.h"

namespace db {

Field::Field(std::shared_ptr<RecordsetImpl> recordset, int index) : m_recordset(std::move(recordset)), m_index(index) {}

QString Field::name() const
{
    return m_recordset->column(m_index).name;
}

DataType Field::type() const
{
    return m_recordset->column(m_index).type;
}

int Field::definedSize() const
{
    return m_recordset->column(m_index).definedSize;
}

int Field::actualSize() const
{
    const core::Variant current = m_recordset->value(m_index);
    if (current.isEmptyOrNull())
        return 0;
    if (current.isString())
        return static_cast<int>(current.toString().size());
    if (current.isBytes())
        return static_cast<int>(current.toBytes().size());
    const int size = jet::fixedSize(type());
    return size > 0 ? size : 8;
}

bool Field::isAutoIncrement() const
{
    return m_recordset->column(m_index).autoIncrement;
}

bool Field::isNullable() const
{
    return m_recordset->column(m_index).nullable;
}

core::Variant Field::value() const
{
    return m_recordset->value(m_index);
}

void Field::setValue(const core::Variant& value)
{
    m_recordset->setValue(m_index, value);
}

core::Variant Field::originalValue() const
{
    return m_recordset->originalValue(m_index);
}

void Field::appendChunk(const QByteArray& bytes)
{
    m_recordset->appendChunk(m_index, bytes);
}

QByteArray Field::getChunk(int length)
{
    return m_recordset->getChunk(m_index, length);
}

} // namespace db
