#include "common/comfrmManData.h"
#include "platform/database/Recordset.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/MsgBoxStyle.h"
#include "startup/SharedState.h"
#include "support/ProgramFixture.h"

#include <QComboBox>

class TableBrowserTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        useUpgradedDatabase();
    }
    void TearDown() override
    {
        comfrmManData::Unload();
        ProgramFixture::TearDown();
    }
    static void choose(QWidget* w, const QString& table)
    {
        auto* combo = w->findChild<QComboBox*>(QStringLiteral("cmbTables"));
        const int i = combo->findText(table);
        ASSERT_GE(i, 0) << table.toStdString();
        combo->setCurrentIndex(i);
        Q_EMIT combo->activated(i);
    }
};

TEST_F(TableBrowserTest, ListsTheUserTablesOnly)
{
    exec(QStringLiteral("CREATE TABLE [Note di prova] (id COUNTER, testo TEXT(20))"));
    exec(QStringLiteral("INSERT INTO [Note di prova] (testo) VALUES ('una')"));
    const QStringList tables = comfrmManData::TabelleUtente(DataConStr);
    for (const char* t : {"Sezioni", "SezioniModelli", "SezioniParametri", "CliFor", "Pagamenti", "CodiciIVA", "Prestazioni",
                          "Fatture", "FattureDettaglio", "FattureIva", "Incassi", "Media", "MediaPagamenti", "Fornitori", "Ums",
                          "Enasarco", "finData", "finRel", "Note di prova"})
        EXPECT_TRUE(tables.contains(QString::fromLatin1(t))) << t;
    for (const QString& t : tables)
        EXPECT_FALSE(t.startsWith(QStringLiteral("sqlite_"), Qt::CaseInsensitive)) << t.toStdString();

    // A name with a blank opens through its brackets.
    m_dialogs.answerModal([&](QWidget* w) {
        choose(w, QStringLiteral("Note di prova"));
        auto* grid = w->findChild<grid::GridEx*>(QStringLiteral("gexTable"));
        EXPECT_TRUE(grid->isVisible());
        EXPECT_EQ(grid->rowCount(), 1);
        EXPECT_EQ(grid->cellText(1, 2), QStringLiteral("una"));
    });
    comfrmManData::Mostra(nullptr, DataConStr);
}

TEST_F(TableBrowserTest, AnEditOfARowChangedMeanwhileIsRefused)
{
    m_dialogs.answerModal([&](QWidget* w) {
        choose(w, QStringLiteral("CodiciIVA"));
        auto* grid = w->findChild<grid::GridEx*>(QStringLiteral("gexTable"));
        ASSERT_TRUE(grid->find(grid->columnIndex(QStringLiteral("cdiCodice")), 0, core::Variant(QStringLiteral("22"))));
        exec(QStringLiteral("UPDATE CodiciIVA SET cdiDescrizione='Cambiata altrove' WHERE cdiCodice='22'"));
        grid->setValue(QStringLiteral("cdiDescrizione"), core::Variant(QStringLiteral("Cambiata qui")));
        EXPECT_FALSE(grid->commitRowEdit());
        grid->cancelRowEdit();
    });
    m_dialogs.answerMessageBox(ui::vbOK);
    comfrmManData::Mostra(nullptr, DataConStr);
    EXPECT_EQ(m_dialogs.messages().size(), 1);
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT cdiDescrizione FROM CodiciIVA WHERE cdiCodice='22'"), DataConStr);
    EXPECT_EQ(rs.value(0).toString(), QStringLiteral("Cambiata altrove"));
}
