#pragma once

#include <QString>

class Avanzamento;

namespace report {
class Report;
}

// The run modes of the report chooser.
enum ModoStampa : int {
    kModoStampa = 0,
    kModoAnteprima = 1,
    kModoExcel = 10,
    kModoRtf = 11,
    kModoPdf = 12,
    kModoHtml = 13,
};

// One export format: its save dialog and its filter.
struct FormatoEsportazione {
    int modo;
    QString estensione; // default extension of the save dialog
    QString filtro;     // the save dialog's filter
    QString classe;     // the export filter's class identity
    QString nome;       // for messages
};

// The format of an export mode (10 to 13); nullptr for other modes.
const FormatoEsportazione* FormatoDi(int modo);

// The export steps: runs the report when it has not run, asks for a file name
// through the dialog seam and exports the pages there. The file is written
// beside its target and renamed over it once complete, so a failure leaves
// no partial file and an existing file as it was. False when the dialog was
// cancelled or after an Italian message box. With `avanzamento` the run and
// the writing report to that progress window (out of the way while the save
// dialog asks); after its "Annulla", false with no file and no message.
bool EsportaReport(report::Report& rpt, int modo, Avanzamento* avanzamento = nullptr);
