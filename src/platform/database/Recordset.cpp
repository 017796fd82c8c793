#include "platform/database/Recordset.h"

#include "platform/database/ConnectionImpl.h"
#include "platform/database/RecordsetImpl.h"

namespace db {

Bookmark RowHandle::bookmark() const
{
    return m_row ? m_row->bookmark : 0;
}

const core::Variant& RowHandle::value(int index) const
{
    static const core::Variant empty;
    if (!m_row || index < 0 || index >= m_row->values.size())
        return empty;
    return m_row->values[index];
}

Recordset::Recordset() : m_impl(std::make_shared<RecordsetImpl>()) {}
Recordset::~Recordset() = default;
Recordset::Recordset(const Recordset&) = default;
Recordset& Recordset::operator=(const Recordset&) = default;

void Recordset::setCursorLocation(CursorLocation location)
{
    // Every cursor is fetched client-side; the setting is kept for symmetry only.
    m_impl->cursorLocation = location;
}

void Recordset::setCursorType(CursorType type)
{
    m_impl->cursorType = type;
}

void Recordset::setLockType(LockType type)
{
    m_impl->lockType = type;
}

CursorType Recordset::cursorType() const
{
    return m_impl->cursorType;
}

LockType Recordset::lockType() const
{
    return m_impl->lockType;
}

void Recordset::open(const QString& source, const Connection& connection, CursorType cursor, LockType lock,
                     CommandType command)
{
    m_impl->open(source, connection.impl(), cursor, lock, command);
}

void Recordset::open(const QString& source, const QString& connectionString, CursorType cursor, LockType lock,
                     CommandType command)
{
    auto connection = std::make_shared<ConnectionImpl>();
    connection->open(connectionString);
    m_impl->open(source, connection, cursor, lock, command);
}

void Recordset::appendField(const FieldDefinition& definition)
{
    m_impl->appendField(definition);
}

void Recordset::openFabricated()
{
    m_impl->openFabricated();
}

void Recordset::close()
{
    m_impl->close();
}

bool Recordset::isOpen() const
{
    return m_impl->isOpen();
}

QString Recordset::source() const
{
    return m_impl->source();
}

Connection Recordset::activeConnection() const
{
    return Connection::fromImpl(m_impl->connection());
}

void Recordset::setActiveConnection(const Connection& connection)
{
    m_impl->setConnection(connection.isNull() ? nullptr : connection.impl());
}

void Recordset::disconnect()
{
    m_impl->setConnection(nullptr);
}

bool Recordset::isConnected() const
{
    return m_impl->isConnected();
}

bool Recordset::eof() const
{
    return m_impl->eof();
}

bool Recordset::bof() const
{
    return m_impl->bof();
}

void Recordset::moveFirst()
{
    m_impl->moveFirst();
}

void Recordset::moveLast()
{
    m_impl->moveLast();
}

void Recordset::moveNext()
{
    m_impl->moveNext();
}

void Recordset::movePrevious()
{
    m_impl->movePrevious();
}

void Recordset::move(int rows)
{
    m_impl->move(rows);
}

int Recordset::recordCount() const
{
    return m_impl->recordCount();
}

int Recordset::absolutePosition() const
{
    return m_impl->absolutePosition();
}

void Recordset::setAbsolutePosition(int position)
{
    m_impl->setAbsolutePosition(position);
}

Bookmark Recordset::bookmark() const
{
    return m_impl->bookmark();
}

void Recordset::setBookmark(Bookmark bookmark)
{
    m_impl->setBookmark(bookmark);
}

int Recordset::fieldCount() const
{
    return m_impl->fieldCount();
}

Field Recordset::field(int index) const
{
    m_impl->column(index);
    return Field(m_impl, index);
}

Field Recordset::field(const QString& name) const
{
    return Field(m_impl, m_impl->checkedIndex(name));
}

int Recordset::fieldIndex(const QString& name) const
{
    return m_impl->fieldIndex(name);
}

core::Variant Recordset::value(const QString& name) const
{
    return m_impl->value(m_impl->checkedIndex(name));
}

core::Variant Recordset::value(int index) const
{
    return m_impl->value(index);
}

RowHandle Recordset::currentRow() const
{
    return RowHandle(m_impl->currentShared());
}

void Recordset::setValue(const QString& name, const core::Variant& value)
{
    m_impl->setValue(m_impl->checkedIndex(name), value);
}

void Recordset::setValue(int index, const core::Variant& value)
{
    m_impl->setValue(index, value);
}

void Recordset::addNew()
{
    m_impl->addNew();
}

void Recordset::update()
{
    m_impl->update();
}

void Recordset::cancelUpdate()
{
    m_impl->cancelUpdate();
}

void Recordset::deleteRecord(AffectRecords affect)
{
    m_impl->deleteRecord(affect);
}

void Recordset::updateBatch(AffectRecords affect)
{
    m_impl->updateBatch(affect);
}

void Recordset::cancelBatch(AffectRecords affect)
{
    m_impl->cancelBatch(affect);
}

EditMode Recordset::editMode() const
{
    return m_impl->editMode();
}

int Recordset::status() const
{
    return m_impl->status();
}

void Recordset::setFilter(const QString& criteria)
{
    m_impl->setFilter(criteria);
}

void Recordset::setFilter(FilterGroup group)
{
    m_impl->setFilter(group);
}

QString Recordset::filter() const
{
    return m_impl->filter();
}

void Recordset::setSort(const QString& sort)
{
    m_impl->setSort(sort);
}

QString Recordset::sort() const
{
    return m_impl->sort();
}

Recordset Recordset::clone(LockType lock) const
{
    Recordset copy;
    copy.m_impl = m_impl->clone(lock);
    return copy;
}

void Recordset::requery()
{
    m_impl->requery();
}

} // namespace db
