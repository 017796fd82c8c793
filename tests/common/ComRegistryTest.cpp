#include "common/comRegistry.h"

#include "platform/core/Error.h"
#include "platform/registry/RegistryStore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using core::Variant;
using core::VarType;

namespace {

const QString kKey = QStringLiteral("Software\\Vantrel\\Corvessa\\Settings");
const QString kHkcu = QStringLiteral("-2147483647");

class ComRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        reg::Store::setFilePath(dir.filePath(QStringLiteral("registry.json")));
    }
    void TearDown() override { reg::Store::setFilePath(QString()); }

    static reg::ValueData stored(const QString& name, std::int32_t hive = HKEY_CURRENT_USER,
                                 const QString& key = kKey)
    {
        reg::ValueData data;
        if (reg::Store().queryValue(hive, key, name, &data) != reg::Status::Success)
            data.type = -1; // absent
        return data;
    }
    static void put(const QString& name, std::int32_t type, const QByteArray& bytes)
    {
        reg::Store store;
        store.createKey(HKEY_CURRENT_USER, kKey);
        store.setValue(HKEY_CURRENT_USER, kKey, name, type, bytes);
    }
    // Runs f, expecting a core::Error; returns it.
    template <class F>
    static core::Error caught(F&& f)
    {
        try {
            f();
        } catch (const core::Error& e) {
            return e;
        }
        ADD_FAILURE() << "no error raised";
        return core::Error(0, QString());
    }

    QTemporaryDir dir;
};

TEST_F(ComRegistryTest, MissingValueReadsAsTheDefault)
{
    EXPECT_EQ(LeggiRegistro(HKEY_CURRENT_USER, kKey, REG_SZ, QStringLiteral("appset_curdb"),
                            Variant(QStringLiteral("/home/u/TarvixDB"))),
              Variant(QStringLiteral("/home/u/TarvixDB")));
    EXPECT_EQ(LeggiRegistro(HKEY_CURRENT_USER, kKey, REG_DWORD, QStringLiteral("regCollapseView")).type(),
              VarType::Empty);
    EXPECT_EQ(LeggiRegistro(0, kKey, REG_SZ, QStringLiteral("x"), Variant(1)), Variant(1)); // no such hive
}

TEST_F(ComRegistryTest, TextRoundTripsUnderEitherHiveSpelling)
{
    const QString folder = QStringLiteral("C:\\Università\\D'Amico");
    ScriviRegistro(0x80000001L, kKey, REG_SZ, QStringLiteral("appset_curdb"), folder);
    EXPECT_EQ(LeggiRegistro(HKEY_CURRENT_USER, kKey.toUpper(), REG_SZ, QStringLiteral("APPSET_CURDB")),
              Variant(folder));
    EXPECT_EQ(stored(QStringLiteral("appset_curdb")).bytes, folder.toUtf8() + QByteArray(1, '\0'));
}

TEST_F(ComRegistryTest, TextTypeIsChosenFromThePercentSigns)
{
    struct Case {
        const char* text;
        std::int32_t type;
    };
    const Case cases[] = {
        {"C:\\Dati", REG_SZ},        {"%USERPROFILE%\\Dati", REG_EXPAND_SZ}, {"100%", REG_SZ},
        {"a%%b", REG_SZ},            {"%A%", REG_EXPAND_SZ},                 {"50% e 60%", REG_EXPAND_SZ},
        {"", REG_SZ},
    };
    for (const std::int32_t requested : {REG_SZ, REG_EXPAND_SZ}) {
        for (const Case& c : cases) {
            ScriviRegistro(HKEY_CURRENT_USER, kKey, requested, QStringLiteral("t"), QString::fromUtf8(c.text));
            EXPECT_EQ(stored(QStringLiteral("t")).type, c.type) << c.text;
        }
    }
}

TEST_F(ComRegistryTest, ExpandableTextReadsExpanded)
{
    qputenv("CORVESSA_TEST_FOLDER", "/srv/dati");
    put(QStringLiteral("e"), REG_EXPAND_SZ, QByteArray("%CORVESSA_TEST_FOLDER%/db;%corvessa_test_folder%;%NO_SUCH_VAR_X%;%%") + '\0');
    comRegistry registry;
    registry.setClassKey(HKEY_CURRENT_USER);
    registry.setSectionKey(kKey);
    registry.setValueKey(QStringLiteral("e"));
    registry.setValueType(REG_SZ);
    EXPECT_EQ(registry.Value(), Variant(QStringLiteral("/srv/dati/db;/srv/dati;%NO_SUCH_VAR_X%;%%")));
    EXPECT_EQ(registry.ValueType(), REG_EXPAND_SZ); // the stored type wins
    qunsetenv("CORVESSA_TEST_FOLDER");
}

TEST_F(ComRegistryTest, StoredTypesReadAsTheirKind)
{
    struct Case {
        const char* name;
        std::int32_t type;
        QByteArray bytes;
        Variant expected;
    };
    const Case cases[] = {
        {"dword", REG_DWORD, QByteArray("\x01\x00\x00\x00", 4), Variant(std::int32_t(1))},
        {"negative", REG_DWORD, QByteArray("\xff\xff\xff\xff", 4), Variant(std::int32_t(-1))},
        {"bigEndian", REG_DWORD_BIG_ENDIAN, QByteArray("\x00\x00\x00\x01", 4), Variant(std::int32_t(1))},
        {"multi", REG_MULTI_SZ, QByteArray("a\0b\0\0", 5), Variant(QString::fromUtf8("a\0b\0", 4))},
        {"emptySz", REG_SZ, QByteArray(), Variant(QString())},
        {"binary", REG_BINARY, QByteArray("\x00\x10", 2), Variant(QByteArray("\x00\x10", 2))},
        {"qword", reg::REG_QWORD, QByteArray(8, '\x02'), Variant(QByteArray(8, '\x02'))},
    };
    for (const Case& c : cases) {
        put(QString::fromLatin1(c.name), c.type, c.bytes);
        comRegistry registry;
        const Variant read = registry.ValueEx(HKEY_CURRENT_USER, kKey, QString::fromLatin1(c.name), REG_SZ,
                                              Variant(QStringLiteral("default")));
        EXPECT_EQ(read, c.expected) << c.name << " read " << read.debugString().toStdString();
        EXPECT_EQ(registry.ValueType(), c.type) << c.name;
    }
}

TEST_F(ComRegistryTest, DwordWritesOnlyFromWholeNumbersAndSingles)
{
    struct Case {
        const char* name;
        std::int32_t requested;
        Variant value;
        bool written;
        std::int32_t number;
    };
    const Case cases[] = {
        {"long", REG_DWORD, Variant(std::int32_t(1)), true, 1},
        {"integer", REG_DWORD, Variant(std::int16_t(-2)), true, -2},
        {"single", REG_DWORD, Variant(2.5f), true, 2}, // rounded half to even
        {"asBigEndian", REG_DWORD_BIG_ENDIAN, Variant(std::int32_t(1)), true, 1},
        {"text", REG_DWORD, Variant(QStringLiteral("1")), false, 0},
        {"double", REG_DWORD, Variant(1.0), false, 0},
        {"boolean", REG_DWORD, Variant(true), false, 0},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromLatin1(c.name);
        EXPECT_NO_THROW(ScriviRegistro(HKEY_CURRENT_USER, kKey, c.requested, name, c.value)) << c.name;
        const reg::ValueData data = stored(name);
        if (!c.written) {
            EXPECT_EQ(data.type, -1) << c.name;
            continue;
        }
        // Machine byte order and REG_DWORD, even when big-endian was asked for.
        EXPECT_EQ(data.type, REG_DWORD) << c.name;
        EXPECT_EQ(LeggiRegistro(HKEY_CURRENT_USER, kKey, REG_DWORD, name), Variant(c.number)) << c.name;
    }
    // A Single beyond 32 bits cannot be stored: a failed write, not a silent one.
    const core::Error e = caught([] { ScriviRegistro(HKEY_CURRENT_USER, kKey, REG_DWORD, QStringLiteral("big"), Variant(1e10f)); });
    EXPECT_EQ(e.number(), -2147194455);
}

TEST_F(ComRegistryTest, BinaryNeedsBytes)
{
    const QByteArray bytes("\x00\x01\x02", 3);
    ScriviRegistro(HKEY_CURRENT_USER, kKey, REG_BINARY, QStringLiteral("b"), Variant(bytes));
    EXPECT_EQ(stored(QStringLiteral("b")).bytes, bytes);
    EXPECT_EQ(stored(QStringLiteral("b")).type, REG_BINARY);

    const core::Error e = caught([] { ScriviRegistro(HKEY_CURRENT_USER, kKey, REG_BINARY, QStringLiteral("t"), Variant(QStringLiteral("abc"))); });
    EXPECT_EQ(e.number(), 26001);
    EXPECT_EQ(e.description(), QStringLiteral("Application-defined or object-defined error"));
    EXPECT_EQ(stored(QStringLiteral("t")).type, -1);
}

TEST_F(ComRegistryTest, WriteErrorsCarryTheirTexts)
{
    const core::Error multi = caught([] { ScriviRegistro(HKEY_CURRENT_USER, kKey, REG_MULTI_SZ, QStringLiteral("m"), Variant(QStringLiteral("a"))); });
    EXPECT_EQ(multi.number(), -2147194455);
    EXPECT_EQ(multi.description(), QStringLiteral("Failed to set registry value Key: '") + kHkcu
                                       + QStringLiteral("',Section: '") + kKey
                                       + QStringLiteral("',Key: 'm' to value: 'a'"));
    EXPECT_EQ(multi.source(), QStringLiteral("test_common_ui.comRegistry"));

    const core::Error noKey = caught([] { ScriviRegistro(0, QStringLiteral("K"), REG_SZ, QStringLiteral("v"), Variant(std::int32_t(5))); });
    EXPECT_EQ(noKey.number(), 26001);
    EXPECT_EQ(noKey.description(), QStringLiteral("Failed to set registry value Key: '0',Section: 'K',Key: 'v' to value: '5'"));
}

TEST_F(ComRegistryTest, KeysAndValuesManagedWithTheirErrors)
{
    comRegistry registry;
    registry.setClassKey(HKEY_CURRENT_USER);
    registry.setSectionKey(QStringLiteral("Software\\Test"));
    EXPECT_FALSE(registry.KeyExists());
    EXPECT_TRUE(registry.CreateKey());
    EXPECT_TRUE(registry.KeyExists());

    registry.setValueKey(QStringLiteral("v"));
    registry.setValueType(REG_SZ);
    registry.setValue(QStringLiteral("x"));
    EXPECT_TRUE(registry.DeleteValue());
    EXPECT_EQ(registry.Value().type(), VarType::Empty);
    core::Error e = caught([&] { registry.DeleteValue(); });
    EXPECT_EQ(e.number(), 26001);
    EXPECT_EQ(e.description(), QStringLiteral("Failed to delete registry Key: '") + kHkcu
                                   + QStringLiteral("',Section: 'Software\\Test',Key: 'v"));

    EXPECT_TRUE(registry.DeleteKey());
    e = caught([&] { registry.DeleteKey(); });
    EXPECT_EQ(e.description(), QStringLiteral("Failed to delete registry Key: '") + kHkcu
                                   + QStringLiteral("',Section: 'Software\\Test"));
    e = caught([&] { registry.DeleteValue(); });
    EXPECT_EQ(e.description(), QStringLiteral("Failed to open key '") + kHkcu
                                   + QStringLiteral("',Section: 'Software\\Test' for delete access"));

    registry.setClassKey(12345);
    e = caught([&] { registry.CreateKey(); });
    EXPECT_EQ(e.number(), 26001);
    EXPECT_EQ(e.description(), QStringLiteral("Failed to create registry Key: 'Software\\Test"));
}

TEST_F(ComRegistryTest, Enumerations)
{
    reg::Store store;
    store.createKey(HKEY_CURRENT_USER, kKey + QStringLiteral("\\Sub1"));
    store.createKey(HKEY_CURRENT_USER, kKey + QStringLiteral("\\Sub2"));
    put(QStringLiteral("001"), REG_SZ, "p");
    put(QStringLiteral("D001"), REG_SZ, "d");

    comRegistry registry;
    registry.setClassKey(HKEY_CURRENT_USER);
    registry.setSectionKey(kKey);
    QStringList names;
    std::int32_t count = -1;
    EXPECT_TRUE(registry.EnumerateValues(names, count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(names, (QStringList{QStringLiteral("001"), QStringLiteral("D001")}));
    EXPECT_TRUE(registry.EnumerateSections(names, count));
    EXPECT_EQ(names, (QStringList{QStringLiteral("Sub1"), QStringLiteral("Sub2")}));

    registry.setSectionKey(QStringLiteral("Missing"));
    EXPECT_FALSE(registry.EnumerateValues(names, count));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.isEmpty());
}

TEST_F(ComRegistryTest, MachineNamesAndRemoteAccess)
{
    struct Case {
        const char* given;
        const char* kept;
    };
    const Case cases[] = {{"", ""}, {"ab", ""}, {"\\\\", ""}, {"srv", "\\\\srv"}, {"\\\\srv", "\\\\srv"}};
    for (const Case& c : cases) {
        comRegistry registry;
        registry.setMachine(QString::fromLatin1(c.given));
        EXPECT_EQ(registry.Machine(), QString::fromLatin1(c.kept)) << c.given;
    }

    put(QStringLiteral("v"), REG_SZ, QByteArray("local\0", 6));
    comRegistry remote;
    remote.setMachine(QStringLiteral("server"));
    remote.setClassKey(HKEY_CURRENT_USER);
    remote.setSectionKey(kKey);
    remote.setValueKey(QStringLiteral("v"));
    remote.setValueType(REG_SZ);
    remote.setDefault(QStringLiteral("fallback"));
    EXPECT_EQ(remote.Value(), Variant(QStringLiteral("fallback")));
    EXPECT_FALSE(remote.KeyExists());
    EXPECT_EQ(caught([&] { remote.setValue(QStringLiteral("new")); }).number(), 26001);
    EXPECT_EQ(caught([&] { remote.DeleteValue(); }).number(), 26001);
    EXPECT_EQ(stored(QStringLiteral("v")).bytes, QByteArray("local\0", 6)); // the local value is untouched
}

TEST_F(ComRegistryTest, ValueExLetReplacesEmptyTextWithTheDefault)
{
    comRegistry registry;
    registry.setValueEx(HKEY_CURRENT_USER, kKey, QStringLiteral("p"), REG_SZ, Variant(QStringLiteral("dflt")),
                        Variant(QString()));
    EXPECT_EQ(LeggiRegistro(HKEY_CURRENT_USER, kKey, REG_SZ, QStringLiteral("p")), Variant(QStringLiteral("dflt")));
    registry.setValueEx(HKEY_CURRENT_USER, kKey, QStringLiteral("p"), REG_SZ, Variant(QStringLiteral("dflt")),
                        Variant(QStringLiteral("given")));
    EXPECT_EQ(registry.ValueEx(HKEY_CURRENT_USER, kKey, QStringLiteral("p"), REG_SZ, Variant()),
              Variant(QStringLiteral("given")));
}

TEST_F(ComRegistryTest, FileAssociationsGoToBothClassRoots)
{
    comRegistry registry;
    registry.setClassKey(HKEY_USERS);
    ASSERT_TRUE(registry.CreateEXEAssociation(QStringLiteral("  /opt/corvessa/corvessa "), QStringLiteral("Corvessa.Doc"),
                                              QStringLiteral("Documento Corvessa"), QStringLiteral("cvd"), QString(),
                                              true, QString(), false, QString(), true, QString(), 2));
    const QString quoted = QStringLiteral("\"/opt/corvessa/corvessa\"");
    struct Case {
        const char* key;
        QString text;
    };
    const Case cases[] = {
        {".cvd", QStringLiteral("Corvessa.Doc")},
        {"Corvessa.Doc", QStringLiteral("Documento Corvessa")},
        {"Corvessa.Doc\\shell\\open", QStringLiteral("&Open")},
        {"Corvessa.Doc\\shell\\open\\command", quoted + QStringLiteral(" \"%1\"")},
        {"Corvessa.Doc\\shell\\print", QStringLiteral("&Print")},
        {"Corvessa.Doc\\shell\\print\\command", quoted + QStringLiteral(" /p \"%1\"")},
        {"Corvessa.Doc\\shell\\add", QStringLiteral("&Install cvd")},
        {"Corvessa.Doc\\shell\\add\\command", quoted + QStringLiteral(" /a \"%1\"")},
        {"Corvessa.Doc\\DefaultIcon", quoted + QStringLiteral(",2")},
    };
    for (const Case& c : cases) {
        const QString key = QString::fromLatin1(c.key);
        EXPECT_EQ(LeggiRegistro(HKEY_CLASSES_ROOT, key, REG_SZ, QString()), Variant(c.text)) << c.key;
        EXPECT_EQ(LeggiRegistro(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Classes\\") + key, REG_SZ, QString()),
                  Variant(c.text))
            << c.key;
    }
    EXPECT_FALSE(reg::Store().keyExists(HKEY_CLASSES_ROOT, QStringLiteral("Corvessa.Doc\\shell\\new")));
    EXPECT_EQ(registry.ClassKey(), HKEY_USERS); // each class write restores the hive

    EXPECT_TRUE(registry.CreateAdditionalEXEAssociations(
        QStringLiteral("Corvessa.Doc"), {QStringLiteral("edit"), QStringLiteral("&Modifica"), QStringLiteral("cmd")}));
    EXPECT_EQ(LeggiRegistro(HKEY_CLASSES_ROOT, QStringLiteral("Corvessa.Doc\\shell\\edit\\command"), REG_SZ, QString()),
              Variant(QStringLiteral("cmd")));

    core::Error e = caught([&] { registry.CreateAdditionalEXEAssociations(QStringLiteral("Corvessa.Doc"), {QStringLiteral("a"), QStringLiteral("b")}); });
    EXPECT_EQ(e.number(), -2147194452);
    EXPECT_EQ(e.description(), QStringLiteral("Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command"));
    e = caught([&] { registry.CreateAdditionalEXEAssociations(QStringLiteral("Nobody.Class"), {}); });
    EXPECT_EQ(e.number(), -2147194451);
    EXPECT_EQ(e.description(), QStringLiteral("Error - attempt to create additional associations before class defined."));
}

} // namespace
