#include "MasterDataFixture.h"

#include "platform/database/Connection.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/MsgBoxStyle.h"
#include "support/BusyTimeout.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <sqlite3.h>

class PickerTest : public MasterDataFixture {
protected:
    void SetUp() override
    {
        MasterDataFixture::SetUp();
        exec(QStringLiteral("INSERT INTO CliFor (cliNome, sezId) VALUES ('Rossi', 1)"));
        m_cli = scalar(QStringLiteral("SELECT MAX(cliId) FROM CliFor")).toLong();
        add(QStringLiteral("B"), m_cli, 1, 20);
        add(QStringLiteral("A"), m_cli, 1, 10);
        add(QStringLiteral("D"), 0, 1, 40);
        add(QStringLiteral("C"), 0, 1, 30);
        add(QStringLiteral("Di un altro cliente"), m_cli + 1, 1, 1);
        add(QStringLiteral("Altra sezione"), 0, 2, 1);
    }
    void add(const QString& descrizione, std::int32_t cliId, std::int32_t sezId, double importo)
    {
        exec(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, preCliId, sezId) "
                            "VALUES ('%1', '22', %2, %3, %4)")
                 .arg(descrizione, QString::number(importo), QString::number(cliId), QString::number(sezId)));
    }
    static grid::GridEx* griglia(QWidget* f) { return child<grid::GridEx>(f, QStringLiteral("gexPre")); }
    static QPushButton* button(QWidget* f, const char* name) { return child<QPushButton>(f, QString::fromLatin1(name)); }
    static QStringList descrizioni(grid::GridEx* g)
    {
        QStringList list;
        for (int r = 1; r <= g->rowCount(); ++r)
            list << g->cellValue(r, 1).toString();
        return list;
    }
    std::int32_t m_cli = 0;
};

TEST_F(PickerTest, TheClientsOwnServicesComeFirstAndOKReturnsTheChosenOne)
{
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Prestazioni"));
        grid::GridEx* g = griglia(f);
        EXPECT_EQ(descrizioni(g), (QStringList{"A", "B", "C", "D"}));
        EXPECT_EQ(g->column(1).caption(), QStringLiteral("Descrizione"));
        EXPECT_FALSE(g->column(4).visible());
        EXPECT_FALSE(g->column(5).visible());
        g->setRow(3);
        click(button(f, "cmdOK"));
    });
    const auto r = frm_list_Prestazioni::Apri(m_cli);
    EXPECT_EQ(r[0].toString(), QStringLiteral("C"));
    EXPECT_EQ(r[1].toString(), QStringLiteral("22"));
    EXPECT_DOUBLE_EQ(r[2].toDouble(), 30.0);

    // Enter on a row picks it too.
    m_dialogs.answerModal([](QWidget* f) {
        grid::GridEx* g = griglia(f);
        g->setRow(2);
        g->view()->setFocus();
        QTest::keyClick(g->view(), Qt::Key_Return);
        EXPECT_FALSE(f->isVisible());
    });
    EXPECT_EQ(frm_list_Prestazioni::Apri(m_cli)[0].toString(), QStringLiteral("B"));
}

TEST_F(PickerTest, WithoutAClientOnlyGenericServicesAndCancelPicksNothing)
{
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(descrizioni(griglia(f)), (QStringList{"C", "D"}));
        griglia(f)->setRow(1);
        click(button(f, "cmdCancel"));
    });
    const auto r = frm_list_Prestazioni::Apri(0);
    EXPECT_TRUE(r[0].isString());
    EXPECT_EQ(r[0].toString(), QString());

    // Esc is a cancel too.
    m_dialogs.answerModal([](QWidget* f) { QTest::keyClick(griglia(f)->view(), Qt::Key_Escape); });
    EXPECT_EQ(frm_list_Prestazioni::Apri(0)[0].toString(), QString());
}

TEST_F(PickerTest, OKOnAnEmptyListPicksNothing)
{
    exec(QStringLiteral("DELETE FROM Prestazioni"));
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(griglia(f)->rowCount(), 0);
        click(button(f, "cmdOK"));
    });
    EXPECT_EQ(frm_list_Prestazioni::Apri(m_cli)[0].toString(), QString());
}

TEST_F(PickerTest, ANewServiceMadeFromThePickerIsSelectedAndPicked)
{
    m_dialogs.answerModal([](QWidget* f) { click(button(f, "cmdNew")); EXPECT_TRUE(f->isVisible()); click(button(f, "cmdOK")); });
    m_dialogs.answerModal([](QWidget* s) {
        EXPECT_EQ(s->objectName(), QStringLiteral("frm_io_Prestazioni"));
        auto* descrizione = child<QLineEdit>(s, QStringLiteral("txtData(0)"));
        QTest::keyClicks(descrizione, QStringLiteral("AA nuova"));
        auto* importo = child<QLineEdit>(s, QStringLiteral("txtData(1)"));
        importo->setFocus();
        importo->selectAll();
        QTest::keyClicks(importo, QStringLiteral("99,9"));
        click(child<QPushButton>(s, QStringLiteral("cmdSalva")));
    });
    const auto r = frm_list_Prestazioni::Apri(m_cli);
    EXPECT_EQ(r[0].toString(), QStringLiteral("AA nuova"));
    EXPECT_DOUBLE_EQ(r[2].toDouble(), 99.9);
    EXPECT_EQ(scalar(QStringLiteral("SELECT preCliId FROM Prestazioni WHERE preDescrizione='AA nuova'")).toLong(), m_cli);
}

TEST_F(PickerTest, AListThatCannotBeReadIsToldAndNothingIsPicked)
{
    const BusyTimeout shortWait(150);
    // Another machine holds the whole file: not even a read gets through.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(defaultDatabasePath().toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    m_dialogs.answerMessageBox(ui::vbOK);
    const auto r = frm_list_Prestazioni::Apri(m_cli);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    EXPECT_EQ(r[0].toString(), QString());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().startsWith(QStringLiteral("Impossibile leggere l'elenco delle prestazioni.")));
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("bloccato da un altro utente")));
    // No empty picker was shown as if there were no service.
    EXPECT_TRUE(m_dialogs.requests(ui::DialogKind::Modal).isEmpty());
}
