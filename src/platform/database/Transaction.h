#pragma once

#include "platform/database/Connection.h"

namespace db {

// A write transaction as an object: begun on construction, committed only by
// commit(), rolled back by the destructor otherwise, so an early return or an
// exception never leaves the database locked or half-written.
class Transaction {
public:
    explicit Transaction(Connection& cn) : m_cn(cn)
    {
        m_cn.beginTrans();
        m_open = true;
    }
    ~Transaction()
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
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

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

private:
    Connection& m_cn;
    bool m_open = false;
};

// A read snapshot as an object: begun on construction, ended by end() or by the
// destructor, so the shared lock never outlives the reads it is for.
class ReadTransaction {
public:
    explicit ReadTransaction(Connection& cn) : m_cn(cn)
    {
        m_cn.beginReadTrans();
        m_open = true;
    }
    ~ReadTransaction()
    {
        if (!m_open)
            return;
        try {
            if (m_cn.isOpen() && m_cn.inTransaction())
                m_cn.rollbackTrans();
        } catch (...) {
            // Ending a read loses nothing; the error being handled is the one to report.
        }
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

    void end()
    {
        m_open = false;
        m_cn.commitTrans();
    }

private:
    Connection& m_cn;
    bool m_open = false;
};

} // namespace db
