#include "platform/database/ConnectionImpl.h"

#include "platform/database/DbErrors.h"

#include <QStringList>

namespace db {

int ConnectionImpl::busyTimeoutMs = 5000;

ConnectionImpl::ConnectionImpl() : m_backend(createBackend()), m_schema(*m_backend) {}

QString ConnectionImpl::dataSource(const QString& connectionString)
{
    const QStringList parts = connectionString.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const int equals = part.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        if (part.left(equals).trimmed().compare(QLatin1String("Data Source"), Qt::CaseInsensitive) != 0)
            continue;
        QString value = part.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

void ConnectionImpl::open(const QString& connectionString)
{
    if (isOpen())
        throw errors::invalidOperation(QStringLiteral("la connessione è già aperta"));
    const QString path = dataSource(connectionString);
    if (path.isEmpty())
        throw DbError(ErrorKind::FileNotFound, ErrorNumber::Unspecified,
                      QStringLiteral("La stringa di connessione non indica il file di database (Data Source)."));
    m_backend->open(path, busyTimeoutMs);
    m_connectionString = connectionString;
    m_path = path;
    m_inTransaction = false;
}

void ConnectionImpl::close()
{
    if (!isOpen())
        return;
    if (m_inTransaction) {
        // Closing abandons the transaction: nothing of it is kept.
        try {
            m_backend->rollback();
        } catch (const DbError&) {
        }
        m_inTransaction = false;
        undoInMemory();
    }
    m_backend->close();
}

Backend& ConnectionImpl::backend()
{
    if (!isOpen())
        throw errors::objectClosed();
    return *m_backend;
}

jet::Translation ConnectionImpl::translate(const QString& jetSql)
{
    backend();
    const SchemaCache::Translation once(m_schema);
    return jet::translate(jetSql, m_schema);
}

long ConnectionImpl::execute(const QString& jetSql)
{
    const jet::Translation translation = translate(jetSql);
    if (translation.alterColumn) {
        backend().alterColumn(*translation.alterColumn);
        return 0;
    }
    return backend().execute(translation.sql);
}

void ConnectionImpl::beginTrans()
{
    if (m_inTransaction)
        throw errors::notSupported(QStringLiteral("transazioni nidificate"));
    backend().begin();
    m_inTransaction = true;
}

void ConnectionImpl::beginReadTrans()
{
    if (m_inTransaction)
        throw errors::notSupported(QStringLiteral("transazioni nidificate"));
    backend().beginRead();
    m_inTransaction = true;
}

void ConnectionImpl::commitTrans()
{
    if (!m_inTransaction)
        throw errors::invalidOperation(QStringLiteral("nessuna transazione attiva"));
    // A failed commit (a busy file) leaves the transaction open, for a retry or a rollback.
    backend().commit();
    m_inTransaction = false;
    m_undo.clear();
}

void ConnectionImpl::rollbackTrans()
{
    if (!m_inTransaction)
        throw errors::invalidOperation(QStringLiteral("nessuna transazione attiva"));
    m_inTransaction = false;
    undoInMemory();
    backend().rollback();
}

void ConnectionImpl::onRollback(std::function<void()> undo)
{
    if (m_inTransaction)
        m_undo.push_back(std::move(undo));
}

void ConnectionImpl::undoInMemory()
{
    auto undo = std::move(m_undo);
    m_undo.clear();
    for (auto it = undo.rbegin(); it != undo.rend(); ++it)
        (*it)();
}

} // namespace db
