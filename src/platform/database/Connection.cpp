#include "platform/database/Connection.h"

#include "platform/database/Catalog.h"
#include "platform/database/ConnectionImpl.h"
#include "platform/database/DbErrors.h"

namespace db {

Connection::Connection() : m_impl(std::make_shared<ConnectionImpl>()) {}
Connection::~Connection() = default;
Connection::Connection(const Connection&) = default;
Connection& Connection::operator=(const Connection&) = default;

Connection Connection::fromImpl(std::shared_ptr<ConnectionImpl> impl)
{
    Connection connection;
    connection.m_impl = std::move(impl);
    return connection;
}

void Connection::setCursorLocation(CursorLocation location)
{
    m_impl->cursorLocation = location;
}

CursorLocation Connection::cursorLocation() const
{
    return m_impl->cursorLocation;
}

void Connection::open(const QString& connectionString, const QString&, const QString&)
{
    m_impl->open(connectionString);
}

void Connection::close()
{
    m_impl->close();
}

void Connection::abandon() noexcept
{
    try {
        if (isOpen() && inTransaction())
            rollbackTrans();
    } catch (...) {
    }
    try {
        if (isOpen())
            close();
    } catch (...) {
    }
}

bool Connection::isOpen() const
{
    return m_impl->isOpen();
}

QString Connection::connectionString() const
{
    return m_impl->connectionString();
}

QString Connection::databasePath() const
{
    return m_impl->databasePath();
}

long Connection::execute(const QString& sql)
{
    return m_impl->execute(sql);
}

void Connection::beginTrans()
{
    m_impl->beginTrans();
}

void Connection::beginReadTrans()
{
    m_impl->beginReadTrans();
}

void Connection::commitTrans()
{
    m_impl->commitTrans();
}

void Connection::rollbackTrans()
{
    m_impl->rollbackTrans();
}

bool Connection::inTransaction() const
{
    return m_impl->inTransaction();
}

Catalog Connection::catalog() const
{
    return Catalog(m_impl);
}

int Connection::upgradeStorage()
{
    return m_impl->backend().upgradeStorage();
}

QString Connection::quickCheck()
{
    return m_impl->backend().quickCheck();
}

void Connection::createDatabase(const QString& path)
{
    createDatabaseFile(path);
}

QString Connection::connectionStringFor(const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Persist Security Info=False").arg(path);
}

void Connection::setBusyTimeout(int milliseconds)
{
    ConnectionImpl::busyTimeoutMs = milliseconds;
}

int Connection::busyTimeout()
{
    return ConnectionImpl::busyTimeoutMs;
}

void Connection::setBusyWait(int milliseconds)
{
    if (!m_impl || !m_impl->isOpen())
        throw errors::objectClosed();
    m_impl->backend().setBusyTimeout(milliseconds);
}

bool Connection::isInUse(const QString& path)
{
    return databaseFileInUse(path);
}

} // namespace db
