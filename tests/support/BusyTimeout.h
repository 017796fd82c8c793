#pragma once

#include "platform/database/Connection.h"

// Shortens the wait on a file another connection holds for as long as it
// lives, and puts the wait back however the test ends.
class BusyTimeout {
public:
    explicit BusyTimeout(int ms) : m_old(db::Connection::busyTimeout()) { db::Connection::setBusyTimeout(ms); }
    ~BusyTimeout() { db::Connection::setBusyTimeout(m_old); }
    BusyTimeout(const BusyTimeout&) = delete;
    BusyTimeout& operator=(const BusyTimeout&) = delete;

private:
    int m_old;
};
