#pragma once

#include "platform/database/Connection.h"

#include <QString>

// A connection of its own on `connectionString`, with client-side cursors, as
// every read-and-write step of the domain opens one (a transaction on it
// comes next). Throws what opening the file throws.
db::Connection openClientConnection(const QString& connectionString);
