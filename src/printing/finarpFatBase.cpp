#include "printing/finarpFatBase.h"

#include "platform/report/ReportSection.h"
#include "platform/report/ReportTypes.h"

#include <memory>
#include <vector>

report::ReportLayout finarpFatBase::Struttura()
{
    using namespace report;
    ReportLayout layout;
    layout.page = PageSettings{};
    // A4 with margins of about 1.8 cm at the sides and 1.5 cm top and bottom.
    layout.page.margins = Margins{1000, 1000, 850, 850};
    layout.printWidth = 0;
    layout.addSection(SectionKind::Detail, kDettaglio, 300);
    auto& testa = layout.addGroup(kTesta, kCalce, QStringLiteral("fatId"), 1440, 1440);
    testa.newPage = NewPage::Before;
    testa.repeatOnEveryPage = true;
    layout.addSection(SectionKind::PageFooter, kPiePagina, 0);
    return layout;
}

report::Report finarpFatBase::Nuovo()
{
    report::Report rpt;
    rpt.setCaption(QStringLiteral("Documento"));
    rpt.setDocumentName(QStringLiteral("Documento"));
    rpt.setLayout(Struttura());
    return rpt;
}

void finarpFatBase::Apri(report::Report& rpt, const db::Recordset& rs)
{
    // The clone is shared by the copies of the report; every run rewinds it
    // and reads it to its end on the one user-interface thread, so copies
    // never see each other's position.
    struct Stato {
        db::Recordset righe;
        std::vector<int> campi; // report field position per column
    };
    auto stato = std::make_shared<Stato>();
    stato->righe = rs.clone();
    rpt.fields().clear();
    for (int c = 0; c < stato->righe.fieldCount(); ++c)
        rpt.fields().add(stato->righe.field(c).name());
    for (int c = 0; c < stato->righe.fieldCount(); ++c)
        for (int f = 0; f < rpt.fields().count(); ++f)
            if (rpt.fields().at(f).name.compare(stato->righe.field(c).name(), Qt::CaseInsensitive) == 0) {
                stato->campi.push_back(f);
                break;
            }

    rpt.setStartHandler([stato](report::Report&) {
        if (stato->righe.recordCount() > 0)
            stato->righe.moveFirst();
    });
    rpt.setFetchData([stato](report::Report& r, bool& eof) {
        db::Recordset& righe = stato->righe;
        if (righe.eof())
            return;
        eof = false;
        for (int c = 0; c < static_cast<int>(stato->campi.size()); ++c)
            r.fields().at(stato->campi[c]).value = righe.value(c);
        righe.moveNext();
    });
}
