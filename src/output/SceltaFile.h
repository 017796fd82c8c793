#pragma once

#include <QString>

namespace report {
class Report;
}

// The save dialog of an export: it proposes the report's caption as the name,
// in the folder of the last export (kept in the settings as "appset_expdir";
// the Documents folder the first time), and remembers the folder chosen.
// The chosen path, or "" when the dialog was cancelled.
QString ScegliFileEsportazione(const report::Report& rpt, const QString& estensione, const QString& filtro);

// A caption as a file name: what a folder cannot hold in a name (a slash)
// becomes a dash; "Documento" when nothing is left.
QString NomeFileDaTitolo(const QString& titolo);
