#include "DomainFixture.h"

#include "domain/PasswordHash.h"
#include "domain/SectionPasswords.h"

namespace {

const QString kPassword = QStringLiteral("Segreta è mia");

} // namespace

TEST(PasswordHashTest, AHashHoldsNoPasswordAndOpensOnlyWithTheSameText)
{
    const QString hash = hashPassword(kPassword);
    EXPECT_TRUE(hash.startsWith(QStringLiteral("$argon2id$"))) << hash.toStdString();
    EXPECT_FALSE(hash.contains(QStringLiteral("Segreta")));
    EXPECT_LE(hash.size(), 255);
    EXPECT_TRUE(isPasswordHash(hash));
    // A salt of its own every time: two professionals with one password store different texts.
    EXPECT_NE(hashPassword(kPassword), hash);

    struct Case {
        QString typed;
        bool opens;
    };
    const Case cases[] = {
        {kPassword, true},
        {QStringLiteral("segreta è mia"), false},
        {kPassword + QLatin1Char(' '), false},
        {QString(), false},
        {hash, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(verifyPasswordHash(hash, c.typed), c.opens) << c.typed.toStdString();
    // A plain value is never taken for a hash.
    EXPECT_FALSE(isPasswordHash(kPassword));
    EXPECT_FALSE(verifyPasswordHash(kPassword, kPassword));
}

class SectionPasswordsTest : public DomainFixture {
protected:
    void setStored(const core::Variant& stored)
    {
        exec(QStringLiteral("UPDATE Sezioni SET sezPass=") + (stored.isNull() ? QStringLiteral("Null") : QLatin1Char('\'') + stored.toString() + QLatin1Char('\''))
             + QStringLiteral(" WHERE sezId=1"));
    }
    QString stored() { return scalar(QStringLiteral("SELECT sezPass FROM Sezioni WHERE sezId=1")).toString(); }
};

TEST_F(SectionPasswordsTest, LoginAcceptsWhatTheStoredValueAsksFor)
{
    const QString hash = hashPassword(QStringLiteral("Segreta"));
    struct Case {
        const char* name;
        core::Variant stored;
        QString typed;
        bool accepted;
    };
    const Case cases[] = {
        {"no password, empty box", core::Variant::null(), QString(), true},
        {"no password, something typed", core::Variant::null(), QStringLiteral("x"), false},
        {"empty password, empty box", core::Variant(QString()), QString(), true},
        {"hash, right password", core::Variant(hash), QStringLiteral("Segreta"), true},
        {"hash, other case", core::Variant(hash), QStringLiteral("segreta"), false},
        {"hash, the hash itself typed", core::Variant(hash), hash, false},
        {"hash, empty box", core::Variant(hash), QString(), false},
        {"plain, right password", core::Variant(QStringLiteral("Segreta")), QStringLiteral("Segreta"), true},
        {"plain, other case", core::Variant(QStringLiteral("Segreta")), QStringLiteral("segreta"), false},
    };
    for (const Case& c : cases) {
        setStored(c.stored);
        EXPECT_EQ(checkSectionPassword(m_cs, 1, c.typed), c.accepted) << c.name;
    }
    EXPECT_FALSE(checkSectionPassword(m_cs, 99, QString())) << "an unknown section opens";
}

TEST_F(SectionPasswordsTest, APlainPasswordIsRewrittenHashedOnceTypedRight)
{
    setStored(core::Variant(QStringLiteral("Segreta")));
    EXPECT_FALSE(checkSectionPassword(m_cs, 1, QStringLiteral("sbagliata")));
    EXPECT_EQ(stored(), QStringLiteral("Segreta")) << "a wrong try rewrote the value";

    EXPECT_TRUE(checkSectionPassword(m_cs, 1, QStringLiteral("Segreta")));
    EXPECT_TRUE(isPasswordHash(stored()));
    EXPECT_TRUE(verifyPasswordHash(stored(), QStringLiteral("Segreta")));
    // And the next login goes through the hash.
    EXPECT_TRUE(checkSectionPassword(m_cs, 1, QStringLiteral("Segreta")));
    EXPECT_FALSE(checkSectionPassword(m_cs, 1, QStringLiteral("segreta")));
}

TEST_F(SectionPasswordsTest, StartUpHashesEveryPlainPasswordLeft)
{
    const QString hash = hashPassword(QStringLiteral("Terza"));
    exec(QStringLiteral("UPDATE Sezioni SET sezPass='Prima' WHERE sezId=1"));
    exec(QStringLiteral("INSERT INTO Sezioni (sezNome, sezPass) VALUES ('Due', Null)"));
    exec(QStringLiteral("INSERT INTO Sezioni (sezNome, sezPass) VALUES ('Tre', '") + hash + QStringLiteral("')"));
    exec(QStringLiteral("INSERT INTO Sezioni (sezNome, sezPass) VALUES ('Quattro', '')"));

    EXPECT_EQ(hashPlainPasswords(m_cs), 1);
    EXPECT_TRUE(verifyPasswordHash(stored(), QStringLiteral("Prima")));
    EXPECT_TRUE(scalar(QStringLiteral("SELECT sezPass FROM Sezioni WHERE sezNome='Due'")).isNull());
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezPass FROM Sezioni WHERE sezNome='Tre'")).toString(), hash);
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezPass FROM Sezioni WHERE sezNome='Quattro'")).toString(), QString());
    EXPECT_EQ(hashPlainPasswords(m_cs), 0);
}
