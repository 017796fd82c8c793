#include "../QtPrinters.h"
#include "platform/database/Types.h"
#include "platform/database/jet/JetSql.h"

#include <QHash>
#include <gtest/gtest.h>

using core::Currency;
using core::Variant;
using db::jet::Criteria;

namespace {

class Row : public db::jet::RowValues {
public:
    std::optional<Variant> value(const QString& column) const override
    {
        const auto it = values.find(column.toLower());
        if (it == values.end())
            return std::nullopt;
        return *it;
    }
    QHash<QString, Variant> values;
};

Row sampleRow()
{
    Row r;
    r.values.insert(QStringLiteral("fdtcodiceiva"), Variant("22"));
    r.values.insert(QStringLiteral("fdtdescrizione"), Variant("Consulenza Società"));
    r.values.insert(QStringLiteral("fdttotriga"), Variant(Currency::fromRaw(1001000))); // 100.10
    r.values.insert(QStringLiteral("fdtquanti"), Variant(2.5));
    r.values.insert(QStringLiteral("fdtriga"), Variant(std::int32_t(3)));
    r.values.insert(QStringLiteral("fdtdata"), Variant(QDateTime(QDate(2024, 3, 5), QTime(10, 0))));
    r.values.insert(QStringLiteral("fdtum"), Variant::null());
    r.values.insert(QStringLiteral("fatpagata"), Variant(true));
    return r;
}

TEST(Criteria, CasesOnOneRow)
{
    struct Case {
        const char* criteria;
        bool expected;
    };
    const Case cases[] = {
        {"fdtCodiceIVA='22'", true},
        {"fdtCodiceIVA='10'", false},
        {"[fdtCodiceIVA] = '22'", true},
        {"fdtDescrizione = 'consulenza SOCIETÀ'", true}, // case does not matter, beyond ASCII too
        {"fdtDescrizione LIKE 'cons*'", true},
        {"fdtDescrizione LIKE '%società'", true},
        {"fdtDescrizione LIKE '*x*'", false},
        {"fdtDescrizione NOT LIKE '*x*'", true},
        {"fdtDescrizione > 'A' AND fdtDescrizione < 'D'", true},
        {"fdtTotRiga = 100.1", true},
        {"fdtTotRiga = 100.10", true},
        {"fdtTotRiga > 100.0999", true},
        {"fdtTotRiga >= 100.1001", false},
        {"fdtQuanti = 2.5", true},
        {"fdtQuanti <> 2.5", false},
        {"fdtRiga < 10", true},
        {"fdtRiga = -3", false},
        {"fdtData > #03/05/2024#", true},
        {"fdtData < #03/06/2024#", true},
        {"fdtData = #03/05/2024 10:00#", true},
        {"fdtUM = Null", true},
        {"fdtUM Is Null", true},
        {"fdtUM Is Not Null", false},
        {"fdtCodiceIVA <> Null", true},
        {"fdtUM = 'x'", false},
        {"fdtUM <> 'x'", false}, // Null compares to nothing
        {"fatPagata = True", true},
        {"fdtCodiceIVA='10' OR fdtCodiceIVA='22'", true},
        {"(fdtCodiceIVA='10' OR fdtCodiceIVA='22') AND fdtRiga = 4", false},
        {"fdtCodiceIVA='10' OR fdtCodiceIVA='22' AND fdtRiga = 4", false},
        {"NOT fdtCodiceIVA='10'", true},
    };
    const Row row = sampleRow();
    for (const auto& c : cases) {
        try {
            EXPECT_EQ(Criteria::parse(QString::fromUtf8(c.criteria)).matches(row), c.expected) << c.criteria;
        } catch (const std::exception& e) {
            ADD_FAILURE() << c.criteria << ": " << e.what();
        }
    }
}

TEST(Criteria, ColumnsAndErrors)
{
    const Criteria c = Criteria::parse(QStringLiteral("(a = 1 OR [b c] Like 'x*') AND a <> 2"));
    EXPECT_EQ(c.columns(), (QStringList{QStringLiteral("a"), QStringLiteral("b c")}));

    for (const char* bad : {"a =", "a = 'x", "= 1", "a = 1 AND", "(a = 1", "a ~ 1", "a = #99/99/2024#"}) {
        try {
            Criteria::parse(QString::fromLatin1(bad));
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.kind(), db::ErrorKind::Syntax) << bad;
        }
    }
    // A column the row does not have is an error, not a silent mismatch.
    EXPECT_THROW(Criteria::parse(QStringLiteral("nosuch = 1")).matches(sampleRow()), db::DbError);
}

} // namespace
