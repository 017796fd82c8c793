#pragma once

#include <QString>
#include <cstdint>

namespace db {
class Connection;
}

// A new document's header row is written when the editor opens it; until the
// first save it has no client and no lines. One left behind by an editor that
// never closed (a crash, a kill) is such a row still.

// True when the document exists and has neither a client nor a line.
bool isNeverSavedDocument(db::Connection& cn, std::int32_t fatId);

// In one transaction on a connection of its own: when the document is still
// never saved, deletes it with everything that belongs to it. False, with
// nothing deleted, when it is gone already or has been saved since.
bool deleteIfNeverSaved(const QString& connectionString, std::int32_t fatId);
