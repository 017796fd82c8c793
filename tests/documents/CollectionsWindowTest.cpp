// The collections window on its own, over a saved invoice.
#include "EditorDriver.h"

#include "documents/frmIncassi.h"
#include "domain/ReportQueries.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/MsgBoxStyle.h"
#include "startup/SharedState.h"
#include "support/DatabaseFile.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class CollectionsWindowTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        m_fat = saveSimpleDocument(0);
        exec(QStringLiteral("UPDATE Fatture SET fatTotNetto = 300.30 WHERE fatId=") + QString::number(m_fat));
        restartDialogs();
    }
    QString path() const { return session().cartellaDb + QStringLiteral("/qelvo.mdb"); }
    static grid::GridEx* grid(QWidget* w) { return w->findChild<grid::GridEx*>(QStringLiteral("gex")); }
    static QString label(QWidget* w, const char* name) { return w->findChild<QLabel*>(QLatin1String(name))->text(); }
    static void click(QWidget* w, const char* name)
    {
        QTest::mouseClick(w->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }
    // Types one collection into the new row as a user does: date (empty: keep
    // the proposed one), amount, description, then Enter.
    void typeRow(QWidget* w, const QString& date, const QString& amount, const QString& description)
    {
        QApplication::setActiveWindow(w);
        grid::GridEx* g = grid(w);
        g->view()->setFocus();
        QCoreApplication::processEvents();
        if (!g->isNewRowLine(g->row())) {
            g->setRow(g->rowCount() + 1);
            g->setCol(g->column(QStringLiteral("incData")).position());
        }
        if (!date.isEmpty())
            type(date);
        key(Qt::Key_Tab);
        type(amount);
        key(Qt::Key_Tab);
        type(description);
        key(Qt::Key_Return);
    }
    QString stored()
    {
        QString out;
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT incFatId, incData, incImporto, incDescrizione FROM Incassi ORDER BY incData"),
                session().dataConStr, db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
        for (; !rs.eof(); rs.moveNext())
            out += QStringLiteral("%1 %2 %3 %4;")
                       .arg(rs.value(0).toLong())
                       .arg(rs.value(1).toDate().toString(QStringLiteral("dd/MM/yyyy")))
                       .arg(rs.value(2).toCurrency().toPlainString())
                       .arg(rs.value(3).toString());
        rs.close();
        return out;
    }

    std::int32_t m_fat = 0;
};

} // namespace

TEST_F(CollectionsWindowTest, TwoCollectionsSavedAndReopenedLeaveNothingToCollect)
{
    m_dialogs.answerModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Incassi"));
        EXPECT_EQ(label(w, "lblDaIncassare"), QStringLiteral("Da incassare: 300,30"));
        // The window opens on the new row, at its date.
        EXPECT_TRUE(grid(w)->isNewRowLine(grid(w)->row()));
        EXPECT_EQ(grid(w)->col(), grid(w)->column(QStringLiteral("incData")).position());
        typeRow(w, {}, QStringLiteral("100,10"), QStringLiteral("Bonifico"));
        typeRow(w, QStringLiteral("20/03/2024"), QStringLiteral("200,20"), {});
        EXPECT_EQ(grid(w)->rowCount(), 2);
        EXPECT_EQ(label(w, "lblIncassato"), QStringLiteral("Incassato: 300,30"));
        click(w, "cmdSalva");
        EXPECT_FALSE(w->isVisible());
    });
    frmIncassi::Apri(m_fat);
    const QString id = QString::number(m_fat);
    EXPECT_EQ(stored(), id + QStringLiteral(" 05/03/2024 100.1 Bonifico;") + id + QStringLiteral(" 20/03/2024 200.2 ;"));

    m_dialogs.answerModal([&](QWidget* w) {
        EXPECT_EQ(grid(w)->rowCount(), 2);
        EXPECT_EQ(label(w, "lblNetto"), QStringLiteral("Netto dovuto: 300,30"));
        EXPECT_EQ(label(w, "lblDaIncassare"), QStringLiteral("Da incassare: 0,00"));
        click(w, "cmdAnnulla");
    });
    frmIncassi::Apri(m_fat);
    // Another document's window lists none of them.
    const std::int32_t other = saveSimpleDocument(0);
    m_dialogs.answerModal([&](QWidget* w) {
        EXPECT_EQ(grid(w)->rowCount(), 0);
        click(w, "cmdAnnulla");
    });
    frmIncassi::Apri(other);
}

TEST_F(CollectionsWindowTest, ARowWithoutADateOrWithATextAmountIsNotAccepted)
{
    m_dialogs.answerMessageBox(ui::vbOK);
    m_dialogs.answerModal([&](QWidget* w) {
        grid::GridEx* g = grid(w);
        typeRow(w, {}, QStringLiteral("abc"), QStringLiteral("Contanti"));
        EXPECT_TRUE(g->isEditingRow());
        EXPECT_EQ(g->rowCount(), 0);
        // Saving with the row still refused tells why and keeps the window.
        click(w, "cmdSalva");
        EXPECT_TRUE(w->isVisible());
        g->cancelRowEdit();
        g->setRow(1);
        g->setValue(QStringLiteral("incImporto"), core::Variant(core::Currency::fromUnits(5)));
        g->setValue(QStringLiteral("incData"), core::Variant::null());
        EXPECT_FALSE(g->commitRowEdit());
        click(w, "cmdAnnulla");
    });
    frmIncassi::Apri(m_fat);
    EXPECT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(stored(), QString());
}

TEST_F(CollectionsWindowTest, DeletingThenCancellingKeepsTheRowDeletingThenSavingRemovesIt)
{
    exec(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto) VALUES (%1, #03/01/2024#, 50)").arg(m_fat));
    const QString before = stored();
    for (const char* button : {"cmdAnnulla", "cmdSalva"}) {
        m_dialogs.answerModal([&](QWidget* w) {
            grid::GridEx* g = grid(w);
            g->setRow(1);
            g->view()->setFocus();
            QTest::keyClick(g->view(), Qt::Key_Delete);
            EXPECT_EQ(g->rowCount(), 0);
            EXPECT_EQ(label(w, "lblDaIncassare"), QStringLiteral("Da incassare: 300,30"));
            click(w, button);
        });
        frmIncassi::Apri(m_fat);
        EXPECT_EQ(stored(), QLatin1String(button) == QLatin1String("cmdAnnulla") ? before : QString()) << button;
    }
}

TEST_F(CollectionsWindowTest, AFailedSaveKeepsTheWindowAndEveryEdit)
{
    exec(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto) VALUES (%1, #03/01/2024#, 50)").arg(m_fat));
    struct Case {
        const char* what;
        std::function<void()> meanwhile;
        const char* message;
    };
    std::unique_ptr<WriteRefusal> refusal;
    const Case cases[] = {
        {"refused write", [&] { refusal = std::make_unique<WriteRefusal>(path(), "INSERT", "Incassi"); },
         "Gli incassi non sono stati salvati."},
        {"another machine changed the row",
         [&] { exec(QStringLiteral("UPDATE Incassi SET incImporto = 60 WHERE incFatId=%1").arg(m_fat)); },
         "Conflitto in multiutenza - Record impegnato o eliminato da un altro utente."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_dialogs.answerMessageBox(ui::vbOK);
        QString during;
        m_dialogs.answerModal([&](QWidget* w) {
            grid::GridEx* g = grid(w);
            g->setRow(1);
            g->setValue(QStringLiteral("incImporto"), core::Variant(core::Currency::fromUnits(70)));
            ASSERT_TRUE(g->commitRowEdit());
            typeRow(w, {}, QStringLiteral("20"), QStringLiteral("Saldo"));
            c.meanwhile();
            during = stored();
            click(w, "cmdSalva");
            EXPECT_TRUE(w->isVisible());
            EXPECT_EQ(g->rowCount(), 2);
            EXPECT_EQ(g->cellValue(1, g->columnIndex(QStringLiteral("incImporto"))).toCurrency(),
                      core::Currency::fromUnits(70));
            EXPECT_EQ(label(w, "lblIncassato"), QStringLiteral("Incassato: 90,00"));
            refusal.reset();
            click(w, "cmdAnnulla");
        });
        frmIncassi::Apri(m_fat);
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_TRUE(m_dialogs.messages().first().startsWith(QLatin1String(c.message))) << m_dialogs.messages().first().toStdString();
        EXPECT_EQ(stored(), during);
        restartDialogs();
    }
    // A retry after the failure writes everything.
    m_dialogs.answerModal([&](QWidget* w) {
        typeRow(w, {}, QStringLiteral("5"), {});
        click(w, "cmdSalva");
        EXPECT_FALSE(w->isVisible());
    });
    frmIncassi::Apri(m_fat);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Incassi")), 2);
}

TEST_F(CollectionsWindowTest, ADocumentDeletedElsewhereKeepsTheWindowAndStoresNothing)
{
    m_dialogs.answerMessageBox(ui::vbOK);
    m_dialogs.answerModal([&](QWidget* w) {
        typeRow(w, {}, QStringLiteral("20"), QStringLiteral("Saldo"));
        // Another machine deletes the document, as its Elimina does.
        db::Connection other;
        other.open(session().dataConStr);
        for (const char* sql : {"DELETE FROM FattureDettaglio WHERE fdtfatId=%1", "DELETE FROM FattureIva WHERE fcifatId=%1",
                                "DELETE FROM Incassi WHERE incFatId=%1", "DELETE FROM Fatture WHERE fatId=%1"})
            other.execute(QString::fromLatin1(sql).arg(m_fat));
        other.close();
        click(w, "cmdSalva");
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(grid(w)->rowCount(), 1);
        click(w, "cmdAnnulla");
    });
    frmIncassi::Apri(m_fat);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().first(), QStringLiteral("Conflitto in multiutenza - Record impegnato o eliminato da un altro utente."));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Incassi")), 0);
}

TEST_F(CollectionsWindowTest, EscDropsTheCellThenTheRowAndOnlyThenTheWindow)
{
    m_dialogs.answerModal([&](QWidget* w) {
        typeRow(w, {}, QStringLiteral("40"), QStringLiteral("Primo"));
        grid::GridEx* g = grid(w);
        ASSERT_EQ(g->rowCount(), 1);
        key(Qt::Key_Return); // on a row at rest: nothing, and above all no save
        EXPECT_TRUE(w->isVisible());
        key(Qt::Key_Tab);
        type(QStringLiteral("12")); // typing in the new row's amount cell
        key(Qt::Key_Escape);        // drops the typing
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(g->isEditingRow());
        type(QStringLiteral("13"));
        key(Qt::Key_Tab);           // the cell is kept: the new row is in edit, on to the description
        ASSERT_TRUE(g->isEditingRow());
        key(Qt::Key_Escape);        // leaves the description cell
        EXPECT_TRUE(g->isEditingRow());
        key(Qt::Key_Escape);        // drops the row
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(g->isEditingRow());
        EXPECT_EQ(g->rowCount(), 1);
        key(Qt::Key_Escape);        // on a row at rest: the window, and every edit in it
        EXPECT_FALSE(w->isVisible());
    });
    frmIncassi::Apri(m_fat);
    EXPECT_EQ(stored(), QString());
}

TEST_F(CollectionsWindowTest, ADocumentPastTheSixteenBitIdsGetsItsCollectionsAndIsReported)
{
    // Documents made and deleted over the years have moved the counter on.
    exec(QStringLiteral("INSERT INTO Fatture (fatId, sezId) VALUES (39999, 1)"));
    exec(QStringLiteral("DELETE * FROM Fatture WHERE fatId=39999"));
    const std::int32_t fat = saveSimpleDocument(0);
    ASSERT_EQ(fat, 40000);
    exec(QStringLiteral("UPDATE Fatture SET fatTotNetto = 300.30 WHERE fatId=40000"));

    m_dialogs.answerModal([&](QWidget* w) {
        typeRow(w, {}, QStringLiteral("100,10"), QStringLiteral("Bonifico"));
        click(w, "cmdSalva");
        EXPECT_FALSE(w->isVisible());
    });
    frmIncassi::Apri(fat);
    EXPECT_EQ(stored(), QStringLiteral("40000 05/03/2024 100.1 Bonifico;"));

    FiltriReport f;
    f.sezId = session().sezId;
    f.dal = QDate(2024, 1, 1);
    f.al = QDate(2024, 12, 31);
    f.soloNonSaldate = true;
    db::Recordset rs;
    rs.open(SqlIncassi(f), session().dataConStr, db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
    QStringList rows;
    for (; !rs.eof(); rs.moveNext())
        rows << rs.value(QStringLiteral("Incassato")).toCurrency().toPlainString() + QLatin1Char('|')
                    + rs.value(QStringLiteral("Da incassare")).toCurrency().toPlainString();
    rs.close();
    // The document saved in SetUp has nothing collected; this one its row.
    EXPECT_TRUE(rows.contains(QStringLiteral("100.1|200.2"))) << rows.join(QLatin1Char(' ')).toStdString();
}

TEST_F(CollectionsWindowTest, ANoughtRowIsRefusedAndDoubtfulOnesAreAskedFirst)
{
    // The document: 05/03/2024, 300,30 to collect.
    struct Case {
        const char* what;
        const char* first;  // an amount accepted before, "" for none
        const char* date;   // "" keeps the proposed working date (the document's)
        const char* amount;
        QVector<int> answers; // to the questions, in order
        bool refused;         // told why, no question
        bool accepted;
    };
    const Case cases[] = {
        {"nought", "", "", "0", {}, true, false},
        {"nought with decimals", "", "", "0,00", {}, true, false},
        {"all that is left", "", "", "300,30", {}, false, true},
        {"beyond what is left, No", "", "", "300,31", {ui::vbNo}, false, false},
        {"beyond what is left, Yes", "", "", "400", {ui::vbYes}, false, true},
        {"beyond what the other rows leave", "200", "", "100,31", {ui::vbNo}, false, false},
        {"before the document, No", "", "04/03/2024", "10", {ui::vbNo}, false, false},
        {"before the document, Yes", "", "04/03/2024", "10", {ui::vbYes}, false, true},
        {"both, then No", "", "01/01/2024", "500", {ui::vbYes, ui::vbNo}, false, false},
        {"both, Yes twice", "", "01/01/2024", "500", {ui::vbYes, ui::vbYes}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.refused)
            m_dialogs.answerMessageBox(ui::vbOK);
        for (int answer : c.answers)
            m_dialogs.answerMessageBox(answer);
        m_dialogs.answerModal([&](QWidget* w) {
            grid::GridEx* g = grid(w);
            const int before = *c.first ? 1 : 0;
            if (before)
                typeRow(w, {}, QString::fromLatin1(c.first), {});
            ASSERT_EQ(g->rowCount(), before);
            typeRow(w, QString::fromLatin1(c.date), QString::fromLatin1(c.amount), QStringLiteral("Bonifico"));
            EXPECT_EQ(g->rowCount(), before + (c.accepted ? 1 : 0));
            // Refused or answered No: the row stays as typed, for the user to mend.
            EXPECT_EQ(g->isEditingRow(), !c.accepted);
            if (!c.accepted) {
                EXPECT_EQ(g->value(QStringLiteral("incDescrizione")).toString(), QStringLiteral("Bonifico"));
            }
            click(w, "cmdAnnulla");
        });
        frmIncassi::Apri(m_fat);
        const auto boxes = m_dialogs.requests();
        ASSERT_EQ(boxes.size(), 1 + (c.refused ? 1 : 0) + c.answers.size()); // the window, then its messages
        for (int i = 1; i < boxes.size(); ++i) {
            const int style = boxes[i].style;
            if (c.refused) {
                EXPECT_TRUE(boxes[i].text.contains(QStringLiteral("zero"))) << boxes[i].text.toStdString();
                EXPECT_EQ(style & ui::vbButtonsMask, ui::vbOKOnly);
            } else {
                EXPECT_EQ(style & ui::vbButtonsMask, ui::vbYesNo);
                EXPECT_EQ(style & ui::vbDefaultMask, ui::vbDefaultButton2) << "No is the default";
            }
        }
        restartDialogs();
    }
    EXPECT_EQ(stored(), QString());
}

TEST_F(CollectionsWindowTest, AnAnsweredRowIsStoredAndAnOldRowIsNotAskedAboutAgain)
{
    m_dialogs.answerMessageBox(ui::vbYes).answerMessageBox(ui::vbYes); // beyond what is left, before the document
    m_dialogs.answerModal([&](QWidget* w) {
        typeRow(w, QStringLiteral("01/03/2024"), QStringLiteral("350"), QStringLiteral("Anticipo"));
        click(w, "cmdSalva");
        EXPECT_FALSE(w->isVisible());
    });
    frmIncassi::Apri(m_fat);
    const QString id = QString::number(m_fat);
    EXPECT_EQ(stored(), id + QStringLiteral(" 01/03/2024 350 Anticipo;"));
    restartDialogs();

    // Opened again: a new description asks nothing about what was answered before.
    m_dialogs.answerModal([&](QWidget* w) {
        grid::GridEx* g = grid(w);
        g->setRow(1);
        g->setValue(QStringLiteral("incDescrizione"), core::Variant(QStringLiteral("Acconto")));
        EXPECT_TRUE(g->commitRowEdit());
        click(w, "cmdSalva");
        EXPECT_FALSE(w->isVisible());
    });
    frmIncassi::Apri(m_fat);
    EXPECT_EQ(stored(), id + QStringLiteral(" 01/03/2024 350 Acconto;"));
}

TEST_F(CollectionsWindowTest, SalvaClickedWhileTheAmountIsBeingTypedAsksFirst)
{
    m_dialogs.answerMessageBox(ui::vbNo).answerMessageBox(ui::vbYes);
    m_dialogs.answerModal([&](QWidget* w) {
        QApplication::setActiveWindow(w);
        grid::GridEx* g = grid(w);
        g->view()->setFocus();
        key(Qt::Key_Tab);
        type(QStringLiteral("400")); // still in the cell when the mouse reaches Salva
        ASSERT_TRUE(g->isCellEditorOpen());
        click(w, "cmdSalva");
        // No: nothing written, the row as typed, the window open.
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(stored(), QString());
        EXPECT_TRUE(g->isEditingRow());
        EXPECT_EQ(g->value(QStringLiteral("incImporto")).toCurrency(), core::Currency::fromUnits(400));
        click(w, "cmdSalva");
        EXPECT_FALSE(w->isVisible());
    });
    frmIncassi::Apri(m_fat);
    // Asked twice, and told nothing else.
    EXPECT_EQ(m_dialogs.messages().size(), 2);
    EXPECT_EQ(stored(), QString::number(m_fat) + QStringLiteral(" 05/03/2024 400 ;"));
}
