#include "EditorDriver.h"

#include "domain/Counters.h"
#include "domain/DocumentStore.h"
#include "platform/database/Connection.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/MsgBoxStyle.h"
#include "startup/DatabaseFile.h"
#include "startup/SharedState.h"
#include "support/BusyTimeout.h"

#include <QLineEdit>

namespace {

const QString kConflict = QStringLiteral("Conflitto in multiutenza - Record impegnato o eliminato da un altro utente.");

} // namespace

TEST_F(EditorTest, SeriesNumbersFollowKindPrefixAndCounter)
{
    struct Step {
        int kind;
        const char* prefix;
        int number;
        const char* storedPrefix;
        int sign;
    };
    const Step steps[] = {
        {0, "", 1, "", 1},   // first invoice of the year
        {0, "", 2, "", 1},   // the next one
        {0, "b", 1, "B", 1}, // series B starts at 1, typed in lower case
        {1, "", 3, "", -1},  // a credit note shares the main series
        {2, "", 0, "", 0},   // a pro forma keeps 0 and takes no number
        {0, "B", 2, "B", 1},
    };
    for (const Step& s : steps) {
        const std::int32_t id = saveSimpleDocument(s.kind, QString::fromLatin1(s.prefix));
        const QString where = QStringLiteral(" FROM Fatture WHERE fatId=") + QString::number(id);
        SCOPED_TRACE(QString::number(id).toStdString());
        EXPECT_EQ(count(QStringLiteral("SELECT fatNo") + where), s.number);
        EXPECT_EQ(scalar(QStringLiteral("SELECT fatPrefisso") + where).toString(), QString::fromLatin1(s.storedPrefix));
        EXPECT_EQ(count(QStringLiteral("SELECT fatTipoMol") + where), s.sign);
        EXPECT_EQ(count(QStringLiteral("SELECT fatTipo") + where), s.kind);
    }
    EXPECT_EQ(count(QStringLiteral("SELECT parNum1 FROM SezioniParametri WHERE parKey4=2024 AND parKey3 Is Null")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT parNum1 FROM SezioniParametri WHERE parKey4=2024 AND parKey3='B'")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SezioniParametri")), 2);
}

TEST_F(EditorTest, ADocumentDatedInTheYearBeforeKeepsItsNumberFromRepeating)
{
    ImpostaDataLavoro(QDate(2026, 1, 10));
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parKey3, parNum1) VALUES (1, 2026, Null, 10)"));
    const auto number = [&](std::int32_t id) { return count(QStringLiteral("SELECT fatNo FROM Fatture WHERE fatId=") + QString::number(id)); };
    EXPECT_EQ(number(saveSimpleDocument(0)), 11);

    // Dated 31/12/2025 while the working year is 2026: numbered in 2026's series, as the user is told.
    frm_fattura::Nuovo(0);
    const std::int32_t id = editor()->documentId();
    auto* dtp = control<ui::DateBox>(QStringLiteral("dtp"));
    focus(dtp);
    dtp->selectAll();
    type(QStringLiteral("31122025"));
    key(Qt::Key_Tab);
    chooseClient(QStringLiteral("D"));
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    m_dialogs.answerMessageBox(ui::vbYes);
    clickSave();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(frm_fattura::IsLoaded());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("anno di lavoro 2026")));
    EXPECT_EQ(number(id), 12);
    EXPECT_EQ(count(QStringLiteral("SELECT Year(fatData) FROM Fatture WHERE fatId=") + QString::number(id)), 2025);

    // The counter cannot go back to 11 (the next number would be 12 again), and the next invoice takes 13.
    const CounterSaveResult back = saveCounter(session().dataConStr, 1, 2026, QString(), 11, 12);
    EXPECT_EQ(back.outcome, CounterSave::BelowIssued);
    EXPECT_EQ(back.highestIssued, 12);
    EXPECT_EQ(number(saveSimpleDocument(0)), 13);
}

TEST_F(EditorTest, MainSeriesStoredWithEmptyPrefixIsTheSameCounter)
{
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, '', 2024, 7)"));
    const std::int32_t id = saveSimpleDocument(0);
    EXPECT_EQ(count(QStringLiteral("SELECT fatNo FROM Fatture WHERE fatId=") + QString::number(id)), 8);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SezioniParametri")), 1);
    // Both spellings present: one counter still, raised past the higher of the two.
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parNum1) VALUES (1, 2024, 3)"));
    const std::int32_t next = saveSimpleDocument(0);
    EXPECT_EQ(count(QStringLiteral("SELECT fatNo FROM Fatture WHERE fatId=") + QString::number(next)), 9);
    EXPECT_EQ(UltimoNumero(QString()), 9);
}

TEST_F(EditorTest, TwoConnectionsNumberingAtOnceNeverShareANumber)
{
    const BusyTimeout shortWait(150);
    for (const QString& prefix : {QString(), QStringLiteral("X")}) {
        db::Connection a;
        db::Connection b;
        a.open(session().dataConStr);
        b.open(session().dataConStr);
        a.beginTrans();
        const std::int32_t first = assignNumber(a, 1, 2024, prefix);
        // While one machine holds the counter, the other cannot even start: busy, never a duplicate.
        EXPECT_THROW(b.beginTrans(), db::DbError);
        EXPECT_FALSE(b.inTransaction());
        a.commitTrans();
        b.beginTrans();
        const std::int32_t second = assignNumber(b, 1, 2024, prefix);
        b.commitTrans();
        EXPECT_EQ(first, 1);
        EXPECT_EQ(second, 2);
        a.close();
        b.close();
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SezioniParametri")), 2);
}

TEST_F(EditorTest, SaveWhileAnotherMachineHoldsTheFileFailsKeepsEverythingAndRetryWritesAll)
{
    const BusyTimeout shortWait(150);
    frm_fattura::Nuovo(0);
    const std::int32_t id = editor()->documentId();
    chooseClient(QStringLiteral("D"));
    enterLine({}, QStringLiteral("2"), QStringLiteral("Consulenza"), QStringLiteral("100"));

    db::Connection other;
    other.open(session().dataConStr);
    other.beginTrans();
    m_dialogs.answerMessageBox(ui::vbOK);
    clickSave();
    ASSERT_TRUE(frm_fattura::IsLoaded());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().last().startsWith(QStringLiteral("Il database è in uso")));
    other.rollbackTrans();
    other.close();
    EXPECT_EQ(editor()->document().lineCount(), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureDettaglio")), 0);

    clickSave();
    EXPECT_FALSE(frm_fattura::IsLoaded());
    EXPECT_EQ(count(QStringLiteral("SELECT fatNo FROM Fatture WHERE fatId=") + QString::number(id)), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureDettaglio WHERE fdtfatId=") + QString::number(id)), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureIva WHERE fcifatId=") + QString::number(id)), 1);
}

TEST_F(EditorTest, ConflictRollsBackCounterAndLinesAndKeepsTheEdits)
{
    frm_fattura::Nuovo(0);
    const std::int32_t id = editor()->documentId();
    chooseClient(QStringLiteral("D"));
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    // Another user removes the document meanwhile.
    exec(QStringLiteral("DELETE FROM Fatture WHERE fatId=") + QString::number(id));
    m_dialogs.answerMessageBox(ui::vbOK);
    clickSave();
    ASSERT_TRUE(frm_fattura::IsLoaded());
    EXPECT_EQ(m_dialogs.messages(), QStringList{kConflict});
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SezioniParametri")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureDettaglio")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureIva")), 0);
    db::Recordset pending = editor()->document().lineRows().clone();
    pending.setFilter(db::FilterGroup::PendingRecords);
    EXPECT_EQ(pending.recordCount(), 1);
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtData(0)"))->text(), QStringLiteral("1"));
}

TEST_F(EditorTest, DateOutsideTheWorkingYearAsksBeforeNumbering)
{
    frm_fattura::Nuovo(0);
    const std::int32_t id = editor()->documentId();
    chooseClient(QStringLiteral("D"));
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    ImpostaDataLavoro(QDate(2025, 1, 10)); // the document stays dated 2024
    m_dialogs.answerMessageBox(ui::vbNo);
    clickSave();
    ASSERT_TRUE(frm_fattura::IsLoaded());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SezioniParametri")), 0);
    m_dialogs.answerMessageBox(ui::vbYes);
    clickSave();
    EXPECT_FALSE(frm_fattura::IsLoaded());
    EXPECT_EQ(count(QStringLiteral("SELECT fatNo FROM Fatture WHERE fatId=") + QString::number(id)), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT parNum1 FROM SezioniParametri WHERE parKey4=2025")), 1);
}
