#include "ReportTestSupport.h"

#include "platform/core/Error.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

#include <QTemporaryDir>

namespace report::test {
namespace {

// A client list read by the report's data control, grouped by initial letter
// in its fetch handler from the data control's current row.
class BoundReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("qelvo.mdb"));
        db::Connection::createDatabase(path);
        connectionString = db::Connection::connectionStringFor(path);
        db::Connection c;
        c.open(connectionString);
        c.execute(QStringLiteral("CREATE TABLE CliFor (cliId COUNTER, cliNome TEXT(50), cliImporto CURRENCY)"));
        for (const char* row : {"'Bruno', 10.5", "'Alfa', 1.25", "'Carla', 3", "'Amici', 100"})
            c.execute(QStringLiteral("INSERT INTO CliFor (cliNome, cliImporto) VALUES (%1)").arg(QString::fromLatin1(row)));
        c.close();

        ReportLayout layout = ReportLayout::standard();
        auto& header = layout.addGroup(QStringLiteral("ghOrderGroup"), QStringLiteral("GroupFooter1"), {}, 285, 0);
        header.addControl(ControlKind::Label, QStringLiteral("lblLetter"));
        auto& detail = layout.section(QStringLiteral("Detail"));
        detail.addControl(ControlKind::Field, QStringLiteral("txtcliNome")).dataField = QStringLiteral("cliNome");
        auto& total = layout.addSection(SectionKind::ReportFooter, QStringLiteral("ReportFooter"), 285)
                          .addControl(ControlKind::Field, QStringLiteral("txtTotale"));
        total.dataField = QStringLiteral("cliImporto");
        total.summaryType = SummaryType::GrandTotal;
        total.outputFormat = QStringLiteral("#,##0.00");
        report.setLayout(layout);
        report.dataControl().setConnectionString(connectionString);
        report.dataControl().setSource(QStringLiteral("SELECT cliNome, cliImporto FROM CliFor ORDER BY cliNome"));
        report.setFetchData([](Report& r, bool& eof) {
            if (eof)
                return;
            const QString initial = r.dataControl().recordset().value(QStringLiteral("cliNome")).toString().left(1);
            r.setGroupValue(QStringLiteral("ghOrderGroup"), initial);
            r.control(QStringLiteral("lblLetter")).caption = initial;
        });
    }

    QStringList texts(const QString& controlName) const
    {
        QStringList out;
        for (const auto& page : report.pages().pages)
            for (const auto& item : page.items)
                if (item.controlName == controlName)
                    out << item.text;
        return out;
    }

    QTemporaryDir dir;
    QString connectionString;
    Report report;
};

TEST_F(BoundReport, RowsComeFromTheSqlOfTheDataControl)
{
    report.run();
    EXPECT_EQ(texts(QStringLiteral("txtcliNome")), (QStringList{"Alfa", "Amici", "Bruno", "Carla"}));
    EXPECT_EQ(texts(QStringLiteral("lblLetter")), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(texts(QStringLiteral("txtTotale")), QStringList{"114,75"});
    // The fields were made from the columns.
    EXPECT_TRUE(report.fields().contains(QStringLiteral("cliImporto")));
    EXPECT_FALSE(report.dataControl().isOpen());
}

TEST_F(BoundReport, ACopyOpensRowsOfItsOwn)
{
    Report copy = report;
    report.run();
    copy.run();
    EXPECT_EQ(copy.pages().count(), report.pages().count());
    EXPECT_EQ(copy.dataControl().source(), report.dataControl().source());
}

TEST_F(BoundReport, AFailingQueryReachesTheCallerWithTheLayoutIntact)
{
    const QByteArray before = report.saveLayout();
    report.dataControl().setSource(QStringLiteral("SELECT * FROM TabellaCheNonEsiste"));
    EXPECT_THROW(report.run(), core::Error);
    EXPECT_FALSE(report.isRunning());
    EXPECT_FALSE(report.hasRun());
    EXPECT_EQ(report.saveLayout(), before);
}

} // namespace
} // namespace report::test
