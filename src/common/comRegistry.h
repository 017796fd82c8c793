#pragma once

#include "platform/core/Variant.h"
#include "platform/registry/RegistryTypes.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// The registry's names, unqualified, for the program's callers.
using reg::HKEY_CLASSES_ROOT;
using reg::HKEY_CURRENT_CONFIG;
using reg::HKEY_CURRENT_USER;
using reg::HKEY_DYN_DATA;
using reg::HKEY_LOCAL_MACHINE;
using reg::HKEY_PERFORMANCE_DATA;
using reg::HKEY_USERS;
using reg::REG_BINARY;
using reg::REG_DWORD;
using reg::REG_DWORD_BIG_ENDIAN;
using reg::REG_DWORD_LITTLE_ENDIAN;
using reg::REG_EXPAND_SZ;
using reg::REG_MULTI_SZ;
using reg::REG_NONE;
using reg::REG_SZ;

// Error numbers the accessor raises (as core::Error, source "<exe>.comRegistry").
constexpr long kRegistryError = 26001;
constexpr long kRegistryWriteError = static_cast<std::int32_t>(0x800469A9u);       // -2147194455
constexpr long kRegistryAssocListError = static_cast<std::int32_t>(0x800469ACu);   // -2147194452
constexpr long kRegistryAssocClassError = static_cast<std::int32_t>(0x800469ADu);  // -2147194451

// Accessor over one registry value: set the hive, key path, value name and
// type, then read or assign Value. A fresh object for every use; reads that
// fail return Default and never raise. Getters are named as the property,
// setters setX.
class comRegistry {
public:
    // Remote machine, "\\name"; empty for the local registry. Remote registries
    // are not reachable here: with a machine set, reads return Default and
    // every change raises its error without writing.
    QString Machine() const { return m_machine; }
    void setMachine(const QString& machine);

    bool KeyExists() const;
    bool CreateKey();
    bool DeleteKey();
    bool DeleteValue();

    // Reading also sets ValueType to the stored type.
    core::Variant Value();
    void setValue(const core::Variant& value);

    // Names of the values / subkeys of SectionKey; False when the key cannot be opened.
    bool EnumerateValues(QStringList& names, std::int32_t& count) const;
    bool EnumerateSections(QStringList& names, std::int32_t& count) const;

    bool CreateEXEAssociation(const QString& programPath, const QString& className,
                              const QString& classDescription, const QString& fileExtension,
                              const QString& openMenuText = {}, bool supportsPrint = false,
                              const QString& printMenuText = {}, bool supportsNew = false,
                              const QString& newMenuText = {}, bool supportsInstall = false,
                              const QString& installMenuText = {}, std::int32_t defaultIconIndex = 0);
    // items: verb name, menu text, command, three at a time.
    bool CreateAdditionalEXEAssociations(const QString& className, const QStringList& items);

    std::int32_t ValueType() const { return m_valueType; }
    void setValueType(std::int32_t valueType) { m_valueType = valueType; }
    std::int32_t ClassKey() const { return m_classKey; }
    void setClassKey(std::int32_t classKey) { m_classKey = classKey; }
    QString SectionKey() const { return m_sectionKey; }
    void setSectionKey(const QString& sectionKey) { m_sectionKey = sectionKey; }
    QString ValueKey() const { return m_valueKey; }
    void setValueKey(const QString& valueKey) { m_valueKey = valueKey; }

    core::Variant ValueEx(std::int32_t classKey, const QString& sectionKey, const QString& valueKey,
                          std::int32_t valueType, const core::Variant& defaultValue);
    // An empty text written as REG_SZ is replaced by the default.
    void setValueEx(std::int32_t classKey, const QString& sectionKey, const QString& valueKey,
                    std::int32_t valueType, const core::Variant& defaultValue, const core::Variant& value);

    core::Variant Default() const { return m_default; }
    void setDefault(const core::Variant& defaultValue) { m_default = defaultValue; }

private:
    void SetClassValue(const core::Variant& value);
    static std::uint32_t SwapEndian(std::uint32_t value);
    static QString ExpandEnvStr(const QString& text);

    [[noreturn]] void raise(long number, const QString& description) const;
    QString setValueFailureText(const core::Variant& value) const;

    std::int32_t m_classKey = 0;
    QString m_sectionKey;
    QString m_valueKey;
    std::int32_t m_valueType = 0;
    core::Variant m_default;
    QString m_machine;
    core::Variant m_lastValue;
};

// Reads one value through a fresh accessor; Default is set only when given.
core::Variant LeggiRegistro(long hive, const QString& key, long valueType, const QString& valueName,
                            std::optional<core::Variant> defaultValue = std::nullopt);
// Writes one value through a fresh accessor; its errors reach the caller.
void ScriviRegistro(long hive, const QString& key, long valueType, const QString& valueName,
                    const core::Variant& value);
