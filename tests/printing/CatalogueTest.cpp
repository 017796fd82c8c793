// The field catalogue and the empty print recordset of a new engine.
#include "platform/core/Error.h"
#include "platform/database/Field.h"
#include "printing/finclsTarvix.h"
#include "startup/SharedState.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

TEST(CatalogueTest, HoldsTheSeventySixFieldsInOrderWithLengthsAndGroups)
{
    session().dataConStr.clear(); // creating an engine must not need a database
    finclsTarvix motore;
    const finclsCampi& campi = motore.Campi;
    ASSERT_EQ(campi.Count(), 76);
    EXPECT_EQ(campi.Item(1).Nome(), "Intestazione1");
    EXPECT_EQ(campi.Item(12).Nome(), "Intestazione12");
    EXPECT_EQ(campi.Item(28).Nome(), "CIva1");
    EXPECT_EQ(campi.Item(28).Lunghezza(), 3);
    EXPECT_EQ(campi.Item(32).Nome(), "DescrizioneIva1");
    EXPECT_EQ(campi.Item(63).Nome(), "Netto4");
    EXPECT_EQ(campi.Item(71).Nome(), "Note");
    EXPECT_EQ(campi.Item(71).Lunghezza(), 1024);
    EXPECT_EQ(campi.Item(76).Nome(), "ImportoRiga");
    EXPECT_THROW(campi.Item(0), core::Error);
    EXPECT_THROW(campi.Item(77), core::Error);

    QStringList righe;
    int posizione = 0;
    for (const finclsCampo& c : campi) {
        ++posizione;
        EXPECT_EQ(c.Nome(), campi.Item(posizione).Nome());
        if (c.Sezione() == 1)
            righe << c.Nome();
    }
    EXPECT_EQ(righe, QStringList({"Quantita", "Descrizione", "ImportoUnitario", "CodIVA", "ImportoRiga"}));
}

TEST(CatalogueTest, PrintRecordsetHasFatIdThenOneTextColumnPerEntry)
{
    finclsTarvix motore;
    db::Recordset& rs = motore.rsStampa;
    ASSERT_FALSE(rs.isOpen());
    rs.openFabricated();
    ASSERT_EQ(rs.fieldCount(), 77);
    EXPECT_EQ(rs.field(0).name(), "fatId");
    EXPECT_EQ(rs.field(0).type(), db::DataType::Integer);
    for (int i = 1; i <= 76; ++i) {
        EXPECT_EQ(rs.field(i).name(), motore.Campi.Item(i).Nome());
        EXPECT_EQ(rs.field(i).definedSize(), motore.Campi.Item(i).Lunghezza()) << i;
    }
    // The lengths are metadata: a longer text is kept whole.
    rs.addNew();
    const QString lunga(300, QLatin1Char('x'));
    rs.setValue(QStringLiteral("Intestazione1"), lunga);
    rs.update();
    EXPECT_EQ(rs.value(QStringLiteral("Intestazione1")).toString(), lunga);
}

} // namespace
