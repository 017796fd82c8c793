#include "reports/arpCliFor.h"

#include "domain/ReportQueries.h"
#include "reports/LayoutKit.h"

using namespace report;
using namespace kit;

ReportLayout arpCliFor::Struttura()
{
    ReportLayout layout = pagina();
    const double w = larghezza(layout);
    const FontSpec intestazione = carattere(8, true);
    const FontSpec normale = carattere(8);
    // Name, town, then three phone columns.
    const double colTel = 1500;
    const double xTel = w - 3 * colTel;
    const double colNome = 3900;

    ReportSection& rh = layout.section(kReportHeader);
    etichetta(rh, QStringLiteral("lblTitle"), QString(), 0, 0, w, carattere(14, true));
    linea(rh, QStringLiteral("Line5"), 0, 440, w, 1.5);
    rh.height = 540;

    ReportSection& ph = layout.section(kPageHeader);
    ReportControl& fondo = ph.addControl(ControlKind::Shape, QStringLiteral("Shape1"));
    fondo.left = 0;
    fondo.top = 0;
    fondo.width = w;
    fondo.height = 300;
    fondo.lineWeight = 0;
    fondo.backStyle = BackStyle::Opaque;
    fondo.backColor = QColor(230, 230, 230);
    etichetta(ph, QStringLiteral("Label1"), QStringLiteral("Nome"), 60, 20, colNome - 60, intestazione);
    etichetta(ph, QStringLiteral("Label2"), QStringLiteral("Localita"), colNome + 50, 20, xTel - colNome - 100, intestazione);
    etichetta(ph, QStringLiteral("Label3"), QStringLiteral("Telefono"), xTel, 20, colTel, intestazione);
    etichetta(ph, QStringLiteral("Label4"), QStringLiteral("Cellulare"), xTel + colTel, 20, colTel, intestazione);
    etichetta(ph, QStringLiteral("Label5"), QStringLiteral("Fax"), xTel + 2 * colTel, 20, colTel, intestazione);
    linea(ph, QStringLiteral("Line2"), 0, 330, w);
    ph.height = 380;

    // Grouped by the value the fetch handler sets: the name's initial.
    ReportSection& gh = layout.addGroup(kGruppo, kGroupFooter, QString());
    etichetta(gh, QStringLiteral("lblLetter"), QString(), 60, 60, 800, carattere(11, true));
    gh.height = 380;

    ReportSection& d = layout.section(kDetail);
    campo(d, QStringLiteral("txtCliFor_Nome"), QStringLiteral("cliNome"), 60, 0, colNome - 60, normale);
    campo(d, QStringLiteral("txtCliFor_Localita"), QStringLiteral("cliLocalita"), colNome + 50, 0, xTel - colNome - 100, normale);
    campo(d, QStringLiteral("txtCliFor_Telefono"), QStringLiteral("cliTelefono"), xTel, 0, colTel, normale);
    campo(d, QStringLiteral("txtCliFor_Cellulare"), QStringLiteral("cliMobile"), xTel + colTel, 0, colTel, normale);
    campo(d, QStringLiteral("txtCliFor_Fax"), QStringLiteral("cliFax"), xTel + 2 * colTel, 0, colTel, normale);

    ReportSection& gf = layout.section(kGroupFooter);
    linea(gf, QStringLiteral("Line3"), 0, 60, w, 0.25);
    gf.height = 120;
    return layout;
}

Report arpCliFor::Nuovo()
{
    Report rpt;
    rpt.setLayout(Struttura());
    // The SQL orders by the bytes of the name, which puts "é" after "z": the
    // rows are sorted again as the groups read them.
    rpt.dataControl().setSort(kOrdineRubrica);
    // The group of a row is the initial of its name.
    rpt.setFetchData([](Report& r, bool& eof) {
        if (eof)
            return;
        const core::Variant nome = r.dataControl().value(QStringLiteral("cliNome"));
        const QString iniziale = nome.isEmptyOrNull() ? QString() : InizialeRubrica(nome.toString());
        r.setGroupValue(kGruppo, iniziale);
        r.control(QStringLiteral("lblLetter")).caption = iniziale;
    });
    return rpt;
}
