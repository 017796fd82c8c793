#pragma once

#include "platform/database/Connection.h"

#include <QString>
#include <utility>

namespace domain {

// Runs `work(cn)` on a connection of its own to the data file named by
// `connectionString` and closes it afterwards; when `work` throws, the
// connection is abandoned (an open transaction rolled back) and the error
// goes on to the caller. The windows reach the data through this, so none
// of them holds a connection.
template <class Work>
decltype(auto) onOwnConnection(const QString& connectionString, Work&& work)
{
    db::Connection cn;
    cn.open(connectionString, QString(), QString());
    struct Closer {
        db::Connection& cn;
        ~Closer() { cn.abandon(); }
    } closer{cn};
    return std::forward<Work>(work)(cn);
}

} // namespace domain
