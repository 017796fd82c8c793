#include "LayoutsFixture.h"

#include "layouts/finfrmRepRels.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "platform/grid/GridModel.h"

#include <QPushButton>
#include <QTableView>

namespace {

class AssignmentTest : public LayoutsFixture {
protected:
    void SetUp() override
    {
        LayoutsFixture::SetUp();
        exec(QStringLiteral("INSERT INTO finData (finNome, finLay) SELECT 'A mio modello', finLay FROM finData WHERE finId=1"));
        // Section 2's rows were made out of kind order; section 3 has none.
        exec(QStringLiteral("INSERT INTO finRel (sezId, fnrfinId, fnrDocType) VALUES (2, 3, 2)"));
        exec(QStringLiteral("INSERT INTO finRel (sezId, fnrfinId, fnrDocType) VALUES (2, 1, 0)"));
    }
    static grid::GridEx* gex(QWidget* f) { return child<grid::GridEx>(f, QStringLiteral("gex")); }
    static QPushButton* button(QWidget* f, const char* name) { return child<QPushButton>(f, QString::fromLatin1(name)); }
    static long layoutOf(int sezId, int kind)
    {
        return scalar(QStringLiteral("SELECT fnrfinId FROM finRel WHERE sezId=%1 AND fnrDocType=%2").arg(sezId).arg(kind)).toLong();
    }
};

} // namespace

TEST_F(AssignmentTest, ShowsTheSectionsRowsOneKindEachWithTheirLayoutByName)
{
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(f->windowTitle(), QStringLiteral(" Associazione Modelli di Stampa"));
        grid::GridEx* g = gex(f);
        ASSERT_EQ(g->rowCount(), 3);
        const int modello = g->columnIndex(QStringLiteral("fnrfinId"));
        const int tipo = g->columnIndex(QStringLiteral("fnrDocType"));
        EXPECT_FALSE(g->column(QStringLiteral("sezId")).visible());
        EXPECT_FALSE(g->column(QStringLiteral("fnrId")).visible());
        EXPECT_EQ(g->column(modello).caption(), QStringLiteral("Modello"));
        EXPECT_EQ(g->column(tipo).caption(), QStringLiteral("Tipo documento"));
        const QStringList kinds{QStringLiteral("Fattura"), QStringLiteral("Nota di Credito"), QStringLiteral("Pro Forma")};
        const QStringList names{QStringLiteral("Modello fattura"), QStringLiteral("Modello nota di credito"),
                                QStringLiteral("Modello pro forma")};
        for (int r = 1; r <= 3; ++r) {
            EXPECT_EQ(g->cellText(r, tipo), kinds[r - 1]);
            EXPECT_EQ(g->cellText(r, modello), names[r - 1]);
        }
        // The kind of a row cannot change, and no row can be added or deleted.
        const QModelIndex cella = g->view()->model()->index(0, tipo - 1);
        EXPECT_FALSE(g->view()->model()->flags(cella) & Qt::ItemIsEditable);
        EXPECT_TRUE(g->view()->model()->flags(g->view()->model()->index(0, modello - 1)) & Qt::ItemIsEditable);
        EXPECT_FALSE(g->allowAddNew());
        EXPECT_FALSE(g->allowDelete());
        EXPECT_FALSE(g->isNewRowLine(4));
        // The layouts to choose from come by name.
        grid::GridEx* lista = child<grid::GridEx>(f, QStringLiteral("gexmod"));
        ASSERT_EQ(lista->rowCount(), 4);
        EXPECT_EQ(lista->cellText(1, 2), QStringLiteral("A mio modello"));
        EXPECT_EQ(lista->cellText(4, 2), QStringLiteral("Modello pro forma"));
        click(button(f, "cmdCancel"));
    });
    finfrmRepRels::Apri(1);

    // Another professional's rows, in the order they were made; none for a third.
    m_dialogs.answerModal([](QWidget* f) {
        grid::GridEx* g = gex(f);
        ASSERT_EQ(g->rowCount(), 2);
        EXPECT_EQ(g->cellText(1, g->columnIndex(QStringLiteral("fnrDocType"))), QStringLiteral("Pro Forma"));
        EXPECT_EQ(g->cellText(2, g->columnIndex(QStringLiteral("fnrDocType"))), QStringLiteral("Fattura"));
        click(button(f, "cmdCancel"));
    });
    finfrmRepRels::Apri(2);
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(gex(f)->rowCount(), 0);
        click(button(f, "cmdCancel"));
    });
    finfrmRepRels::Apri(3);
    settle();
    EXPECT_FALSE(finfrmRepRels::exists()) << "unloaded by its buttons";
}

TEST_F(AssignmentTest, SalvaWritesTheChosenLayoutAndAnnullaDropsTheRowBeingEdited)
{
    const long nuovo = scalar(QStringLiteral("SELECT finId FROM finData WHERE finNome='A mio modello'")).toLong();
    m_dialogs.answerModal([nuovo](QWidget* f) {
        grid::GridEx* g = gex(f);
        g->setRow(1);
        g->setValue(QStringLiteral("fnrfinId"), core::Variant(static_cast<std::int32_t>(nuovo)));
        EXPECT_EQ(g->cellText(1, g->columnIndex(QStringLiteral("fnrfinId"))), QStringLiteral("A mio modello"));
        click(button(f, "cmdCancel"));
    });
    finfrmRepRels::Apri(1);
    EXPECT_EQ(layoutOf(1, 0), 1);

    m_dialogs.answerModal([nuovo](QWidget* f) {
        grid::GridEx* g = gex(f);
        // The row committed by moving on stays, whatever the next button.
        g->setRow(2);
        g->setValue(QStringLiteral("fnrfinId"), core::Variant(static_cast<std::int32_t>(nuovo)));
        g->setRow(1);
        g->setValue(QStringLiteral("fnrfinId"), core::Variant(static_cast<std::int32_t>(nuovo)));
        click(button(f, "cmdSave"));
        EXPECT_FALSE(f->isVisible());
    });
    finfrmRepRels::Apri(1);
    EXPECT_EQ(layoutOf(1, 0), nuovo);
    EXPECT_EQ(layoutOf(1, 1), nuovo);
    EXPECT_EQ(layoutOf(1, 2), 3);
    EXPECT_EQ(layoutOf(2, 0), 1) << "another professional's rows are untouched";
}

TEST_F(AssignmentTest, ALayoutTypedWithCapitalsInTheCellIsTheOneStored)
{
    m_dialogs.answerModal([](QWidget* f) {
        grid::GridEx* g = gex(f);
        f->activateWindow();
        QApplication::setActiveWindow(f);
        g->setRow(1);
        g->setCol(g->columnIndex(QStringLiteral("fnrfinId")));
        g->view()->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        // Shift pressed alone before each capital, as a keyboard does.
        for (const QChar c : QStringLiteral("Modello Pro")) {
            ASSERT_NE(QApplication::focusWidget(), nullptr);
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1(), c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
        }
        click(button(f, "cmdSave"));
    });
    finfrmRepRels::Apri(1);
    EXPECT_EQ(layoutOf(1, 0), 3);
}
