// Each layer figure is registered beside the raw engine's figure for the same
// rows, measured in the same run: "Layer/..." against "Raw/...".

#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

#include <QFileInfo>
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

// ------------------------------------------------------------------ open and check a large file

constexpr int kDocuments = 100000;
constexpr int kLinesPerDocument = 3;
constexpr int kClients = 5000;
constexpr int kCollections = 50000;

// A file shaped like the program's: clients, documents with their lines and
// VAT rows, collections, and the indexes on the columns that link them.
Database& largeDatabase()
{
    static std::unique_ptr<Database> db = [] {
        auto d = std::make_unique<Database>();
        d->path = d->dir.filePath(QStringLiteral("qelvo.mdb"));
        d->connectionString = db::Connection::connectionStringFor(d->path);
        db::Connection::createDatabase(d->path);
        db::Connection connection;
        connection.open(d->connectionString);
        const char* ddl[] = {
            "CREATE TABLE CliFor (cliId COUNTER, cliNome TEXT(50) NOT NULL, cliIndirizzo TEXT(100), cliCAP TEXT(10), "
            "cliLocalita TEXT(50), cliProvincia TEXT(2), cliPartitaIVA TEXT(16), cliCodiceFiscale TEXT(16), "
            "cliTelefono TEXT(30), cliEmail TEXT(255), cliShared YESNO, sezId INTEGER)",
            "CREATE TABLE Fatture (fatId COUNTER, sezId LONG, fatTipo INTEGER, fatNo LONG, fatPrefisso TEXT(10), "
            "fatData DATETIME, fatCliForId LONG, fatCliForPag LONG, fatDescrizione TEXT(255), fatNote MEMO, "
            "fatTotImporto CURRENCY, fatTotImponibile CURRENCY, fatTotImposta CURRENCY, fatTotDoc CURRENCY, "
            "fatTotRitAcc CURRENCY, fatTotNetto CURRENCY, fatPagata YESNO)",
            "CREATE TABLE FattureDettaglio (fdtId COUNTER, fdtfatId LONG, fdtRiga INTEGER, fdtQuanti DOUBLE, fdtUM TEXT(10), "
            "fdtDescrizione TEXT(255), fdtImporto CURRENCY, fdtTotRiga CURRENCY, fdtCodiceIVA TEXT(10))",
            "CREATE TABLE FattureIva (fciId COUNTER, fcifatId LONG, fciCodiceIva TEXT(10), fciImporto CURRENCY, "
            "fciImponibile CURRENCY, fciImposta CURRENCY, fciTotRiga CURRENCY)",
            "CREATE TABLE Incassi (incId COUNTER, incFatId INTEGER, incData DATETIME, incImporto CURRENCY, incDescrizione TEXT(50))",
            "CREATE TABLE CodiciIVA (cdiCodice TEXT(10), cdiDescrizione TEXT(100), cdiValore DOUBLE)",
            "CREATE INDEX PrimaryKey ON CodiciIVA (cdiCodice) WITH PRIMARY",
            "INSERT INTO CodiciIVA VALUES ('22', 'IVA ordinaria 22%', 22)",
            "INSERT INTO CodiciIVA VALUES ('10', 'IVA ridotta 10%', 10)",
            "INSERT INTO CodiciIVA VALUES ('5', 'IVA ridotta 5%', 5)",
            "INSERT INTO CodiciIVA VALUES ('4', 'IVA minima 4%', 4)",
            "INSERT INTO CodiciIVA VALUES ('N1', 'Escluso art. 15', 0)",
            "INSERT INTO CodiciIVA VALUES ('N2', 'Non soggetto', 0)",
            "INSERT INTO CodiciIVA VALUES ('N3', 'Non imponibile', 0)",
            "INSERT INTO CodiciIVA VALUES ('N4', 'Esente art. 10', 0)",
            "CREATE INDEX fdtfatId ON FattureDettaglio (fdtfatId)",
            "CREATE INDEX fcifatId ON FattureIva (fcifatId)",
            "CREATE INDEX fatCliForId ON Fatture (fatCliForId)",
            "CREATE INDEX sezIdfatData ON Fatture (sezId, fatData)",
            "CREATE INDEX incFatId ON Incassi (incFatId)",
        };
        for (const char* sql : ddl)
            connection.execute(QString::fromLatin1(sql));
        connection.close();

        sqlite3* raw = nullptr;
        sqlite3_open_v2(d->path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
        auto prepare = [&](const char* sql) {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(raw, sql, -1, &st, nullptr);
            return st;
        };
        auto done = [](sqlite3_stmt* st) {
            sqlite3_step(st);
            sqlite3_reset(st);
        };
        sqlite3_stmt* client = prepare("INSERT INTO CliFor (cliNome, cliIndirizzo, cliCAP, cliLocalita, cliProvincia, "
                                       "cliPartitaIVA, cliTelefono, sezId) VALUES (?, 'Via Roma 1', '00100', 'Roma', 'RM', "
                                       "'01234567890', '06 123456', 1)");
        for (int i = 0; i < kClients; ++i) {
            const std::string name = "Cliente " + std::to_string(i);
            sqlite3_bind_text(client, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            done(client);
        }
        sqlite3_stmt* document = prepare("INSERT INTO Fatture (sezId, fatTipo, fatNo, fatData, fatCliForId, fatCliForPag, "
                                         "fatDescrizione, fatTotImporto, fatTotImponibile, fatTotImposta, fatTotDoc, "
                                         "fatTotRitAcc, fatTotNetto, fatPagata) VALUES (1, ?, ?, ?, ?, 0, ?, ?, ?, ?, ?, ?, ?, 0)");
        sqlite3_stmt* line = prepare("INSERT INTO FattureDettaglio (fdtfatId, fdtRiga, fdtQuanti, fdtDescrizione, fdtImporto, "
                                     "fdtTotRiga, fdtCodiceIVA) VALUES (?, ?, 1, ?, ?, ?, '22')");
        sqlite3_stmt* vat = prepare("INSERT INTO FattureIva (fcifatId, fciCodiceIva, fciImporto, fciImponibile, fciImposta, "
                                    "fciTotRiga) VALUES (?, '22', ?, ?, ?, ?)");
        for (int i = 0; i < kDocuments; ++i) {
            const double amount = 100.0 + (i % 997) * 3.25;
            sqlite3_bind_int(document, 1, i % 10 == 0 ? 1 : 0);
            sqlite3_bind_int(document, 2, 1 + i % 2000);
            sqlite3_bind_double(document, 3, 43831.0 + i % 1800);
            sqlite3_bind_int(document, 4, 1 + i % kClients);
            const std::string description = "Prestazioni professionali del periodo n. " + std::to_string(i);
            sqlite3_bind_text(document, 5, description.c_str(), -1, SQLITE_TRANSIENT);
            for (int column = 6; column <= 11; ++column)
                sqlite3_bind_double(document, column, amount * (column == 8 ? 0.22 : 1.0));
            done(document);
            const sqlite3_int64 fatId = sqlite3_last_insert_rowid(raw);
            for (int l = 0; l < kLinesPerDocument; ++l) {
                sqlite3_bind_int64(line, 1, fatId);
                sqlite3_bind_int(line, 2, l + 1);
                const std::string text = "Consulenza e assistenza, voce " + std::to_string(l + 1);
                sqlite3_bind_text(line, 3, text.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_double(line, 4, amount / kLinesPerDocument);
                sqlite3_bind_double(line, 5, amount / kLinesPerDocument);
                done(line);
            }
            sqlite3_bind_int64(vat, 1, fatId);
            for (int column = 2; column <= 5; ++column)
                sqlite3_bind_double(vat, column, amount * (column == 4 ? 0.22 : 1.0));
            done(vat);
        }
        sqlite3_stmt* collection = prepare("INSERT INTO Incassi (incFatId, incData, incImporto, incDescrizione) "
                                           "VALUES (?, ?, ?, 'Bonifico')");
        for (int i = 0; i < kCollections; ++i) {
            sqlite3_bind_int(collection, 1, 1 + i * 2);
            sqlite3_bind_double(collection, 2, 43900.0 + i % 1700);
            sqlite3_bind_double(collection, 3, 50.0 + i % 300);
            done(collection);
        }
        for (sqlite3_stmt* st : {client, document, line, vat, collection})
            sqlite3_finalize(st);
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
        return d;
    }();
    return *db;
}

void layerOpenQuickCheck(benchmark::State& state)
{
    const QString connectionString = largeDatabase().connectionString;
    for (auto _ : state) {
        db::Connection connection;
        connection.open(connectionString);
        const QString result = connection.quickCheck();
        if (result != QLatin1String("ok"))
            state.SkipWithError(result.toUtf8().constData());
        connection.close();
    }
    state.counters["MB"] = static_cast<double>(QFileInfo(largeDatabase().path).size()) / (1024.0 * 1024.0);
}

void rawOpenQuickCheck(benchmark::State& state)
{
    const QByteArray path = largeDatabase().path.toUtf8();
    for (auto _ : state) {
        sqlite3* raw = nullptr;
        sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(raw, "PRAGMA quick_check(1)", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    }
}

// What every start adds on a current file: the open and the look for older declarations.
void layerOpenUpgradeStorage(benchmark::State& state)
{
    const QString connectionString = largeDatabase().connectionString;
    for (auto _ : state) {
        db::Connection connection;
        connection.open(connectionString);
        benchmark::DoNotOptimize(connection.upgradeStorage());
        connection.close();
    }
}

// Text compares as Jet's text in the layer's statements: a join of every VAT
// row to its code by the text of the code (the totals-per-client report).
const char* const kTotalsPerCode =
    "SELECT CodiciIVA.cdiDescrizione, Sum(FattureIva.fciImponibile) AS Imponibile FROM FattureIva INNER JOIN CodiciIVA "
    "ON FattureIva.fciCodiceIva = CodiciIVA.cdiCodice GROUP BY CodiciIVA.cdiDescrizione ORDER BY CodiciIVA.cdiDescrizione";

void layerJoinOnTextCode(benchmark::State& state)
{
    db::Connection connection;
    connection.open(largeDatabase().connectionString);
    for (auto _ : state) {
        db::Recordset rs;
        rs.open(QString::fromLatin1(kTotalsPerCode), connection, db::CursorType::Static, db::LockType::ReadOnly);
        benchmark::DoNotOptimize(rs.recordCount());
    }
}

void rawJoinOnTextCode(benchmark::State& state)
{
    sqlite3* raw = nullptr;
    sqlite3_open_v2(largeDatabase().path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    for (auto _ : state)
        benchmark::DoNotOptimize(fetchAll(raw, kTotalsPerCode));
    sqlite3_close(raw);
}

void rawOpen(benchmark::State& state)
{
    const QByteArray path = largeDatabase().path.toUtf8();
    for (auto _ : state) {
        sqlite3* raw = nullptr;
        sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    }
}

} // namespace

BENCHMARK(layerOpenQuickCheck)->Name("Layer/OpenQuickCheck100kDocuments")->Unit(benchmark::kMillisecond);
BENCHMARK(rawOpenQuickCheck)->Name("Raw/OpenQuickCheck100kDocuments")->Unit(benchmark::kMillisecond);
BENCHMARK(layerOpenUpgradeStorage)->Name("Layer/OpenUpgradeStorageCurrentFile")->Unit(benchmark::kMillisecond);
BENCHMARK(rawOpen)->Name("Raw/OpenReadSchema")->Unit(benchmark::kMillisecond);
BENCHMARK(layerJoinOnTextCode)->Name("Layer/JoinOnTextCode100k")->Unit(benchmark::kMillisecond);
BENCHMARK(rawJoinOnTextCode)->Name("Raw/JoinOnTextCode100k")->Unit(benchmark::kMillisecond);
BENCHMARK(layerOpenStatic)->Name("Layer/OpenStaticRecordset100k")->Unit(benchmark::kMillisecond);
BENCHMARK(rawSelectAll)->Name("Raw/SelectAll100k")->Unit(benchmark::kMillisecond);
BENCHMARK(layerFilterClone)->Name("Layer/FilterClone100k")->Unit(benchmark::kMillisecond);
BENCHMARK(rawFilteredSelect)->Name("Raw/FilteredSelect100k")->Unit(benchmark::kMillisecond);
BENCHMARK(layerSort)->Name("Layer/Sort100k")->Unit(benchmark::kMillisecond);
BENCHMARK(rawSortedSelect)->Name("Raw/OrderBySelect100k")->Unit(benchmark::kMillisecond);
BENCHMARK(layerUpdateBatch)->Name("Layer/UpdateBatch1000of100k")->Unit(benchmark::kMillisecond);
BENCHMARK(rawUpdateStatements)->Name("Raw/Update1000InOneTransaction")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
