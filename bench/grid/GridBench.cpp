// Times the grid over 50 000 rows and prints each figure beside SQLite doing
// the same work on the same file: reading every row, ordering by another
// column, and finding the first name that begins with the typed text.
#include "platform/core/Error.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/grid/GridEx.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <cstdio>
#include <functional>

namespace {

constexpr int kRows = 50000;

double millis(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// Steps through every row of `sql`, reading each column as the grid would.
int rawQuery(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        return -1;
    int rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            if (sqlite3_column_type(statement, c) == SQLITE_TEXT)
                (void)sqlite3_column_text(statement, c);
            else
                (void)sqlite3_column_double(statement, c);
        }
        ++rows;
    }
    sqlite3_finalize(statement);
    return rows;
}

// A negative `raw` means the engine has nothing comparable to do.
void report(const char* what, double grid, double raw)
{
    if (raw < 0)
        std::printf("%-34s grid %9.2f ms\n", what, grid);
    else
        std::printf("%-34s grid %9.2f ms   raw SQLite %9.2f ms\n", what, grid, raw);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.mdb");
    try {
        db::Connection::createDatabase(path);
        db::Connection connection;
        connection.open(db::Connection::connectionStringFor(path));
        connection.execute("CREATE TABLE Clienti (cliId COUNTER, cliNome TEXT(50), cliData DATETIME, "
                           "cliImporto CURRENCY, cliLocalita TEXT(50))");
        connection.execute("CREATE INDEX PrimaryKey ON Clienti (cliId) WITH PRIMARY");
        const char* names[] = {"Rossi", "bianchi", "Verdi", "Marino", "esposito", "Romano", "Colombo", "ricci"};
        const double filling = millis([&] {
            connection.beginTrans();
            for (int i = 0; i < kRows; ++i) {
                connection.execute(QStringLiteral("INSERT INTO Clienti (cliNome, cliData, cliImporto, cliLocalita) "
                                                  "VALUES ('%1 %2', #%3/%4/20%5#, %6, 'Loc %7')")
                                       .arg(QLatin1String(names[(i * 7) % 8]))
                                       .arg((i * 7919) % kRows)
                                       .arg(1 + i % 12)
                                       .arg(1 + i % 28)
                                       .arg(10 + i % 17)
                                       .arg((i * 37) % 100000 / 100.0, 0, 'f', 2)
                                       .arg(i % 101));
            }
            connection.commitTrans();
        });
        std::printf("filled %d rows in %.0f ms\n\n", kRows, filling);
        connection.close();

        sqlite3* raw = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
        // The layer declares its text columns with its own case-blind collation; the raw side needs one too.
        sqlite3_create_collation(raw, "JETTEXT", SQLITE_UTF8, nullptr,
                                 [](void*, int la, const void* a, int lb, const void* b) {
                                     return QString::fromUtf8(static_cast<const char*>(a), la)
                                         .compare(QString::fromUtf8(static_cast<const char*>(b), lb), Qt::CaseInsensitive);
                                 });

        grid::GridEx grid;
        grid.resize(900, 600);
        grid.show();
        grid.setConnectionString(db::Connection::connectionStringFor(path));
        grid.setRecordSource("SELECT cliId, cliNome AS Nome, cliData AS Data, cliImporto AS Importo, cliLocalita FROM Clienti");
        bool bound = false;
        const double load = millis([&] {
            bound = grid.rebind();
            grid.addSortKey(2, grid::SortOrder::Ascending); // lists open sorted by their second column
        });
        if (!bound || grid.rowCount() != kRows) {
            std::fprintf(stderr, "grid holds %d rows\n", grid.rowCount());
            return 1;
        }
        grid.column(4).setFormat("#,##0.00;-#,##0.00;0.00");
        int rawRows = 0;
        const double rawLoad = millis([&] {
            rawRows = rawQuery(raw, "SELECT cliId, cliNome, cliData, cliImporto, cliLocalita FROM Clienti ORDER BY cliNome");
        });
        if (rawRows != kRows) {
            std::fprintf(stderr, "raw query read %d rows: %s\n", rawRows, sqlite3_errmsg(raw));
            return 1;
        }
        db::Recordset alone;
        const double recordsetOnly = millis([&] {
            alone.open("SELECT cliId, cliNome AS Nome, cliData AS Data, cliImporto AS Importo, cliLocalita FROM Clienti",
                       db::Connection::connectionStringFor(path), db::CursorType::Static, db::LockType::BatchOptimistic);
        });
        std::printf("(of which the recordset's own open: %.2f ms)\n", recordsetOnly);
        report("load 50 000 rows, sorted by name", load, rawLoad);

        const double sort = millis([&] {
            grid.clearSortKeys();
            grid.addSortKey(4, grid::SortOrder::Descending);
        });
        const double rawSort = millis([&] {
            rawQuery(raw, "SELECT cliId, cliNome, cliData, cliImporto, cliLocalita FROM Clienti ORDER BY cliImporto DESC");
        });
        report("sort by amount, descending", sort, rawSort);

        const double dateSort = millis([&] {
            grid.clearSortKeys();
            grid.addSortKey(3, grid::SortOrder::Ascending);
        });
        const double rawDateSort = millis([&] {
            rawQuery(raw, "SELECT cliId, cliNome, cliData, cliImporto, cliLocalita FROM Clienti ORDER BY cliData");
        });
        report("sort by date", dateSort, rawDateSort);

        grid.clearSortKeys();
        grid.addSortKey(2, grid::SortOrder::Ascending);
        grid.find(2, grid::Condition::BeginsWith, "r"); // the first keystroke builds the column's texts
        const char* typed[] = {"ro", "ros", "rossi 4"};
        for (const char* text : typed) {
            bool found = false;
            const double step = millis([&] { found = grid.find(2, grid::Condition::BeginsWith, QString::fromLatin1(text)); });
            const QByteArray sql = QByteArray("SELECT cliId, cliNome FROM Clienti WHERE cliNome LIKE '") + text
                                   + "%' ORDER BY cliNome LIMIT 1";
            const double rawStep = millis([&] { rawQuery(raw, sql.constData()); });
            report(QByteArray("type-to-find step \"").append(text).append("\"").constData(), step, rawStep);
            if (!found)
                std::fprintf(stderr, "no row begins with %s\n", text);
        }
        const double amountFind = millis([&] { grid.find(4, grid::Condition::BeginsWith, "12"); });
        const double amountFindAgain = millis([&] { grid.find(4, grid::Condition::BeginsWith, "123"); });
        report("find in amounts as shown (first)", amountFind, -1);
        report("find in amounts as shown (next)", amountFindAgain, -1);
        sqlite3_close(raw);
    } catch (const core::Error& e) {
        std::fprintf(stderr, "%s\n", e.text().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
