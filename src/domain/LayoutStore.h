#pragma once

#include "platform/database/Connection.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

// The stored print layouts (finData) and their assignment to the document
// kinds of each professional (finRel).

// Why a layout may not be deleted.
enum class LayoutDeletion {
    Allowed,
    OnlyLayout, // the last layout left: a document could no longer be printed
    Assigned,   // some professional prints a document kind with it
    Missing,    // the row is gone (deleted from another machine)
};

// The checks before a deletion, read on `cn` (for the message shown before
// the user is asked to confirm).
LayoutDeletion checkLayoutDeletion(db::Connection& cn, std::int32_t finId);

// Deletes the layout when the checks still allow it, checks and delete in one
// write transaction on `cn`, so no other machine can assign the layout in
// between. Returns the outcome; nothing is deleted unless it is Allowed. A
// database error rolls the transaction back and reaches the caller.
LayoutDeletion deleteLayout(db::Connection& cn, std::int32_t finId);

// The longest layout name the table holds.
constexpr int kLayoutNameMax = 80;

enum class LayoutName { Valid, Empty, TooLong };
LayoutName checkLayoutName(const QString& name);

// Throws core::Error when the bytes are not a layout that prints.
using LayoutCheck = std::function<void(const QByteArray&)>;

// Writes a layout: as a new row named `name` (returns its finId), or over the
// finLay of row `finId` (returns finId; its name stays). `loadsBack` runs
// first, so a layout that could not be printed is never written; the bytes
// are read back inside the write transaction and must come back unchanged.
// Throws core::Error (a refused name, a refused layout, a row gone, a
// database error) with nothing written.
std::int32_t insertLayout(db::Connection& cn, const QString& name, const QByteArray& bytes, const LayoutCheck& loadsBack);
std::int32_t replaceLayout(db::Connection& cn, std::int32_t finId, const QByteArray& bytes, const LayoutCheck& loadsBack);

// What a guarded rewrite of a layout found.
enum class LayoutRewrite {
    Written,
    Gone,    // the row was deleted meanwhile
    Changed, // its bytes are no longer those read at opening (saved from elsewhere)
};

// Writes over the finLay of row `finId` only while it still holds `opened`,
// the bytes read when the layout was opened; otherwise writes nothing and
// tells why. Check and write are one transaction. Throws core::Error as
// replaceLayout does for a refused layout or a database error.
LayoutRewrite rewriteLayout(db::Connection& cn, std::int32_t finId, const QByteArray& opened, const QByteArray& bytes,
                            const LayoutCheck& loadsBack);

// The bytes of a stored layout as the print engine reads them; throws
// core::Error when no row has that finId.
QByteArray readLayout(db::Connection& cn, std::int32_t finId);

// The calls above, each on a connection of its own to the data file that
// `connectionString` names (the windows hold no connection).
LayoutDeletion checkLayoutDeletion(const QString& connectionString, std::int32_t finId);
LayoutDeletion deleteLayout(const QString& connectionString, std::int32_t finId);
std::int32_t insertLayout(const QString& connectionString, const QString& name, const QByteArray& bytes,
                          const LayoutCheck& loadsBack);
LayoutRewrite rewriteLayout(const QString& connectionString, std::int32_t finId, const QByteArray& opened,
                            const QByteArray& bytes, const LayoutCheck& loadsBack);
QByteArray readLayout(const QString& connectionString, std::int32_t finId);

// The assignment rows of a professional, one per document kind, in the order
// they were made.
QString assignmentQuery(std::int32_t sezId);
// The layouts to choose from, by name.
QString layoutChoiceQuery();
