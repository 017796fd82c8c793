#pragma once

#include <QStringList>

namespace startup {

// The Jet DDL and seed rows of the template database "master.gen": the ten base
// tables with their base columns only (the start-up upgrade adds the rest) and
// the administrator's section, its print settings and the usual VAT codes.
// Run in order on an empty database, each statement must succeed.
QStringList templateSchemaStatements();

} // namespace startup
