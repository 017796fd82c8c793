#include "platform/registry/RegistryStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QLockFile>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

namespace reg {

namespace {

constexpr auto kFormatName = "corvessa-registry";
constexpr int kFormatVersion = 1;
// A lock older than this belongs to a program that died holding it.
constexpr int kStaleLockMs = 30000;
constexpr int kLockWaitMs = 10000;
// A lock file is written the moment it is made; one still empty this long
// after was made by a program killed before it could write it.
constexpr int kCutLockMs = 2000;
constexpr int kLockPollMs = 100;

struct Value {
    QString name;
    std::int32_t type = REG_NONE;
    QByteArray bytes;
};

struct Key {
    QString name;
    std::vector<Value> values;
    std::vector<Key> subkeys;
};

using Tree = std::map<std::uint32_t, Key>; // hive handle -> its root key

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList splitPath(const QString& keyPath)
{
    return keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

Key* findSubkey(Key& key, const QString& name)
{
    for (Key& k : key.subkeys)
        if (sameName(k.name, name))
            return &k;
    return nullptr;
}

Key* findKey(Tree& tree, std::int32_t hive, const QString& keyPath)
{
    auto it = tree.find(static_cast<std::uint32_t>(hive));
    if (it == tree.end()) {
        // A hive always exists, even before anything was written to it.
        if (!splitPath(keyPath).isEmpty())
            return nullptr;
        it = tree.emplace(static_cast<std::uint32_t>(hive), Key{}).first;
    }
    Key* key = &it->second;
    for (const QString& part : splitPath(keyPath)) {
        key = findSubkey(*key, part);
        if (!key)
            return nullptr;
    }
    return key;
}

Value* findValue(Key& key, const QString& name)
{
    for (Value& v : key.values)
        if (sameName(v.name, name))
            return &v;
    return nullptr;
}

// --- file format -----------------------------------------------------------

QJsonObject keyToJson(const Key& key)
{
    QJsonObject o;
    o.insert(QStringLiteral("name"), key.name);
    QJsonArray values;
    for (const Value& v : key.values) {
        QJsonObject vo;
        vo.insert(QStringLiteral("name"), v.name);
        vo.insert(QStringLiteral("type"), v.type);
        vo.insert(QStringLiteral("data"), QString::fromLatin1(v.bytes.toBase64()));
        values.append(vo);
    }
    o.insert(QStringLiteral("values"), values);
    QJsonArray subkeys;
    for (const Key& k : key.subkeys)
        subkeys.append(keyToJson(k));
    o.insert(QStringLiteral("keys"), subkeys);
    return o;
}

bool keyFromJson(const QJsonValue& json, Key* key)
{
    if (!json.isObject())
        return false;
    const QJsonObject o = json.toObject();
    if (!o.value(QStringLiteral("name")).isString() || !o.value(QStringLiteral("values")).isArray()
        || !o.value(QStringLiteral("keys")).isArray())
        return false;
    key->name = o.value(QStringLiteral("name")).toString();
    for (const QJsonValue& jv : o.value(QStringLiteral("values")).toArray()) {
        const QJsonObject vo = jv.toObject();
        if (!vo.value(QStringLiteral("name")).isString() || !vo.value(QStringLiteral("type")).isDouble()
            || !vo.value(QStringLiteral("data")).isString())
            return false;
        const auto decoded = QByteArray::fromBase64Encoding(vo.value(QStringLiteral("data")).toString().toLatin1(),
                                                            QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return false;
        key->values.push_back(Value{vo.value(QStringLiteral("name")).toString(),
                                    static_cast<std::int32_t>(vo.value(QStringLiteral("type")).toInteger()),
                                    *decoded});
    }
    for (const QJsonValue& jk : o.value(QStringLiteral("keys")).toArray()) {
        Key sub;
        if (!keyFromJson(jk, &sub))
            return false;
        key->subkeys.push_back(std::move(sub));
    }
    return true;
}

QByteArray serialize(const Tree& tree)
{
    QJsonArray hives;
    for (const auto& [handle, root] : tree) {
        QJsonObject h;
        h.insert(QStringLiteral("hive"), QStringLiteral("0x%1").arg(handle, 8, 16, QLatin1Char('0')));
        h.insert(QStringLiteral("key"), keyToJson(root));
        hives.append(h);
    }
    QJsonObject doc;
    doc.insert(QStringLiteral("format"), QString::fromLatin1(kFormatName));
    doc.insert(QStringLiteral("version"), kFormatVersion);
    doc.insert(QStringLiteral("hives"), hives);
    return QJsonDocument(doc).toJson(QJsonDocument::Indented);
}

bool parse(const QByteArray& bytes, Tree* tree)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject o = doc.object();
    if (o.value(QStringLiteral("format")).toString() != QLatin1String(kFormatName)
        || o.value(QStringLiteral("version")).toInt() != kFormatVersion
        || !o.value(QStringLiteral("hives")).isArray())
        return false;
    for (const QJsonValue& hv : o.value(QStringLiteral("hives")).toArray()) {
        const QJsonObject h = hv.toObject();
        bool ok = false;
        const uint handle = h.value(QStringLiteral("hive")).toString().toUInt(&ok, 0);
        Key root;
        if (!ok || !Store::isHive(static_cast<std::int32_t>(handle)) || !keyFromJson(h.value(QStringLiteral("key")), &root))
            return false;
        (*tree)[handle] = std::move(root);
    }
    return true;
}

enum class Load { Missing, Ok, Damaged, Unreadable };

Load loadTree(const QString& path, Tree* tree)
{
    QFile file(path);
    if (!file.exists())
        return Load::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return Load::Unreadable;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Load::Unreadable;
    Tree parsed;
    if (!parse(bytes, &parsed))
        return Load::Damaged;
    *tree = std::move(parsed);
    return Load::Ok;
}

// Reads never fail loudly: a missing, unreadable or damaged file is an empty registry.
Tree readTree(const QString& path)
{
    Tree tree;
    loadTree(path, &tree);
    return tree;
}

// The names of a key's values or of its subkeys, in their stored order.
template <class Item>
Status listNames(const QString& path, std::int32_t hive, const QString& keyPath, std::vector<Item> Key::*items,
                 QStringList* names)
{
    Tree tree = readTree(path);
    Key* key = findKey(tree, hive, keyPath);
    if (!key)
        return Status::NotFound;
    if (names) {
        names->clear();
        for (const Item& item : key->*items)
            names->append(item.name);
    }
    return Status::Success;
}

bool moveAside(const QString& path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFile::exists(target); ++n)
        target = path + QStringLiteral(".damaged-") + stamp + QLatin1Char('-') + QString::number(n);
    return QFile::rename(path, target);
}

// A program killed while saving can leave the save's temporary file beside the
// store ("<file>.XXXXXX", where the file system cannot keep it nameless). It is
// never read; under the lock, the ones that can only be such a leftover (empty
// or a cut registry, untouched for longer than any save takes) are removed. A
// whole registry under such a name may be someone's copy and is kept.
void removeLeftoverTemporaryFiles(const QString& path)
{
    static const QRegularExpression temporaryName(QStringLiteral("^\\.[A-Za-z]{6}$"));
    const QFileInfo store(path);
    const QDateTime settled = QDateTime::currentDateTime().addMSecs(-kStaleLockMs);
    const QFileInfoList candidates = store.dir().entryInfoList({store.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& candidate : candidates) {
        if (!temporaryName.match(candidate.fileName().mid(store.fileName().size())).hasMatch()
            || candidate.lastModified() > settled)
            continue;
        QFile file(candidate.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        file.close();
        // How every saved file begins (see serialize); a cut one holds a part of it.
        const QByteArray head = QByteArrayLiteral("{\n    \"format\": \"") + kFormatName + '"';
        Tree whole;
        if ((bytes.startsWith(head) || head.startsWith(bytes)) && !parse(bytes, &whole))
            QFile::remove(candidate.filePath());
    }
}

// The lock file of a program killed between making it and writing its owner in
// it: the lock knows no owner to ask, so it would hold every write until it is
// stale. Removed under the same guard the lock uses for its own stale files.
void removeCutLockFile(const QString& lockPath)
{
    const auto cut = [&] {
        const QFileInfo info(lockPath);
        return info.exists() && info.size() == 0
            && info.lastModified().msecsTo(QDateTime::currentDateTime()) > kCutLockMs;
    };
    if (!cut())
        return;
    QLockFile guard(lockPath + QStringLiteral(".rmlock"));
    if (guard.tryLock(0) && cut())
        QFile::remove(lockPath);
}

// The guards the lock takes while removing a stale lock file ("<lock>.rmlock",
// and so on) are lock files as well, and can be cut by a kill the same way.
void removeCutLockFiles(const QString& lockPath)
{
    const QFileInfo lock(lockPath);
    removeCutLockFile(lockPath);
    for (const QString& name : lock.dir().entryList({lock.fileName() + QStringLiteral(".rmlock*")}, QDir::Files | QDir::Hidden))
        removeCutLockFile(lock.dir().filePath(name));
}

// The guards the lock takes while removing a stale lock file ("<lock>.rmlock",
// and so on) stay behind when their program is killed meanwhile. Under the lock
// no one needs them: each one no live program holds is removed.
void removeLeftoverGuards(const QString& lockPath)
{
    const QFileInfo lock(lockPath);
    QStringList guards = lock.dir().entryList({lock.fileName() + QStringLiteral(".rmlock*")}, QDir::Files | QDir::Hidden);
    // The innermost guard last: freeing an outer one may need the one it nests.
    std::sort(guards.begin(), guards.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& name : guards) {
        const QString guardPath = lock.dir().filePath(name);
        removeCutLockFile(guardPath);
        QLockFile guard(guardPath);
        guard.setStaleLockTime(kStaleLockMs);
        if (guard.tryLock(0))
            guard.unlock();
    }
}

bool saveTree(const QString& path, const Tree& tree)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = serialize(tree);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// Threads of one program share the process id that the lock file records, so
// they also need a lock of their own.
QMutex& processMutex()
{
    static QMutex mutex;
    return mutex;
}

// Runs a change as one read-modify-write under the lock. `change` returns the
// status of the operation and sets `changed` when the tree must be saved.
Status modify(const QString& path, const std::function<Status(Tree&, bool& changed)>& change)
{
    QMutexLocker inProcess(&processMutex());
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return Status::IoError;
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(kStaleLockMs);
    QElapsedTimer waited;
    waited.start();
    while (!lock.tryLock(kLockPollMs)) {
        if (lock.error() != QLockFile::LockFailedError || waited.elapsed() >= kLockWaitMs)
            return Status::Busy;
        removeCutLockFiles(path + QStringLiteral(".lock"));
    }

    Tree tree;
    Load state = loadTree(path, &tree);
    if (state == Load::Unreadable)
        return Status::IoError;

    bool changed = false;
    const Status status = change(tree, changed);
    if (status != Status::Success || !changed)
        return status;

    if (state == Load::Damaged && !moveAside(path))
        return Status::IoError;
    removeLeftoverTemporaryFiles(path);
    removeLeftoverGuards(path + QStringLiteral(".lock"));
    return saveTree(path, tree) ? Status::Success : Status::IoError;
}

QString& overridePath()
{
    static QString path;
    return path;
}

} // namespace

Store::Store() : m_path(filePath()) {}

Store::Store(QString path) : m_path(std::move(path)) {}

QString Store::filePath()
{
    if (!overridePath().isEmpty())
        return overridePath();
    const QString fromEnvironment = qEnvironmentVariable("CORVESSA_REGISTRY_FILE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    QString folder = QCoreApplication::organizationName();
    if (folder.isEmpty())
        folder = QCoreApplication::applicationName();
    if (folder.isEmpty())
        folder = QStringLiteral("corvessa");
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + folder
           + QStringLiteral("/registry.json");
}

void Store::setFilePath(const QString& path)
{
    overridePath() = path;
}

bool Store::isHive(std::int32_t hive)
{
    const auto handle = static_cast<std::uint32_t>(hive);
    return handle >= 0x80000000u && handle <= 0x80000006u;
}

Status Store::connectMachine(const QString& machine)
{
    return machine.isEmpty() ? Status::Success : Status::NotAvailable;
}

bool Store::keyExists(std::int32_t hive, const QString& keyPath) const
{
    if (!isHive(hive))
        return false;
    Tree tree = readTree(m_path);
    return findKey(tree, hive, keyPath) != nullptr;
}

Status Store::createKey(std::int32_t hive, const QString& keyPath)
{
    if (!isHive(hive))
        return Status::InvalidHive;
    return modify(m_path, [&](Tree& tree, bool& changed) {
        Key* key = findKey(tree, hive, QString());
        for (const QString& part : splitPath(keyPath)) {
            Key* sub = findSubkey(*key, part);
            if (!sub) {
                key->subkeys.push_back(Key{part, {}, {}});
                sub = &key->subkeys.back();
                changed = true;
            }
            key = sub;
        }
        return Status::Success;
    });
}

Status Store::deleteKey(std::int32_t hive, const QString& keyPath)
{
    if (!isHive(hive))
        return Status::InvalidHive;
    QStringList parts = splitPath(keyPath);
    if (parts.isEmpty())
        return Status::NotFound; // a hive is not deletable
    const QString last = parts.takeLast();
    return modify(m_path, [&](Tree& tree, bool& changed) {
        Key* parent = findKey(tree, hive, parts.join(QLatin1Char('\\')));
        if (!parent)
            return Status::NotFound;
        for (auto it = parent->subkeys.begin(); it != parent->subkeys.end(); ++it) {
            if (sameName(it->name, last)) {
                if (!it->subkeys.empty())
                    return Status::HasSubkeys;
                parent->subkeys.erase(it);
                changed = true;
                return Status::Success;
            }
        }
        return Status::NotFound;
    });
}

Status Store::queryValue(std::int32_t hive, const QString& keyPath, const QString& valueName,
                         ValueData* out) const
{
    if (!isHive(hive))
        return Status::InvalidHive;
    Tree tree = readTree(m_path);
    Key* key = findKey(tree, hive, keyPath);
    if (!key)
        return Status::NotFound;
    const Value* value = findValue(*key, valueName);
    if (!value)
        return Status::NotFound;
    if (out)
        *out = ValueData{value->type, value->bytes};
    return Status::Success;
}

Status Store::setValue(std::int32_t hive, const QString& keyPath, const QString& valueName,
                       std::int32_t type, const QByteArray& bytes)
{
    if (!isHive(hive))
        return Status::InvalidHive;
    return modify(m_path, [&](Tree& tree, bool& changed) {
        Key* key = findKey(tree, hive, keyPath);
        if (!key)
            return Status::NotFound;
        if (Value* value = findValue(*key, valueName)) {
            if (value->type == type && value->bytes == bytes)
                return Status::Success;
            value->type = type;
            value->bytes = bytes;
        } else {
            key->values.push_back(Value{valueName, type, bytes});
        }
        changed = true;
        return Status::Success;
    });
}

Status Store::deleteValue(std::int32_t hive, const QString& keyPath, const QString& valueName)
{
    if (!isHive(hive))
        return Status::InvalidHive;
    return modify(m_path, [&](Tree& tree, bool& changed) {
        Key* key = findKey(tree, hive, keyPath);
        if (!key)
            return Status::NotFound;
        for (auto it = key->values.begin(); it != key->values.end(); ++it) {
            if (sameName(it->name, valueName)) {
                key->values.erase(it);
                changed = true;
                return Status::Success;
            }
        }
        return Status::NotFound;
    });
}

Status Store::enumerateValues(std::int32_t hive, const QString& keyPath, QStringList* names) const
{
    if (!isHive(hive))
        return Status::InvalidHive;
    return listNames(m_path, hive, keyPath, &Key::values, names);
}

Status Store::enumerateSubkeys(std::int32_t hive, const QString& keyPath, QStringList* names) const
{
    if (!isHive(hive))
        return Status::InvalidHive;
    return listNames(m_path, hive, keyPath, &Key::subkeys, names);
}

} // namespace reg
