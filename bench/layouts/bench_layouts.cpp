// A stored layout of 300 controls: opened in the designer window (read from
// the database, loaded, shown on the surface) and saved over its row (checked
// to load back and read back from the database). Dialogs are answered by the
// scripted seam, so the figures are the window's and the database's own.
#include "domain/LayoutStore.h"
#include "layouts/finfrmArdFat.h"
#include "platform/database/Connection.h"
#include "platform/report/ReportControl.h"
#include "platform/report/ReportDesigner.h"
#include "platform/report/ReportLayout.h"
#include "platform/report/ReportSection.h"
#include "platform/ui/ScopedDialogHandler.h"
#include "platform/ui/ScriptedDialogs.h"
#include "printing/finarpFatBase.h"
#include "printing/finclsTarvix.h"
#include "startup/DatabaseFile.h"
#include "startup/SchemaUpgrade.h"
#include "startup/SharedState.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kControls = 300;

report::ReportLayout largeLayout()
{
    report::ReportLayout layout = finarpFatBase::Struttura();
    const QString sections[3] = {finarpFatBase::kTesta, finarpFatBase::kDettaglio, finarpFatBase::kCalce};
    for (int i = 0; i < kControls; ++i) {
        report::ReportSection& s = layout.section(sections[i % 3]);
        report::ReportControl& c = s.addControl(i % 2 ? report::ControlKind::Field : report::ControlKind::Label);
        c.left = (i % 10) * 950;
        c.top = (i / 30) * 140;
        c.width = 900;
        c.height = 130;
        c.caption = QStringLiteral("Testo %1").arg(i);
        if (c.kind == report::ControlKind::Field)
            c.dataField = QStringLiteral("Descrizione");
        s.height = std::max(s.height, c.top + c.height);
    }
    return layout;
}

struct World {
    QTemporaryDir dir;
    std::int32_t finId = 0;
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogHandler scope{dialogs};

    World()
    {
        ImpostaCartellaProgramma(QStringLiteral(CORVESSA_PROGRAM_DIR));
        const QString path = dir.filePath(QStringLiteral("qelvo.mdb"));
        QFile::copy(QDir(QStringLiteral(CORVESSA_PROGRAM_DIR)).filePath(QLatin1String(kNomeTemplate)), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        session().dataConStr = StringaConnessione(dir.path());
        AggiornaDb();
        CreaTabelleFin();
        session().sezId = 1;
        report::Report r = finarpFatBase::Nuovo();
        r.setLayout(largeLayout());
        db::Connection cn;
        cn.open(session().dataConStr);
        finId = insertLayout(cn, QStringLiteral("Trecento controlli"), r.saveLayout(), {});
        cn.close();
    }
};

World& world()
{
    static World w;
    return w;
}

void BM_OpenInDesigner(benchmark::State& state)
{
    World& w = world();
    const finclsTarvix engine;
    for (auto _ : state) {
        if (!finfrmArdFat::Apri(engine.Campi, 2, w.finId)) {
            state.SkipWithError("the layout did not open");
            return;
        }
        finfrmArdFat::instance()->ard->viewport()->repaint();
        state.PauseTiming();
        finfrmArdFat::Unload();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenInDesigner)->Unit(benchmark::kMillisecond);

void BM_SaveFromDesigner(benchmark::State& state)
{
    World& w = world();
    const finclsTarvix engine;
    for (auto _ : state) {
        state.PauseTiming();
        finfrmArdFat::Apri(engine.Campi, 2, w.finId);
        state.ResumeTiming();
        if (finfrmArdFat::instance()->Salva() != finfrmArdFat::Esito::Salvato) {
            state.SkipWithError("the layout was not saved");
            return;
        }
        state.PauseTiming();
        finfrmArdFat::Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SaveFromDesigner)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Corvessa"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
