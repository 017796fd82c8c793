#include "common/comDateLib.h"

#include <gtest/gtest.h>

namespace {

TEST(YearEnds, AnyDayOfTheYear)
{
    for (const QDate& day : {QDate(2024, 1, 1), QDate(2024, 2, 29), QDate(2024, 12, 31)}) {
        EXPECT_EQ(FineAnnoPrecedente(day), QDate(2023, 12, 31));
        EXPECT_EQ(FineAnno(day), QDate(2024, 12, 31));
    }
    EXPECT_FALSE(FineAnno(QDate()).isValid());
}

} // namespace
