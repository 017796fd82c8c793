// The view node and its sub-filters.
#include "mainwindow/cNodo.h"

#include "platform/core/Error.h"

#include <gtest/gtest.h>

TEST(ViewNode, ANewNodeHasEmptyTextsGridBitsAndAnEmptyCollection)
{
    cNodo n;
    EXPECT_EQ(n.mnuGridEnable(), 123);
    EXPECT_TRUE(n.Codice().isEmpty());
    EXPECT_TRUE(n.SqlString().isEmpty());
    ASSERT_NE(n.SubNodi(), nullptr);
    EXPECT_EQ(n.SubNodi()->Count(), 0);
    EXPECT_EQ(n.SubNodi(), n.SubNodi());
}

TEST(ViewNode, SubFiltersByPositionAndKey)
{
    cSubNodi s;
    s.Add(QStringLiteral("a"), QStringLiteral("Aperte"), QStringLiteral("x=1"), QStringLiteral("k1"));
    s.Add(QStringLiteral("b"), QStringLiteral("Senza chiave"), QStringLiteral("x=2"));
    EXPECT_EQ(s.Count(), 2);
    EXPECT_EQ(s.Item(2)->Descrizione(), QStringLiteral("Senza chiave"));
    EXPECT_EQ(s.Item(QStringLiteral("K1"))->SqlString(), QStringLiteral("x=1"));

    try {
        s.Add(QStringLiteral("c"), QStringLiteral("Doppia"), QString(), QStringLiteral("k1"));
        FAIL() << "a duplicate key was accepted";
    } catch (const core::Error& e) {
        EXPECT_EQ(e.number(), 457);
    }
    EXPECT_EQ(s.Count(), 2);
    EXPECT_THROW(s.Item(3), core::Error);
    EXPECT_THROW(s.Item(QStringLiteral("nessuna")), core::Error);

    s.Remove(QStringLiteral("k1"));
    ASSERT_EQ(s.Count(), 1);
    int visti = 0;
    for (const auto& item : s) {
        EXPECT_EQ(item->Chiave(), QStringLiteral("b"));
        ++visti;
    }
    EXPECT_EQ(visti, 1);
}
