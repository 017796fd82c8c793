#include "reports/arpDocList.h"

#include "reports/LayoutKit.h"

using namespace report;
using namespace kit;

ReportLayout arpDocList::Struttura()
{
    ReportLayout layout = pagina();
    const double w = larghezza(layout);
    const FontSpec titolo = carattere(14, true);
    const FontSpec filtro = carattere(9, false, true);
    const FontSpec intestazione = carattere(8, true);
    const FontSpec normale = carattere(8);
    const FontSpec totale = carattere(8, true);

    // Columns: date, number and series, client, then four amounts at the right.
    const double colImporto = 1250;
    const double xImporti = w - 4 * colImporto;

    ReportSection& rh = layout.section(kReportHeader);
    etichetta(rh, QStringLiteral("Label11"), QStringLiteral("Lista Documenti"), 0, 0, w, titolo);
    etichetta(rh, QStringLiteral("lblFilter1"), QString(), 0, 420, w, filtro);
    etichetta(rh, QStringLiteral("lblFilter2"), QString(), 0, 680, w, filtro);
    rh.height = 1080;

    ReportSection& ph = layout.section(kPageHeader);
    etichetta(ph, QStringLiteral("Label1"), QStringLiteral("Data"), 0, 0, 1000, intestazione);
    etichetta(ph, QStringLiteral("Label2"), QStringLiteral("Numero"), 1050, 0, 1000, intestazione);
    etichetta(ph, QStringLiteral("Label3"), QStringLiteral("Cliente"), 2150, 0, xImporti - 2200, intestazione);
    const char* titoli[] = {"Importo", "Imposta", "Totale", "Rit. Acc.to"};
    for (int i = 0; i < 4; ++i)
        etichetta(ph, QStringLiteral("Label%1").arg(4 + i), QString::fromUtf8(titoli[i]), xImporti + i * colImporto, 0,
                  colImporto, intestazione, HorizontalAlignment::Right);
    linea(ph, QStringLiteral("Line2"), 0, 300, w);
    ph.height = 360;

    ReportSection& d = layout.section(kDetail);
    campo(d, QStringLiteral("txtfatData"), QStringLiteral("fatData"), 0, 0, 1000, normale);
    campo(d, QStringLiteral("txtfatNo"), QStringLiteral("fatNo"), 1050, 0, 550, normale, HorizontalAlignment::Right,
          QStringLiteral("#;#;#;-"));
    campo(d, QStringLiteral("Field5"), QStringLiteral("fatPrefisso"), 1650, 0, 450, normale);
    campo(d, QStringLiteral("txtcliNome"), QStringLiteral("cliNome"), 2150, 0, xImporti - 2200, normale);
    const char* importi[] = {"fatTotImponibile", "fatTotImposta", "fatTotDoc", "fatTotRitAcc"};
    for (int i = 0; i < 4; ++i)
        importo(d, QStringLiteral("txt") + QString::fromLatin1(importi[i]), QString::fromLatin1(importi[i]),
                xImporti + i * colImporto, 0, colImporto, normale);

    ReportSection& rf = layout.section(kReportFooter);
    linea(rf, QStringLiteral("Line6"), xImporti, 60, 4 * colImporto);
    for (int i = 0; i < 4; ++i)
        importo(rf, QStringLiteral("Field%1").arg(1 + i), QString::fromLatin1(importi[i]), xImporti + i * colImporto, 120,
                colImporto, totale, kImporti, SummaryType::GrandTotal);
    return layout;
}

Report arpDocList::Nuovo(bool ModoEsporta)
{
    Report rpt;
    rpt.setCaption(QStringLiteral("Lista Documenti"));
    rpt.setLayout(Struttura());
    gestoriModoEsporta(rpt, ModoEsporta);
    // Detail_Format does nothing.
    return rpt;
}
