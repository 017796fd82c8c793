#include "reports/arpPrestazioni.h"

#include "reports/LayoutKit.h"

using namespace report;
using namespace kit;

ReportLayout arpPrestazioni::Struttura()
{
    ReportLayout layout = pagina();
    const double w = larghezza(layout);
    const FontSpec intestazione = carattere(8, true);
    const FontSpec normale = carattere(8);
    const double colImporto = 1600;

    ReportSection& rh = layout.section(kReportHeader);
    etichetta(rh, QStringLiteral("Label1"), QStringLiteral("Listino Prestazioni"), 0, 0, w, carattere(14, true));
    rh.height = 540;

    ReportSection& ph = layout.section(kPageHeader);
    etichetta(ph, QStringLiteral("Label2"), QStringLiteral("IVA"), 200, 0, 700, intestazione);
    etichetta(ph, QStringLiteral("Label3"), QStringLiteral("Descrizione"), 950, 0, w - colImporto - 1000, intestazione);
    etichetta(ph, QStringLiteral("Label4"), QStringLiteral("Importo unitario"), w - colImporto, 0, colImporto, intestazione,
              HorizontalAlignment::Right);
    linea(ph, QStringLiteral("Line2"), 0, 300, w);
    ph.height = 360;

    ReportSection& gh = layout.addGroup(kGroupHeader, kGroupFooter, QStringLiteral("cliNome"));
    campo(gh, QStringLiteral("txtcliNome"), QStringLiteral("cliNome"), 0, 80, w, carattere(9, true));
    linea(gh, QStringLiteral("Line1"), 0, 380, w, 0.25);
    gh.height = 420;

    ReportSection& d = layout.section(kDetail);
    campo(d, QStringLiteral("txtpreCodiceIVA"), QStringLiteral("preCodiceIVA"), 200, 0, 700, normale);
    campo(d, QStringLiteral("txtpreDescrizione"), QStringLiteral("preDescrizione"), 950, 0, w - colImporto - 1000, normale);
    importo(d, QStringLiteral("txtpreImporto"), QStringLiteral("preImporto"), w - colImporto, 0, colImporto, normale,
            QStringLiteral("#,#0.00"));

    layout.section(kGroupFooter).height = 120;
    return layout;
}

Report arpPrestazioni::Nuovo()
{
    Report rpt;
    rpt.setCaption(QStringLiteral("Listino Prestazioni"));
    rpt.setLayout(Struttura());
    // GroupHeader1_Format: a group without a client name is the general services'.
    rpt.setSectionHandler(kGroupHeader, [](Report& r) {
        ReportControl& nome = r.control(QStringLiteral("txtcliNome"));
        const ReportField* cliNome = r.fields().find(QStringLiteral("cliNome"));
        const bool vuoto = !cliNome || cliNome->value.isEmptyOrNull() || cliNome->value.toString().isEmpty();
        nome.dataField = vuoto ? QString() : QStringLiteral("cliNome");
        nome.caption = vuoto ? kNonAssociate : QStringLiteral("cliNome");
    });
    return rpt;
}
