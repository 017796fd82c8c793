#include "platform/registry/RegistryStore.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace reg;

namespace {

class RegistryStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("registry.json")); }
    Store store{path()};

    QStringList damagedCopies() const
    {
        return QDir(dir.path()).entryList({QStringLiteral("registry.json.damaged-*")}, QDir::Files);
    }
};

TEST_F(RegistryStoreTest, ValuesKeepTypeAndBytesAcrossInstances)
{
    ASSERT_EQ(store.createKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Vantrel\\Corvessa\\Settings")),
              Status::Success);
    const QByteArray bytes("\x01\x00\xff\x7f", 4);
    ASSERT_EQ(store.setValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Vantrel\\Corvessa\\Settings"),
                             QStringLiteral("blob"), REG_BINARY, bytes),
              Status::Success);

    // A second store on the same file sees the write: nothing is cached.
    const Store other(path());
    ValueData read;
    ASSERT_EQ(other.queryValue(HKEY_CURRENT_USER, QStringLiteral("software\\VANTREL\\corvessa\\settings"),
                               QStringLiteral("BLOB"), &read),
              Status::Success);
    EXPECT_EQ(read.type, REG_BINARY);
    EXPECT_EQ(read.bytes, bytes);
    // The store's folder is made on first write.
    Store nested(dir.filePath(QStringLiteral("new/folder/registry.json")));
    EXPECT_EQ(nested.createKey(HKEY_CURRENT_USER, QStringLiteral("A")), Status::Success);
    EXPECT_TRUE(nested.keyExists(HKEY_CURRENT_USER, QStringLiteral("a")));
    // Same path under another hive is another key.
    EXPECT_FALSE(other.keyExists(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Vantrel")));
}

TEST_F(RegistryStoreTest, NamesCompareCaselessButKeepFirstSpelling)
{
    store.createKey(HKEY_CURRENT_USER, QStringLiteral("Software\\MyApp"));
    store.createKey(HKEY_CURRENT_USER, QStringLiteral("SOFTWARE\\myapp\\Sub"));
    store.setValue(HKEY_CURRENT_USER, QStringLiteral("Software\\MyApp"), QStringLiteral("Name"), REG_SZ, "a");
    store.setValue(HKEY_CURRENT_USER, QStringLiteral("software\\myapp"), QStringLiteral("NAME"), REG_SZ, "b");

    QStringList keys, values;
    ASSERT_EQ(store.enumerateSubkeys(HKEY_CURRENT_USER, QString(), &keys), Status::Success);
    EXPECT_EQ(keys, QStringList{QStringLiteral("Software")});
    ASSERT_EQ(store.enumerateSubkeys(HKEY_CURRENT_USER, QStringLiteral("Software"), &keys), Status::Success);
    EXPECT_EQ(keys, QStringList{QStringLiteral("MyApp")});
    ASSERT_EQ(store.enumerateValues(HKEY_CURRENT_USER, QStringLiteral("Software\\MyApp"), &values), Status::Success);
    EXPECT_EQ(values, QStringList{QStringLiteral("Name")});
    ValueData read;
    store.queryValue(HKEY_CURRENT_USER, QStringLiteral("Software\\MyApp"), QStringLiteral("name"), &read);
    EXPECT_EQ(read.bytes, QByteArray("b"));
}

TEST_F(RegistryStoreTest, MissingKeysAndValuesAndBadHives)
{
    ValueData read;
    EXPECT_EQ(store.queryValue(HKEY_CURRENT_USER, QStringLiteral("Nope"), QStringLiteral("x"), &read),
              Status::NotFound);
    // Values need an existing key.
    EXPECT_EQ(store.setValue(HKEY_CURRENT_USER, QStringLiteral("Nope"), QStringLiteral("x"), REG_SZ, "a"),
              Status::NotFound);
    EXPECT_EQ(store.createKey(0, QStringLiteral("A")), Status::InvalidHive);
    EXPECT_EQ(store.createKey(static_cast<std::int32_t>(0x80000007u), QStringLiteral("A")), Status::InvalidHive);
    EXPECT_TRUE(store.keyExists(HKEY_USERS, QString())); // a hive always exists
    EXPECT_FALSE(QFile::exists(path()));                 // and nothing was written for it
    EXPECT_EQ(store.deleteValue(HKEY_CURRENT_USER, QStringLiteral("Nope"), QStringLiteral("x")), Status::NotFound);
}

TEST_F(RegistryStoreTest, DeleteKeyRefusesKeysWithSubkeys)
{
    store.createKey(HKEY_CURRENT_USER, QStringLiteral("A\\B"));
    EXPECT_EQ(store.deleteKey(HKEY_CURRENT_USER, QStringLiteral("A")), Status::HasSubkeys);
    EXPECT_EQ(store.deleteKey(HKEY_CURRENT_USER, QStringLiteral("a\\b")), Status::Success);
    EXPECT_EQ(store.deleteKey(HKEY_CURRENT_USER, QStringLiteral("A")), Status::Success);
    EXPECT_FALSE(store.keyExists(HKEY_CURRENT_USER, QStringLiteral("A")));
    EXPECT_EQ(store.deleteKey(HKEY_CURRENT_USER, QStringLiteral("A")), Status::NotFound);
    EXPECT_EQ(store.deleteKey(HKEY_CURRENT_USER, QString()), Status::NotFound);
}

TEST_F(RegistryStoreTest, DamagedFileReadsEmptyAndIsKeptAsideOnWrite)
{
    const QByteArray garbage("{\"format\": \"corvessa-registry\", \"hives\": [ trunc");
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(garbage);
    }
    EXPECT_FALSE(store.keyExists(HKEY_CURRENT_USER, QStringLiteral("Software")));
    ValueData read;
    EXPECT_EQ(store.queryValue(HKEY_CURRENT_USER, QString(), QString(), &read), Status::NotFound);
    // A write that changes nothing leaves the damaged file where it is.
    EXPECT_EQ(store.deleteValue(HKEY_CURRENT_USER, QString(), QStringLiteral("x")), Status::NotFound);
    EXPECT_TRUE(damagedCopies().isEmpty());

    ASSERT_EQ(store.createKey(HKEY_CURRENT_USER, QStringLiteral("Software")), Status::Success);
    const QStringList copies = damagedCopies();
    ASSERT_EQ(copies.size(), 1);
    QFile kept(dir.filePath(copies.first()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), garbage);
    EXPECT_TRUE(store.keyExists(HKEY_CURRENT_USER, QStringLiteral("Software")));
}

TEST_F(RegistryStoreTest, WrongShapeCountsAsDamaged)
{
    // Valid JSON that is not a registry file is not taken for one.
    for (const QByteArray& content : {QByteArray("[1,2,3]"), QByteArray("{\"format\":\"other\"}"),
                                      QByteArray("{\"format\":\"corvessa-registry\",\"version\":1,\"hives\":"
                                                 "[{\"hive\":\"0x80000001\",\"key\":{\"name\":1}}]}")}) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        EXPECT_FALSE(store.keyExists(HKEY_CURRENT_USER, QStringLiteral("x"))) << content.constData();
        EXPECT_TRUE(store.keyExists(HKEY_CURRENT_USER, QString()));
    }
}

TEST_F(RegistryStoreTest, TwoProgramsWritingAtOnceLoseNothing)
{
    store.createKey(HKEY_CURRENT_USER, QStringLiteral("Shared"));
    constexpr int kWrites = 40;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    const QString prefix = child == 0 ? QStringLiteral("child") : QStringLiteral("parent");
    bool allOk = true;
    for (int i = 0; i < kWrites; ++i) {
        Store own(path());
        allOk &= own.setValue(HKEY_CURRENT_USER, QStringLiteral("Shared"), prefix + QString::number(i), REG_DWORD,
                              QByteArray(4, char(i))) == Status::Success;
    }
    if (child == 0)
        _exit(allOk ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(allOk);

    QStringList names;
    store.enumerateValues(HKEY_CURRENT_USER, QStringLiteral("Shared"), &names);
    EXPECT_EQ(names.size(), 2 * kWrites);
    // The file on disk is always whole.
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(QJsonDocument::fromJson(f.readAll()).isNull());
}

TEST_F(RegistryStoreTest, AProgramKilledWhileWritingLeavesAWholeFileAndNothingInTheWay)
{
    ASSERT_EQ(store.createKey(HKEY_CURRENT_USER, QStringLiteral("Shared")), Status::Success);
    for (int round = 0; round < 10; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Store own(path());
            for (int i = 0;; ++i)
                own.setValue(HKEY_CURRENT_USER, QStringLiteral("Shared"), QStringLiteral("v%1").arg(i % 50), REG_DWORD, QByteArray(4, char(i)));
        }
        usleep(static_cast<useconds_t>(2000 + 1500 * round));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    // A save its temporary file could not keep nameless, cut by the kill, and a
    // whole copy someone keeps under a name of the same shape.
    const QString cut = path() + QStringLiteral(".KqWzPt");
    const QString copy = path() + QStringLiteral(".backup");
    {
        QFile f(cut);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{\n    \"format\": \"corvessa-registry\",\n    \"hi");
    }
    {
        QFile original(path());
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        QFile f(copy);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(original.readAll());
    }
    const QDateTime longAgo = QDateTime::currentDateTime().addSecs(-3600);
    for (const QString& file : {cut, copy}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(longAgo, QFileDevice::FileModificationTime));
    }
    // What a kill leaves when it comes between making a lock file and writing
    // its owner in it, the lock's own guard included; seconds old, so the lock
    // itself would not call them stale for a while yet.
    for (const QString& file : {path() + QStringLiteral(".lock"), path() + QStringLiteral(".lock.rmlock")}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-10), QFileDevice::FileModificationTime));
    }

    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(store.setValue(HKEY_CURRENT_USER, QStringLiteral("Shared"), QStringLiteral("after"), REG_DWORD, QByteArray(4, 'x')),
              Status::Success);
    EXPECT_LT(timer.elapsed(), 5000) << "a lock left by a killed program does not hold the write";
    ValueData read;
    EXPECT_EQ(store.queryValue(HKEY_CURRENT_USER, QStringLiteral("Shared"), QStringLiteral("after"), &read), Status::Success);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("registry.json"), QStringLiteral("registry.json.backup")}));
}

TEST(RegistryStorePath, SettableAndRemoteUnavailable)
{
    Store::setFilePath(QStringLiteral("/tmp/somewhere/reg.json"));
    EXPECT_EQ(Store::filePath(), QStringLiteral("/tmp/somewhere/reg.json"));
    EXPECT_EQ(Store().path(), QStringLiteral("/tmp/somewhere/reg.json"));
    Store::setFilePath(QString());
    qputenv("CORVESSA_REGISTRY_FILE", "/tmp/env/reg.json");
    EXPECT_EQ(Store::filePath(), QStringLiteral("/tmp/env/reg.json"));
    qunsetenv("CORVESSA_REGISTRY_FILE");
    EXPECT_TRUE(Store::filePath().endsWith(QStringLiteral("/registry.json")));

    EXPECT_EQ(Store::connectMachine(QString()), Status::Success);
    EXPECT_EQ(Store::connectMachine(QStringLiteral("\\\\server")), Status::NotAvailable);
}

} // namespace
