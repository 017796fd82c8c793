// A report of 10 000 detail rows, a group per 20 rows with its sums and a
// grand total: the run (pagination), then the PDF and Excel exports, beside
// the time a plain SQLite read of the same 10 000 rows takes.

#include "platform/core/Currency.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/report/ExportFilter.h"
#include "platform/report/Report.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <sqlite3.h>

namespace {

constexpr int kRows = 10000;
constexpr int kGroupSize = 20;

report::Report bigReport()
{
    using namespace report;
    Report r;
    ReportLayout layout = ReportLayout::standard();
    auto& header = layout.addGroup(QStringLiteral("GroupHeader1"), QStringLiteral("GroupFooter1"),
                                   QStringLiteral("gruppo"), 285, 285);
    header.addControl(ControlKind::Field, QStringLiteral("txtGruppo")).dataField = QStringLiteral("gruppo");
    auto& sum = layout.section(QStringLiteral("GroupFooter1")).addControl(ControlKind::Field, QStringLiteral("txtSomma"));
    sum.dataField = QStringLiteral("importo");
    sum.summaryType = SummaryType::SubTotal;
    sum.outputFormat = QStringLiteral("#,##0.00;-#,##0.00; ");
    sum.left = 6000;
    auto& detail = layout.section(QStringLiteral("Detail"));
    auto& d = detail.addControl(ControlKind::Field, QStringLiteral("txtDescrizione"));
    d.dataField = QStringLiteral("descrizione");
    d.width = 5000;
    auto& a = detail.addControl(ControlKind::Field, QStringLiteral("txtImporto"));
    a.dataField = QStringLiteral("importo");
    a.outputFormat = QStringLiteral("#,##0.00;-#,##0.00; ");
    a.left = 6000;
    auto& pf = layout.section(QStringLiteral("PageFooter")).addControl(ControlKind::Field, QStringLiteral("PAGINA"));
    pf.summaryType = SummaryType::PageCount;
    pf.summaryRunning = SummaryRunning::All;
    auto& rf = layout.addSection(SectionKind::ReportFooter, QStringLiteral("ReportFooter"), 285)
                   .addControl(ControlKind::Field, QStringLiteral("txtTotale"));
    rf.dataField = QStringLiteral("importo");
    rf.summaryType = SummaryType::GrandTotal;
    rf.left = 6000;
    r.setLayout(layout);
    for (const char* name : {"gruppo", "descrizione", "importo"})
        r.fields().add(QString::fromLatin1(name));
    auto next = std::make_shared<int>(0);
    r.setStartHandler([next](Report&) { *next = 0; });
    r.setFetchData([next](Report& rep, bool& eof) {
        if (*next >= kRows)
            return;
        const int i = (*next)++;
        eof = false;
        rep.fields().setValue(QStringLiteral("gruppo"), std::int32_t(i / kGroupSize));
        rep.fields().setValue(QStringLiteral("descrizione"), QStringLiteral("Riga di dettaglio %1").arg(i));
        rep.fields().setValue(QStringLiteral("importo"), core::Currency::fromRaw(i * 1234));
    });
    return r;
}

void BM_ReportRun(benchmark::State& state)
{
    report::Report r = bigReport();
    for (auto _ : state) {
        r.run();
        benchmark::DoNotOptimize(r.pages().count());
    }
    state.counters["pages"] = r.pages().count();
}

void exportBench(benchmark::State& state, const char* classId, const char* name)
{
    report::Report r = bigReport();
    r.run();
    QTemporaryDir dir;
    auto filter = report::ExportFilter::create(QString::fromLatin1(classId));
    filter->setFileName(dir.filePath(QString::fromLatin1(name)));
    for (auto _ : state)
        filter->exportPages(r.pages());
}

void BM_ExportPdf(benchmark::State& state)
{
    exportBench(state, report::ExportFilter::kPdfClassId, "big.pdf");
}

void BM_ExportExcel(benchmark::State& state)
{
    exportBench(state, report::ExportFilter::kExcelClassId, "big.xlsx");
}

// The raw engine reading the same rows, for scale.
void BM_SqliteRead(benchmark::State& state)
{
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_exec(db, "CREATE TABLE t (gruppo INTEGER, descrizione TEXT, importo INTEGER)", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t VALUES (?, ?, ?)", -1, &insert, nullptr);
    for (int i = 0; i < kRows; ++i) {
        const QByteArray text = QStringLiteral("Riga di dettaglio %1").arg(i).toUtf8();
        sqlite3_bind_int(insert, 1, i / kGroupSize);
        sqlite3_bind_text(insert, 2, text.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 3, i * 1234);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    for (auto _ : state) {
        sqlite3_stmt* select = nullptr;
        sqlite3_prepare_v2(db, "SELECT gruppo, descrizione, importo FROM t", -1, &select, nullptr);
        std::int64_t total = 0;
        while (sqlite3_step(select) == SQLITE_ROW) {
            total += sqlite3_column_int64(select, 2);
            benchmark::DoNotOptimize(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(select, 1))));
        }
        sqlite3_finalize(select);
        benchmark::DoNotOptimize(total);
    }
    sqlite3_close(db);
}

// The same rows through the data-access layer, as a bound report reads them.
void BM_RecordsetRead(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.mdb"));
    db::Connection::createDatabase(path);
    db::Connection c;
    c.open(db::Connection::connectionStringFor(path));
    c.execute(QStringLiteral("CREATE TABLE t (gruppo LONG, descrizione TEXT(50), importo CURRENCY)"));
    c.beginTrans();
    for (int i = 0; i < kRows; ++i)
        c.execute(QStringLiteral("INSERT INTO t VALUES (%1, 'Riga di dettaglio %2', %3)")
                      .arg(i / kGroupSize)
                      .arg(i)
                      .arg(core::Currency::fromRaw(i * 1234).toPlainString()));
    c.commitTrans();
    for (auto _ : state) {
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT gruppo, descrizione, importo FROM t"), c, db::CursorType::Static,
                db::LockType::ReadOnly);
        core::Currency total;
        for (; !rs.eof(); rs.moveNext()) {
            total += rs.value(2).toCurrency();
            benchmark::DoNotOptimize(rs.value(1));
        }
        benchmark::DoNotOptimize(total);
    }
    c.close();
}

} // namespace

BENCHMARK(BM_ReportRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportExcel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqliteRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordsetRead)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
