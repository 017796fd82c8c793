// A new document's blank row and the settings that remember it, whatever the
// moment the program is killed while creating it.
#include "domain/NewDocument.h"
#include "platform/database/Recordset.h"
#include "startup/DocumentoNuovo.h"
#include "startup/SharedState.h"
#include "support/DatabaseFile.h"
#include "support/ProgramFixture.h"

#include <QDate>
#include <memory>

namespace {

struct Killed {};

class DocumentoNuovoTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        useUpgradedDatabase();
    }
    static NewDocument blank()
    {
        NewDocument d;
        d.sezId = 1;
        d.date = QDate(2024, 3, 5);
        d.provisionalNumber = 1;
        return d;
    }
    static int rows(const QString& sql)
    {
        db::Recordset rs;
        rs.open(sql, session().dataConStr, db::CursorType::Static, db::LockType::ReadOnly);
        return rs.recordCount();
    }
};

} // namespace

TEST_F(DocumentoNuovoTest, AKillAtAnyMomentOfTheCreationLeavesNoBlankRowAfterTheNextStart)
{
    const QString path = session().cartellaDb + QStringLiteral("/qelvo.mdb");
    std::unique_ptr<WriteRefusal> refusal;
    struct Case {
        const char* moment;
        std::function<void(std::int32_t)> remember; // what the program did before the kill
        bool completes;                             // the creation got to its end
    };
    const Case cases[] = {
        {"while remembering the id", [](std::int32_t) { throw Killed(); }, false},
        {"after remembering, before the row was written",
         [&](std::int32_t id) {
             RicordaDocumentoNuovo(id);
             refusal = std::make_unique<WriteRefusal>(path, QStringLiteral("INSERT"), QStringLiteral("Fatture"));
         },
         false},
        {"after the row was written", [](std::int32_t id) { RicordaDocumentoNuovo(id); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moment);
        std::int32_t killed = 0;
        const auto remember = [&](std::int32_t id) {
            killed = id;
            c.remember(id);
        };
        if (c.completes)
            EXPECT_EQ(createNewDocument(session().dataConStr, blank(), remember), killed);
        else
            EXPECT_ANY_THROW(createNewDocument(session().dataConStr, blank(), remember));
        refusal.reset();
        ASSERT_GT(killed, 0);

        // Another machine opens a new document of its own meanwhile, and keeps it open.
        const std::int32_t other = createNewDocument(session().dataConStr, blank());
        EXPECT_NE(other, killed) << "an id remembered here is never given to another document";

        EliminaDocumentoNuovoRimasto();
        EXPECT_EQ(rows(QStringLiteral("SELECT * FROM Fatture WHERE fatId=%1").arg(killed)), 0);
        EXPECT_EQ(rows(QStringLiteral("SELECT * FROM Fatture WHERE fatId=%1").arg(other)), 1);
        EXPECT_EQ(DocumentoNuovoRicordato(), 0);
        exec(QStringLiteral("DELETE * FROM Fatture"));
    }
}
