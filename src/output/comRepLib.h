#pragma once

#include "platform/core/Variant.h"
#include "platform/report/Progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class comfrmPrintProgress;

namespace report {
class Report;
}

// The progress window of one report run, from the first row read to the last
// page written. It stands application-modal, so no second run starts from
// under it; the job's progress handler keeps the program painting (events
// every ~50 ms) and says stop once "Annulla" was pressed.
class Avanzamento {
public:
    // The window, shown at once, telling what the run is for: "dove" the
    // printer's name (printing), or a caption of the output (preview, export).
    explicit Avanzamento(const QString& dove);
    ~Avanzamento();
    Avanzamento(const Avanzamento&) = delete;
    Avanzamento& operator=(const Avanzamento&) = delete;

    // What the run, the export or the print is given to report to.
    report::ProgressHandler gestore();
    bool annullato() const;
    // Out of the way while a dialog asks (the save dialog), back for the writing.
    void nascondi();
    void mostra();
    // The pages go to the printer now: that cannot be stopped, so Annulla is disabled.
    void invioStampante();
    comfrmPrintProgress* finestra() const;

    // The window's caption for a run mode (ModoStampa) on that printer.
    static QString perModo(int modo, const QString& stampante);

private:
    bool avanza(const report::Progress& p);

    QPointer<comfrmPrintProgress> m_finestra;
    QElapsedTimer m_ultimo;
    report::Progress::Stage m_fase = report::Progress::Stage::Paginating;
    bool m_annullato = false;
};

// Adapts the report's preview toolbar to the Italian interface; with `Esporta`
// it adds the two export tools, which the caller handles.
void ImpostaViewer(report::Report& rpt, bool Esporta);

// Loads the report and directs it to the printer of that device name.
void ImpostaStampante(report::Report& rpt, const core::Variant& NomeStampante);

// Paginates the report with the progress window on screen, then prints it.
// "Annulla" stops the pagination and nothing reaches the printer: the result
// is false then. A printer that fails raises its error to the caller.
bool StampaConAvanzamento(report::Report& rpt);
// The pagination part alone, for a caller that looks at the pages before it
// prints them: false after "Annulla" (the report is unloaded then). Errors of
// the run reach the caller. With `avanzamento` the run reports to that window
// (the caller's, standing already); else to a window of its own.
bool ImpaginaConAvanzamento(report::Report& rpt, Avanzamento* avanzamento = nullptr);

// The indexes of the two tools ImpostaViewer adds with Esporta.
int IndiceStrumentoEsportaExcel(const report::Report& rpt);
int IndiceStrumentoEsportaPdf(const report::Report& rpt);
