#include "domain/ClientConnection.h"

db::Connection openClientConnection(const QString& connectionString)
{
    db::Connection cn;
    cn.setCursorLocation(db::CursorLocation::Client);
    cn.open(connectionString);
    return cn;
}
