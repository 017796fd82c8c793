// Each layer figure is registered beside the raw engine's figure for the same
// rows, measured in the same run: "Layer/..." against "Raw/...".

#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kChanged = 1000;

struct Database {
    QTemporaryDir dir;
    QString path;
    QString connectionString;
};

Database& database()
{
    static std::unique_ptr<Database> db = [] {
        auto d = std::make_unique<Database>();
        d->path = d->dir.filePath(QStringLiteral("qelvo.mdb"));
        d->connectionString = db::Connection::connectionStringFor(d->path);
        db::Connection::createDatabase(d->path);
        db::Connection connection;
        connection.open(d->connectionString);
        connection.execute(QStringLiteral(
            "CREATE TABLE Fatture (fatId COUNTER, sezId INTEGER, fatTipo INTEGER, fatNo LONG, fatPrefisso TEXT(10), "
            "fatData DATETIME, fatCliForId LONG, fatCliForPag LONG, fatDescrizione TEXT(255), fatTotImporto CURRENCY, "
            "fatTotImponibile CURRENCY, fatTotImposta CURRENCY, fatTotDoc CURRENCY, fatRitAccPerc DOUBLE, "
            "fatPagata YESNO, fatNote MEMO)"));
        connection.close();

        // Filled straight through the engine: the set-up is not what is measured.
        sqlite3* raw = nullptr;
        sqlite3_open_v2(d->path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(raw,
                           "INSERT INTO Fatture (sezId, fatTipo, fatNo, fatPrefisso, fatData, fatCliForId, fatCliForPag, "
                           "fatDescrizione, fatTotImporto, fatTotImponibile, fatTotImposta, fatTotDoc, fatRitAccPerc, "
                           "fatPagata, fatNote) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                           -1, &insert, nullptr);
        for (int i = 0; i < kRows; ++i) {
            const double amount = (i % 997) * 10.25;
            sqlite3_bind_int(insert, 1, 1 + i % 3);
            sqlite3_bind_int(insert, 2, i % 3);
            sqlite3_bind_int(insert, 3, i);
            sqlite3_bind_text(insert, 4, i % 5 == 0 ? "B" : "", -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(insert, 5, 44927.0 + (i * 7919) % 1500);
            sqlite3_bind_int(insert, 6, i % 500);
            sqlite3_bind_int(insert, 7, i % 20);
            const std::string description = "Prestazione professionale n. " + std::to_string(i);
            sqlite3_bind_text(insert, 8, description.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(insert, 9, amount);
            sqlite3_bind_double(insert, 10, amount * 1.04);
            sqlite3_bind_double(insert, 11, amount * 0.2288);
            sqlite3_bind_double(insert, 12, amount * 1.2688);
            sqlite3_bind_double(insert, 13, 20.0);
            sqlite3_bind_int(insert, 14, i % 2 ? -1 : 0);
            if (i % 10 == 0)
                sqlite3_bind_text(insert, 15, "Nota", -1, SQLITE_TRANSIENT);
            else
                sqlite3_bind_null(insert, 15);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
        return d;
    }();
    return *db;
}

sqlite3* openRaw()
{
    sqlite3* raw = nullptr;
    sqlite3_open_v2(database().path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    return raw;
}

// The raw figure reads every column of every row into memory, as a client-side fetch must.
using RawValue = std::variant<std::monostate, sqlite3_int64, double, std::string>;

size_t fetchAll(sqlite3* raw, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(raw, sql, -1, &statement, nullptr);
    const int columns = sqlite3_column_count(statement);
    std::vector<std::vector<RawValue>> rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::vector<RawValue> row(static_cast<size_t>(columns));
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_INTEGER:
                row[c] = sqlite3_column_int64(statement, c);
                break;
            case SQLITE_FLOAT:
                row[c] = sqlite3_column_double(statement, c);
                break;
            case SQLITE_TEXT:
                row[c] = std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                                     static_cast<size_t>(sqlite3_column_bytes(statement, c)));
                break;
            default:
                break;
            }
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    return rows.size();
}

db::Recordset openAll(const db::Connection& connection, db::LockType lock = db::LockType::ReadOnly)
{
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Fatture"), connection, db::CursorType::Static, lock);
    return rs;
}

db::Connection openLayer()
{
    db::Connection connection;
    connection.open(database().connectionString);
    return connection;
}

// ------------------------------------------------------------------ open

void layerOpenStatic(benchmark::State& state)
{
    db::Connection connection = openLayer();
    for (auto _ : state) {
        db::Recordset rs = openAll(connection);
        benchmark::DoNotOptimize(rs.recordCount());
    }
}

void rawSelectAll(benchmark::State& state)
{
    sqlite3* raw = openRaw();
    for (auto _ : state)
        benchmark::DoNotOptimize(fetchAll(raw, "SELECT * FROM Fatture"));
    sqlite3_close(raw);
}

// ------------------------------------------------------------------ filter

void layerFilterClone(benchmark::State& state)
{
    db::Connection connection = openLayer();
    db::Recordset rs = openAll(connection);
    for (auto _ : state) {
        db::Recordset clone = rs.clone();
        clone.setFilter(QStringLiteral("fatTipo = 1 AND fatTotDoc > 5000"));
        benchmark::DoNotOptimize(clone.recordCount());
    }
}

void rawFilteredSelect(benchmark::State& state)
{
    sqlite3* raw = openRaw();
    for (auto _ : state)
        benchmark::DoNotOptimize(fetchAll(raw, "SELECT * FROM Fatture WHERE fatTipo = 1 AND fatTotDoc > 5000"));
    sqlite3_close(raw);
}

// ------------------------------------------------------------------ sort

void layerSort(benchmark::State& state)
{
    db::Connection connection = openLayer();
    db::Recordset rs = openAll(connection);
    bool flip = false;
    for (auto _ : state) {
        rs.setSort(flip ? QStringLiteral("fatData DESC, fatNo") : QStringLiteral("fatData, fatNo DESC"));
        flip = !flip;
        benchmark::DoNotOptimize(rs.value(0));
    }
}

void rawSortedSelect(benchmark::State& state)
{
    sqlite3* raw = openRaw();
    bool flip = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fetchAll(raw, flip ? "SELECT * FROM Fatture ORDER BY fatData DESC, fatNo"
                                                    : "SELECT * FROM Fatture ORDER BY fatData, fatNo DESC"));
        flip = !flip;
    }
    sqlite3_close(raw);
}

// ------------------------------------------------------------------ batch write

void layerUpdateBatch(benchmark::State& state)
{
    db::Connection connection = openLayer();
    db::Recordset rs = openAll(connection, db::LockType::BatchOptimistic);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        rs.moveFirst();
        for (int i = 0; i < kChanged; ++i) {
            rs.setValue(QStringLiteral("fatDescrizione"), QStringLiteral("Modificata %1 al giro %2").arg(i).arg(round));
            rs.setValue(QStringLiteral("fatTotDoc"), core::Currency::fromRaw(1000000 + round * 100 + i));
            rs.move(kRows / kChanged);
        }
        state.ResumeTiming();
        rs.updateBatch();
    }
}

void rawUpdateStatements(benchmark::State& state)
{
    sqlite3* raw = openRaw();
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(raw, "UPDATE Fatture SET fatDescrizione = ?, fatTotDoc = ? WHERE fatId = ?", -1, &update, nullptr);
    int round = 0;
    for (auto _ : state) {
        ++round;
        sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (int i = 0; i < kChanged; ++i) {
            const std::string description = "Raw " + std::to_string(i) + " al giro " + std::to_string(round);
            sqlite3_bind_text(update, 1, description.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(update, 2, 100.0 + round * 0.01 + i);
            sqlite3_bind_int(update, 3, 1 + i * (kRows / kChanged));
            sqlite3_step(update);
            sqlite3_reset(update);
        }
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(update);
    sqlite3_close(raw);
}

} // namespace

BENCHMARK(layerOpenStatic)->Name("Layer/OpenStaticRecordset100k")->Unit(benchmark::kMillisecond);
BENCHMARK(rawSelectAll)->Name("Raw/SelectAll100k")->Unit(benchmark::kMillisecond);
BENCHMARK(layerFilterClone)->Name("Layer/FilterClone100k")->Unit(benchmark::kMillisecond);
BENCHMARK(rawFilteredSelect)->Name("Raw/FilteredSelect100k")->Unit(benchmark::kMillisecond);
BENCHMARK(layerSort)->Name("Layer/Sort100k")->Unit(benchmark::kMillisecond);
BENCHMARK(rawSortedSelect)->Name("Raw/OrderBySelect100k")->Unit(benchmark::kMillisecond);
BENCHMARK(layerUpdateBatch)->Name("Layer/UpdateBatch1000of100k")->Unit(benchmark::kMillisecond);
BENCHMARK(rawUpdateStatements)->Name("Raw/Update1000InOneTransaction")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
