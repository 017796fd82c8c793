// Times the editor's two heavy steps on a large document: the rebuild of the VAT
// summary and totals after one committed line change, and the save. The same
// rows written by plain SQLite statements in one transaction give the floor.
#include "documents/frm_fattura.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/MsgBoxStyle.h"
#include "platform/ui/ScopedDialogHandler.h"
#include "platform/ui/ScriptedDialogs.h"
#include "startup/DatabaseFile.h"
#include "startup/Section.h"
#include "startup/SchemaUpgrade.h"
#include "startup/SharedState.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <sqlite3.h>

namespace {

constexpr int kLines = 500;
constexpr int kCodes = 20;

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void execRaw(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n", error);
        sqlite3_free(error);
    }
}

// The same rows the save writes: the lines, the VAT rows, the header and the counter.
double rawSave(const QString& path, int fatId)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    const auto start = std::chrono::steady_clock::now();
    execRaw(db, "BEGIN IMMEDIATE");
    sqlite3_stmt* line = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO FattureDettaglio (fdtfatId, fdtQuanti, fdtDescrizione, fdtImporto, fdtTotRiga, fdtCodiceIVA) "
                       "VALUES (?, ?, ?, ?, ?, ?)",
                       -1, &line, nullptr);
    for (int i = 0; i < kLines; ++i) {
        sqlite3_bind_int(line, 1, fatId);
        sqlite3_bind_double(line, 2, 1 + i % 3);
        sqlite3_bind_text(line, 3, "Prestazione professionale", -1, SQLITE_STATIC);
        sqlite3_bind_int64(line, 4, 1000000 + i);
        sqlite3_bind_int64(line, 5, (1000000 + i) * (1 + i % 3));
        const QByteArray code = QByteArray("B") + QByteArray::number(i % kCodes);
        sqlite3_bind_text(line, 6, code.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(line);
        sqlite3_reset(line);
    }
    sqlite3_finalize(line);
    sqlite3_stmt* vat = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO FattureIva (fcifatId, fciCodiceIva, fciImporto, fciSoggettivo, fciImponibile, fciImposta, "
                       "fciTotRiga, fciRit01) VALUES (?, ?, 1, 1, 1, 1, 1, 1)",
                       -1, &vat, nullptr);
    for (int c = 0; c < kCodes; ++c) {
        sqlite3_bind_int(vat, 1, fatId);
        const QByteArray code = QByteArray("B") + QByteArray::number(c);
        sqlite3_bind_text(vat, 2, code.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(vat);
        sqlite3_reset(vat);
    }
    sqlite3_finalize(vat);
    execRaw(db, "UPDATE SezioniParametri SET parNum1 = parNum1 + 1 WHERE parsezId = 1");
    execRaw(db, (QByteArray("UPDATE Fatture SET fatNo = 1, fatTotDoc = 1, fatTotNetto = 1 WHERE fatId = ")
                 + QByteArray::number(fatId))
                    .constData());
    execRaw(db, "COMMIT");
    const double ms = msSince(start);
    sqlite3_close(db);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Corvessa"));
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogHandler scope(dialogs);

    QTemporaryDir folder;
    const QString db = QDir(folder.path()).filePath(QLatin1String(kNomeDatabase));
    QFile::copy(QDir(QStringLiteral(CORVESSA_PROGRAM_DIR)).filePath(QLatin1String(kNomeTemplate)), db);
    QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
    session().cartellaDb = folder.path();
    session().dataConStr = StringaConnessione(folder.path());
    AggiornaDb();
    CaricaUms();
    CreaTabelleFin();
    session().sezId = 1;
    CaricaSezione();
    ImpostaDataLavoro(QDate(2024, 3, 5));
    {
        db::Connection cn;
        cn.open(session().dataConStr);
        for (int c = 0; c < kCodes; ++c)
            cn.execute(QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione, cdiRitAcc) "
                                      "VALUES ('B%1', 'Bench %1', %2, %3, 0)")
                           .arg(c)
                           .arg(c % 4 == 0 ? 0 : 4 + c)
                           .arg(c % 5 == 0 ? -1 : 0));
        cn.execute(QStringLiteral("INSERT INTO CliFor (cliNome, sezId, SostImposta, cliShared) VALUES ('Cliente', 1, True, False)"));
        cn.close();
    }

    frm_fattura::Nuovo(0);
    frm_fattura* f = frm_fattura::current();
    if (!f)
        return 1;
    db::Recordset lines = f->document().lineRows();
    for (int i = 0; i < kLines; ++i) {
        lines.addNew();
        lines.setValue(QStringLiteral("fdtfatId"), core::Variant(f->documentId()));
        lines.setValue(QStringLiteral("fdtQuanti"), core::Variant(double(1 + i % 3)));
        lines.setValue(QStringLiteral("fdtDescrizione"), core::Variant(QStringLiteral("Prestazione professionale")));
        lines.setValue(QStringLiteral("fdtImporto"), core::Variant(core::Currency::fromRaw(1000000 + i)));
        lines.setValue(QStringLiteral("fdtTotRiga"), core::Variant(core::Currency::fromRaw((1000000 + i) * (1 + i % 3))));
        lines.setValue(QStringLiteral("fdtCodiceIVA"), core::Variant(QStringLiteral("B%1").arg(i % kCodes)));
        lines.update();
    }
    f->gexdet->refresh();
    f->document().headerRows().setValue(QStringLiteral("fatCliForId"),
                                  core::Variant(std::int32_t(1)));
    f->dtcData[0]->setBoundValue(core::Variant(std::int32_t(1)));

    // One committed line change: the grid writes the row, the summary and totals follow.
    double best = 1e9;
    double total = 0;
    constexpr int kRuns = 20;
    for (int run = 0; run < kRuns; ++run) {
        f->gexdet->setRow(1 + run);
        f->gexdet->setValue(7, core::Variant(core::Currency::fromUnits(200 + run)));
        const auto start = std::chrono::steady_clock::now();
        f->gexdet->commitRowEdit();
        const double ms = msSince(start);
        best = std::min(best, ms);
        total += ms;
    }
    std::printf("line change (commit, VAT summary of %d codes, totals) over %d lines: best %.2f ms, mean %.2f ms (aim < 16 ms)\n",
                kCodes, kLines, best, total / kRuns);

    const int fatId = f->documentId();
    // More VAT codes than the print layout holds: the save asks first.
    dialogs.answerMessageBox(ui::vbYes);
    const auto start = std::chrono::steady_clock::now();
    const bool saved = f->Salva();
    const double saveMs = msSince(start);
    std::printf("save of %d lines and %d VAT rows (numbering, one transaction): %.2f ms%s (aim < 100 ms)\n", kLines, kCodes,
                saveMs, saved ? "" : " FAILED");
    {
        db::Recordset stored;
        stored.open(QStringLiteral("SELECT Count(*) FROM FattureDettaglio WHERE fdtfatId=") + QString::number(fatId), session().dataConStr,
                    db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
        std::printf("lines stored: %ld\n", static_cast<long>(stored.value(0).toLong()));
    }
    std::printf("raw SQLite for the same rows in one transaction: %.2f ms\n", rawSave(db, fatId));
    frm_fattura::Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Opening the saved document again: header, lines and VAT rows read and shown.
    double bestOpen = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto openStart = std::chrono::steady_clock::now();
        frm_fattura::Modifica(fatId);
        bestOpen = std::min(bestOpen, msSince(openStart));
        frm_fattura::Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("open of the saved document (%d lines, %d VAT rows): best %.2f ms\n", kLines, kCodes, bestOpen);
    return saved ? 0 : 1;
}
