#pragma once

#include "platform/database/Connection.h"

namespace db {

namespace detail {
// What both guards share: the connection, whether the transaction is still
// theirs to end, and the rollback a destructor may do without throwing.
class TransactionGuard {
protected:
    explicit TransactionGuard(Connection& cn) : m_cn(cn) {}
    ~TransactionGuard()
    {
        if (!m_open)
            return;
        try {
            if (m_cn.isOpen() && m_cn.inTransaction())
                m_cn.rollbackTrans();
        } catch (...) {
            // A destructor must not throw; the error being handled is the one to report.
        }
    }
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

    Connection& m_cn;
    bool m_open = false;
};
} // namespace detail

// A write transaction as an object: begun on construction, committed only by
// commit(), rolled back by the destructor otherwise, so an early return or an
// exception never leaves the database locked or half-written.
class Transaction : private detail::TransactionGuard {
public:
    explicit Transaction(Connection& cn) : TransactionGuard(cn)
    {
        m_cn.beginTrans();
        m_open = true;
    }

    void commit()
    {
        m_cn.commitTrans();
        m_open = false;
    }
    // Rolls back now, reporting a failure (the destructor would swallow it).
    void rollback()
    {
        m_open = false;
        m_cn.rollbackTrans();
    }
    bool isOpen() const { return m_open; }
};

// A read snapshot as an object: begun on construction, ended by end() or by the
// destructor, so the shared lock never outlives the reads it is for.
class ReadTransaction : private detail::TransactionGuard {
public:
    explicit ReadTransaction(Connection& cn) : TransactionGuard(cn)
    {
        m_cn.beginReadTrans();
        m_open = true;
    }

    void end()
    {
        m_open = false;
        m_cn.commitTrans();
    }
};

} // namespace db
