// The main window's invoice list with 50 000 invoices and 5 000 clients in one
// section: loading the view, sorting it by the client, one find-as-you-type
// step, each printed beside the raw SQLite query over the same rows.
#include "mainwindow/InstalledPrinters.h"
#include "mainwindow/frmMain.h"
#include "common/comDataBase.h"
#include "platform/database/Recordset.h"
#include "platform/grid/GridEx.h"
#include "platform/registry/RegistryStore.h"
#include "startup/DatabaseFile.h"
#include "startup/SchemaUpgrade.h"
#include "startup/SharedState.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kClienti = 5000;
constexpr int kFatture = 50000;
const QDate kLavoro(2026, 6, 15);

QString gDbPath;

double serial(const QDate& d) { return double(QDate(1899, 12, 30).daysTo(d)); }

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Rows written straight into the file, in the layer's storage (dates as day serials).
void fill()
{
    sqlite3* db = nullptr;
    check(sqlite3_open(gDbPath.toUtf8().constData(), &db), db);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* cli = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO CliFor (cliId, cliNome, cliLocalita, sezId, cliShared) VALUES (?, ?, ?, 1, 0)",
                             -1, &cli, nullptr),
          db);
    static const char* cognomi[] = {"Rossi", "Bianchi", "Verdi", "Russo", "Ferrari", "Esposito", "Romano", "Colombo",
                                    "Ricci", "Marino", "Greco", "Bruno", "Gallo", "Conti", "De Luca", "Mancini"};
    static const char* citta[] = {"Roma", "Milano", "Napoli", "Torino", "Bologna", "Firenze", "Bari", "Genova"};
    for (int i = 1; i <= kClienti; ++i) {
        const QByteArray nome = QStringLiteral("%1 %2").arg(QLatin1String(cognomi[(i * 7) % 16])).arg(i).toUtf8();
        sqlite3_bind_int(cli, 1, i);
        sqlite3_bind_text(cli, 2, nome.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(cli, 3, citta[i % 8], -1, SQLITE_STATIC);
        check(sqlite3_step(cli), db);
        sqlite3_reset(cli);
    }
    sqlite3_finalize(cli);
    sqlite3_stmt* fat = nullptr;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO Fatture (fatId, sezId, fatTipo, fatNo, fatData, fatCliForId, fatTotDoc, "
                             "fatTotNetto, fatPagata) VALUES (?, 1, ?, ?, ?, ?, ?, ?, 0)",
                             -1, &fat, nullptr),
          db);
    for (int i = 1; i <= kFatture; ++i) {
        sqlite3_bind_int(fat, 1, i);
        sqlite3_bind_int(fat, 2, i % 10 == 0 ? 1 : 0);
        sqlite3_bind_int(fat, 3, i);
        sqlite3_bind_double(fat, 4, serial(QDate(2026, 1, 1).addDays(i % 365)));
        sqlite3_bind_int(fat, 5, 1 + (i * 31) % kClienti);
        sqlite3_bind_double(fat, 6, 100.0 + i % 900);
        sqlite3_bind_double(fat, 7, 80.0 + i % 700);
        check(sqlite3_step(fat), db);
        sqlite3_reset(fat);
    }
    sqlite3_finalize(fat);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

// The invoice view's query as SQLite itself runs it: the same rows and columns, read whole.
int rawQuery(bool sorted)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(gDbPath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const QByteArray sql =
        QStringLiteral("SELECT f.fatId, f.fatNo, f.fatPrefisso, f.fatData, c.cliNome || ' [' || c.cliLocalita || ']', "
                       "f.fatTotDoc, f.fatTotNetto, f.fatTipo FROM Fatture f INNER JOIN CliFor c ON f.fatCliForId = "
                       "c.cliId WHERE f.fatTipo<2 AND f.fatData >= %1 AND f.fatData < %2 AND f.sezId=1%3")
            .arg(serial(QDate(kLavoro.year(), 1, 1)))
            .arg(serial(QDate(kLavoro.year() + 1, 1, 1)))
            .arg(sorted ? QStringLiteral(" ORDER BY 5 COLLATE NOCASE") : QStringLiteral(" ORDER BY 2"))
            .toUtf8();
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr), db);
    int rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < 8; ++c) {
            if (sqlite3_column_type(st, c) == SQLITE_TEXT)
                benchmark::DoNotOptimize(sqlite3_column_text(st, c));
            else
                benchmark::DoNotOptimize(sqlite3_column_double(st, c));
        }
        ++rows;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

frmMain* main_() { return frmMain::instance(); }
grid::GridEx* lista() { return main_()->findChild<grid::GridEx*>(QStringLiteral("gexView")); }
QLineEdit* txtFind() { return main_()->findChild<QLineEdit*>(QStringLiteral("txtFind")); }

void loadView() { main_()->findChild<QAction*>(QStringLiteral("mnuViewItem(1)"))->trigger(); }

// The header click a user makes: by client, ascending (a second click would toggle).
void sortByClient()
{
    QHeaderView* header = lista()->view()->horizontalHeader();
    const int x = header->sectionViewportPosition(4) + header->sectionSize(4) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

// The same SELECT, in the program's own words, opened by the data layer alone (no grid).
QString viewSql()
{
    return QStringLiteral("SELECT Fatture.fatId, Fatture.fatNo AS Numero, Fatture.fatPrefisso AS Pre, Fatture.fatData AS "
                          "Data, cliNome & ' [' & cliLocalita & ']' AS Cliente, Fatture.fatTotDoc AS Importo, "
                          "Fatture.fatTotNetto AS [Netto dovuto], fatTipo FROM Fatture INNER JOIN CliFor ON "
                          "Fatture.fatCliForId = CliFor.cliId WHERE fatTipo<2 AND Year(fatData)=Year(")
        + SqlData(kLavoro) + QStringLiteral(") AND Fatture.sezId=1");
}

int layerRecordset()
{
    db::Recordset rs;
    rs.setCursorLocation(db::CursorLocation::Client);
    rs.open(viewSql(), session().dataConStr, db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
    const int rows = rs.recordCount();
    rs.close();
    return rows;
}

// The layer's rows read once more, as the grid copies them.
int layerRecordsetRead()
{
    db::Recordset rs;
    rs.setCursorLocation(db::CursorLocation::Client);
    rs.open(viewSql(), session().dataConStr, db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
    int rows = 0;
    while (!rs.eof()) {
        for (int c = 0; c < 8; ++c)
            benchmark::DoNotOptimize(rs.value(c));
        rs.moveNext();
        ++rows;
    }
    rs.close();
    return rows;
}

void BM_LayerRecordsetOpen(benchmark::State& state)
{
    for (auto _ : state)
        state.counters["rows"] = layerRecordset();
}

void BM_LayerRecordsetOpenAndRead(benchmark::State& state)
{
    for (auto _ : state)
        state.counters["rows"] = layerRecordsetRead();
}

void BM_RawQuery(benchmark::State& state)
{
    for (auto _ : state)
        state.counters["rows"] = rawQuery(false);
}

void BM_RawQuerySortedByClient(benchmark::State& state)
{
    for (auto _ : state)
        state.counters["rows"] = rawQuery(true);
}

void BM_LoadInvoiceView(benchmark::State& state)
{
    for (auto _ : state) {
        loadView();
        state.counters["rows"] = lista()->rowCount();
    }
}

void BM_LoadAndSortByClient(benchmark::State& state)
{
    for (auto _ : state) {
        loadView();
        sortByClient();
    }
}

void BM_SortByClient(benchmark::State& state)
{
    loadView();
    for (auto _ : state) {
        state.PauseTiming();
        lista()->clearSortKeys();
        state.ResumeTiming();
        sortByClient();
    }
}

// One typed character: the find in the sorted column.
void BM_FindStep(benchmark::State& state)
{
    loadView();
    sortByClient();
    static const char* prefissi[] = {"G", "Gr", "Gre", "R", "Ro", "Ros", "Z", "Co"};
    int i = 0;
    for (auto _ : state)
        txtFind()->setText(QString::fromLatin1(prefissi[i++ % 8]));
}

BENCHMARK(BM_RawQuery)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LayerRecordsetOpen)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LayerRecordsetOpenAndRead)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LoadInvoiceView)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RawQuerySortedByClient)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LoadAndSortByClient)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SortByClient)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FindStep)->Unit(benchmark::kMillisecond)->Iterations(40);

double medianMs(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Corvessa"));

    QTemporaryDir home;
    reg::Store::setFilePath(QDir(home.path()).filePath(QStringLiteral("registry.json")));
    ImpostaCartellaProgramma(home.path());
    session().regKeySettings = session().regKeySettings2 = QStringLiteral("Software\\Vantrel\\Corvessa\\Settings");
    session().regKeyPrinters = QStringLiteral("Software\\Vantrel\\Corvessa\\Printers");
    session().cartellaDb = home.path();
    gDbPath = QDir(home.path()).filePath(QLatin1String(kNomeDatabase));
    if (!QFile::copy(QDir(QStringLiteral(CORVESSA_PROGRAM_DIR)).filePath(QLatin1String(kNomeTemplate)), gDbPath)) {
        std::fprintf(stderr, "template missing\n");
        return 1;
    }
    QFile::setPermissions(gDbPath, QFile::ReadOwner | QFile::WriteOwner);
    session().dataConStr = StringaConnessione(home.path());
    AggiornaDb();
    fill();
    session().sezId = 1;
    setInstalledPrintersSource([] {
        return InstalledPrinters{{{QStringLiteral("Bench"), QStringLiteral("Bench")}}, QStringLiteral("Bench")};
    });
    frmMain::Visualizza();
    ImpostaDataLavoro(kLavoro);
    main_()->resize(1200, 800);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();

    // The figures side by side, medians of a few runs.
    const double raw = medianMs(5, [] { rawQuery(false); });
    const double load = medianMs(5, [] { loadView(); });
    const double rawSorted = medianMs(5, [] { rawQuery(true); });
    const double loadSort = medianMs(5, [] { loadView(); sortByClient(); });
    loadView();
    sortByClient();
    int k = 0;
    const double find = medianMs(41, [&k] { txtFind()->setText(k++ % 2 ? QStringLiteral("Gre") : QStringLiteral("Ro")); });
    std::printf("\n%d invoices of the working year in the view\n", lista()->rowCount());
    std::printf("load the invoice view     %8.1f ms   raw query            %8.1f ms   ratio %.2f\n", load, raw, load / raw);
    std::printf("load and sort by client   %8.1f ms   raw query sorted     %8.1f ms   ratio %.2f\n", loadSort, rawSorted,
                loadSort / rawSorted);
    std::printf("one find-as-you-type step %8.2f ms   (one frame: 16 ms)\n", find);
    frmMain::Unload();
    return 0;
}
