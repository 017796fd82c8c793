// A saved invoice of 100 lines (rows inserted with SQL) printed to a closed
// PDF file: the print engine's reads, the pagination and the export; beside
// it the time SQLite itself takes to read the same rows.
#include "common/comDataBase.h"
#include "platform/database/Connection.h"
#include "platform/report/ExportFilter.h"
#include "printing/StampaDocumento.h"
#include "startup/DatabaseFile.h"
#include "startup/SchemaUpgrade.h"
#include "startup/SharedState.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kLines = 100;

struct Database {
    QTemporaryDir dir;
    QString path;
    std::int32_t fatId = 0;

    Database()
    {
        ImpostaCartellaProgramma(QStringLiteral(CORVESSA_PROGRAM_DIR));
        path = dir.filePath(QStringLiteral("qelvo.mdb"));
        QFile::copy(QDir(QStringLiteral(CORVESSA_PROGRAM_DIR)).filePath(QLatin1String(kNomeTemplate)), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        session().dataConStr = StringaConnessione(dir.path());
        AggiornaDb();
        CaricaUms();
        CreaTabelleFin();
        CaricaModelli();
        session().sezId = 1;
        db::Connection cn;
        cn.open(session().dataConStr);
        cn.execute(QStringLiteral("INSERT INTO CliFor (cliNome, cliIndirizzo, cliCAP, cliLocalita, cliProvincia, cliPartitaIVA) "
                                  "VALUES ('D''Amico Consulting S.r.l.', 'Via Roma 12', '00184', 'Roma', 'RM', '01234567890')"));
        cn.execute(QStringLiteral("INSERT INTO Fatture (sezId, fatTipo, fatNo, fatData, fatCliForId, fatCliForPag, fatTotImporto, "
                                  "fatTotImponibile, fatTotImposta, fatTotDoc, fatTotNetto) VALUES (1, 0, 1, %1, 1, 0, 50500, "
                                  "50500, 11110, 61610, 61610)")
                       .arg(SqlData(QDate(2024, 3, 15))));
        fatId = 1;
        cn.beginTrans();
        for (int i = 1; i <= kLines; ++i)
            cn.execute(QStringLiteral("INSERT INTO FattureDettaglio (fdtfatId, fdtRiga, fdtQuanti, fdtDescrizione, fdtImporto, "
                                      "fdtTotRiga, fdtCodiceIVA) VALUES (1, %1, 1, 'Prestazione professionale %1', %2, %2, '22')")
                           .arg(i)
                           .arg(i * 10));
        cn.commitTrans();
        cn.execute(QStringLiteral("INSERT INTO FattureIva (fcifatId, fciCodiceIva, fciImporto, fciImponibile, fciImposta, "
                                  "fciTotRiga) VALUES (1, '22', 50500, 50500, 11110, 61610)"));
        cn.close();
    }
};

Database& database()
{
    static Database d;
    return d;
}

void BM_InvoicePdf(benchmark::State& state)
{
    Database& d = database();
    const QString file = d.dir.filePath(QStringLiteral("fattura.pdf"));
    int pages = 0;
    for (auto _ : state) {
        auto rpt = StampaDocumento(session().sezId, 0, session().dataConStr, SqlStampaDocumento(d.fatId));
        if (!rpt) {
            state.SkipWithError("the document could not be prepared");
            return;
        }
        rpt->run();
        auto pdf = report::ExportFilter::create(QString::fromLatin1(report::ExportFilter::kPdfClassId));
        pdf->setFileName(file);
        pdf->exportPages(rpt->pages());
        pages = rpt->pages().count();
    }
    state.counters["pages"] = pages;
}

// What the engine reads, straight from SQLite: the settings, the layout, the
// document with its client, its lines and its VAT rows.
void BM_SqliteReads(benchmark::State& state)
{
    Database& d = database();
    sqlite3* db = nullptr;
    sqlite3_open_v2(d.path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const char* queries[] = {
        "SELECT * FROM SezioniModelli WHERE sezId=1",
        "SELECT finRel.*, finData.* FROM finRel INNER JOIN finData ON finRel.fnrfinId = finData.finId WHERE finRel.sezId=1 "
        "AND finRel.fnrDocType=0",
        "SELECT Fatture.*, CliFor.* FROM Fatture INNER JOIN CliFor ON Fatture.fatCliForId = CliFor.cliId WHERE Fatture.fatId=1",
        "SELECT FattureIva.*, CodiciIVA.* FROM FattureIva INNER JOIN CodiciIVA ON FattureIva.fciCodiceIva = CodiciIVA.cdiCodice "
        "WHERE fcifatId=1",
        "SELECT * FROM FattureDettaglio WHERE fdtfatId=1 ORDER BY fdtId",
    };
    for (auto _ : state) {
        std::int64_t cells = 0;
        for (const char* sql : queries) {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
            while (st && sqlite3_step(st) == SQLITE_ROW)
                for (int c = 0; c < sqlite3_column_count(st); ++c) {
                    benchmark::DoNotOptimize(sqlite3_column_text(st, c));
                    ++cells;
                }
            sqlite3_finalize(st);
        }
        benchmark::DoNotOptimize(cells);
    }
    sqlite3_close(db);
}

} // namespace

BENCHMARK(BM_InvoicePdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqliteReads)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
