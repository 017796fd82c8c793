#include "platform/report/DataControl.h"

#include "platform/report/ReportError.h"

#include "platform/database/Recordset.h"

namespace report {

DataControl::DataControl() = default;
DataControl::~DataControl() = default;

DataControl::DataControl(const DataControl& other)
    : m_connectionString(other.m_connectionString), m_source(other.m_source), m_sort(other.m_sort)
{
}

DataControl& DataControl::operator=(const DataControl& other)
{
    if (this != &other) {
        m_connectionString = other.m_connectionString;
        m_source = other.m_source;
        m_sort = other.m_sort;
        m_recordset.reset();
    }
    return *this;
}

db::Recordset& DataControl::recordset()
{
    if (!m_recordset)
        raiseError(ErrorNumber::DataSourceFailed, QStringLiteral("Il controllo dati non ha un recordset aperto"));
    return *m_recordset;
}

void DataControl::open()
{
    close();
    auto rs = std::make_shared<db::Recordset>();
    rs->setCursorLocation(db::CursorLocation::Client);
    rs->open(m_source, m_connectionString, db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
    if (!m_sort.isEmpty())
        rs->setSort(m_sort);
    m_recordset = std::move(rs);
}

bool DataControl::eof() const
{
    return !m_recordset || m_recordset->eof();
}

void DataControl::moveNext()
{
    if (m_recordset)
        m_recordset->moveNext();
}

int DataControl::columnCount() const
{
    return m_recordset ? m_recordset->fieldCount() : 0;
}

QString DataControl::columnName(int index) const
{
    return m_recordset->field(index).name();
}

core::Variant DataControl::value(int index) const
{
    return m_recordset->value(index);
}

core::Variant DataControl::value(const QString& field)
{
    return recordset().value(field);
}

void DataControl::close()
{
    // The recordset stays readable after the run (as the event handlers may
    // look at it); dropping the handle releases it.
    m_recordset.reset();
}

} // namespace report
