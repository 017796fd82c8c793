#pragma once

#include "platform/registry/RegistryTypes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace reg {

// A value as the store keeps it: its type and its raw bytes.
struct ValueData {
    std::int32_t type = REG_NONE;
    QByteArray bytes;
};

// The registry of this machine's user, kept in one file in place of the
// system registry. Hives are addressed by their handle numbers, keys by
// "\"-separated paths; key and value names compare case-insensitively and keep
// the spelling they were first written with; an empty value name is the key's
// default value.
//
// Every operation reads the file afresh, and every change runs under a lock
// file and replaces the file atomically, so two programs sharing the store
// never lose each other's writes and a crash never leaves half a file. A
// damaged file reads as empty; the first write moves it aside (kept beside the
// store as "<file>.damaged-<time>") rather than overwriting it.
class Store {
public:
    // A store on the process-wide file (see filePath()).
    Store();
    explicit Store(QString path);

    // The process-wide store file: the one given to setFilePath(), else the
    // environment variable CORVESSA_REGISTRY_FILE, else "registry.json" in the
    // per-user configuration folder of the organisation (or application).
    static QString filePath();
    // Empty text restores the default.
    static void setFilePath(const QString& path);

    const QString& path() const { return m_path; }

    static bool isHive(std::int32_t hive);

    // Connecting to another machine's registry: there is none to reach.
    // Success only for an empty name (the local store).
    static Status connectMachine(const QString& machine);

    bool keyExists(std::int32_t hive, const QString& keyPath) const;
    // Creates the key and any missing parents; an existing key is kept as is.
    Status createKey(std::int32_t hive, const QString& keyPath);
    // Fails with HasSubkeys when the key has subkeys; a hive cannot be deleted.
    Status deleteKey(std::int32_t hive, const QString& keyPath);
    Status queryValue(std::int32_t hive, const QString& keyPath, const QString& valueName,
                      ValueData* out) const;
    // The key must exist (create it first): a mistyped path is an error, not a new key.
    Status setValue(std::int32_t hive, const QString& keyPath, const QString& valueName,
                    std::int32_t type, const QByteArray& bytes);
    Status deleteValue(std::int32_t hive, const QString& keyPath, const QString& valueName);
    // Names in the order they were first written.
    Status enumerateValues(std::int32_t hive, const QString& keyPath, QStringList* names) const;
    Status enumerateSubkeys(std::int32_t hive, const QString& keyPath, QStringList* names) const;

private:
    QString m_path;
};

} // namespace reg
