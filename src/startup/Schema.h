#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace db {
class Connection;
}

namespace startup {

// The Jet DDL and seed rows of the template database "master.gen": the ten base
// tables with their base columns only (the start-up upgrade adds the rest), the
// linking indexes on those columns, and the administrator's section, its print
// settings and the usual VAT codes. Run in order on an empty database, each
// statement must succeed.
QStringList templateSchemaStatements();

// An index on the columns that link rows to one another, so that opening,
// deleting or reporting a document looks its rows up instead of reading whole
// tables: lines and VAT rows by document, documents by client and by section
// and date, collections by document, services by client, counters by section
// and year.
struct LinkingIndex {
    const char* table;
    const char* name;    // the index's name within its table
    const char* columns; // as written in the statement: "sezId, fatData"
    bool inTemplate;     // its table and columns come with the template
};
const QVector<LinkingIndex>& linkingIndexes();
// "CREATE INDEX <name> ON <table> (<columns>)", in the Jet dialect.
QString linkingIndexStatement(const LinkingIndex& index);

// Creates the linking indexes a database lacks, for the start-up upgrade: reads
// the catalog first, so a database that has them all is only read; an index
// whose table or columns are missing is left for a later start. Returns the
// indexes created. Errors of the engine reach the caller.
int createLinkingIndexes(db::Connection& cn);

} // namespace startup
