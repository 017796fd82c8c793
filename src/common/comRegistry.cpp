#include "common/comRegistry.h"

#include "platform/core/Error.h"
#include "platform/registry/RegistryStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace {

// The executable's base name, which the accessor's errors carry as their source.
QString executableName()
{
    QString path;
    if (QCoreApplication::instance())
        path = QCoreApplication::applicationFilePath();
    if (path.isEmpty())
        path = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    QString name = QFileInfo(path).completeBaseName();
    if (name.isEmpty())
        name = QCoreApplication::applicationName();
    return name;
}

// The names under one key, listed by `list` (its values or its subkeys);
// nothing and false when the machine or the key cannot be read.
using ListNames = reg::Status (reg::Store::*)(std::int32_t, const QString&, QStringList*) const;
bool listNames(ListNames list, const QString& machine, std::int32_t hive, const QString& keyPath, QStringList& names,
               std::int32_t& count)
{
    names.clear();
    count = 0;
    if (reg::Store::connectMachine(machine) != reg::Status::Success
        || (reg::Store().*list)(hive, keyPath, &names) != reg::Status::Success)
        return false;
    count = static_cast<std::int32_t>(names.size());
    return true;
}

// Text values are kept as UTF-8 with a terminating NUL; reading drops that NUL
// and keeps any inner ones (the separators of a multi-string).
QString textFromBytes(const QByteArray& bytes)
{
    QByteArray data = bytes;
    if (data.endsWith('\0'))
        data.chop(1);
    return QString::fromUtf8(data);
}

QByteArray bytesFromText(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.append('\0');
    return bytes;
}

std::uint32_t littleEndianDword(const QByteArray& bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4 && i < bytes.size(); ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(i))) << (8 * i);
    return value;
}

QByteArray dwordBytes(std::uint32_t value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

// A text is stored as expandable when it holds a "%" and a second "%" at least
// two characters further on, so that something can stand between them.
bool looksExpandable(const QString& text)
{
    const qsizetype first = text.indexOf(QLatin1Char('%'));
    return first >= 0 && text.indexOf(QLatin1Char('%'), first + 2) >= 0;
}

const QString kNoDescription = QStringLiteral("Application-defined or object-defined error");

} // namespace

void comRegistry::setMachine(const QString& machine)
{
    if (machine.size() < 3)
        m_machine.clear();
    else if (!machine.startsWith(QLatin1String("\\\\")))
        m_machine = QStringLiteral("\\\\") + machine;
    else
        m_machine = machine;
}

bool comRegistry::KeyExists() const
{
    if (reg::Store::connectMachine(m_machine) != reg::Status::Success)
        return false;
    return reg::Store().keyExists(m_classKey, m_sectionKey);
}

bool comRegistry::CreateKey()
{
    if (reg::Store::connectMachine(m_machine) != reg::Status::Success
        || reg::Store().createKey(m_classKey, m_sectionKey) != reg::Status::Success)
        raise(kRegistryError, QStringLiteral("Failed to create registry Key: '") + m_sectionKey);
    return true;
}

bool comRegistry::DeleteKey()
{
    if (reg::Store::connectMachine(m_machine) != reg::Status::Success
        || reg::Store().deleteKey(m_classKey, m_sectionKey) != reg::Status::Success)
        raise(kRegistryError, QStringLiteral("Failed to delete registry Key: '") + QString::number(m_classKey)
                                  + QStringLiteral("',Section: '") + m_sectionKey);
    return true;
}

bool comRegistry::DeleteValue()
{
    reg::Store store;
    if (reg::Store::connectMachine(m_machine) != reg::Status::Success || !store.keyExists(m_classKey, m_sectionKey))
        raise(kRegistryError, QStringLiteral("Failed to open key '") + QString::number(m_classKey)
                                  + QStringLiteral("',Section: '") + m_sectionKey
                                  + QStringLiteral("' for delete access"));
    if (store.deleteValue(m_classKey, m_sectionKey, m_valueKey) != reg::Status::Success)
        raise(kRegistryError, QStringLiteral("Failed to delete registry Key: '") + QString::number(m_classKey)
                                  + QStringLiteral("',Section: '") + m_sectionKey + QStringLiteral("',Key: '")
                                  + m_valueKey);
    return true;
}

core::Variant comRegistry::Value()
{
    if (reg::Store::connectMachine(m_machine) != reg::Status::Success)
        return m_default;
    reg::ValueData data;
    if (reg::Store().queryValue(m_classKey, m_sectionKey, m_valueKey, &data) != reg::Status::Success)
        return m_default;

    m_valueType = data.type;
    switch (data.type) {
    case REG_SZ:
    case REG_MULTI_SZ:
        return textFromBytes(data.bytes);
    case REG_EXPAND_SZ:
        return ExpandEnvStr(textFromBytes(data.bytes));
    case REG_DWORD:
        return static_cast<std::int32_t>(littleEndianDword(data.bytes));
    case REG_DWORD_BIG_ENDIAN:
        return static_cast<std::int32_t>(SwapEndian(littleEndianDword(data.bytes)));
    default:
        return data.bytes;
    }
}

void comRegistry::setValue(const core::Variant& value)
{
    // Nothing can be written to a remote registry here; say so rather than
    // report a write that did not happen.
    reg::Store store;
    if (reg::Store::connectMachine(m_machine) != reg::Status::Success
        || store.createKey(m_classKey, m_sectionKey) != reg::Status::Success)
        raise(kRegistryError, setValueFailureText(value));

    bool written = false;
    switch (m_valueType) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        const QString text = value.toString();
        const std::int32_t type = looksExpandable(text) ? REG_EXPAND_SZ : REG_SZ;
        written = store.setValue(m_classKey, m_sectionKey, m_valueKey, type, bytesFromText(text))
                  == reg::Status::Success;
        break;
    }
    case REG_BINARY:
        if (!value.isBytes())
            raise(kRegistryError, kNoDescription);
        written = store.setValue(m_classKey, m_sectionKey, m_valueKey, REG_BINARY, value.toBytes())
                  == reg::Status::Success;
        break;
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: {
        const core::VarType kind = value.type();
        if (kind != core::VarType::Integer && kind != core::VarType::Long && kind != core::VarType::Single)
            return; // other kinds are ignored, as the program has always done
        bool inRange = false;
        const std::int32_t number = value.toLong(&inRange);
        // Both DWORD types are stored in machine order.
        written = inRange
                  && store.setValue(m_classKey, m_sectionKey, m_valueKey, REG_DWORD,
                                    dwordBytes(static_cast<std::uint32_t>(number)))
                         == reg::Status::Success;
        break;
    }
    default:
        break;
    }
    if (!written)
        raise(kRegistryWriteError, setValueFailureText(value));
    m_lastValue = value;
}

bool comRegistry::EnumerateValues(QStringList& names, std::int32_t& count) const
{
    return listNames(&reg::Store::enumerateValues, m_machine, m_classKey, m_sectionKey, names, count);
}

bool comRegistry::EnumerateSections(QStringList& names, std::int32_t& count) const
{
    return listNames(&reg::Store::enumerateSubkeys, m_machine, m_classKey, m_sectionKey, names, count);
}

bool comRegistry::CreateEXEAssociation(const QString& programPath, const QString& className,
                                       const QString& classDescription, const QString& fileExtension,
                                       const QString& openMenuText, bool supportsPrint,
                                       const QString& printMenuText, bool supportsNew, const QString& newMenuText,
                                       bool supportsInstall, const QString& installMenuText,
                                       std::int32_t defaultIconIndex)
{
    QString path = programPath.trimmed();
    if (!path.startsWith(QLatin1Char('"')))
        path = QLatin1Char('"') + path + QLatin1Char('"');
    const auto orDefault = [](const QString& text, const QString& fallback) {
        return text.isEmpty() ? fallback : text;
    };
    const auto set = [this](const QString& section, const QString& text) {
        m_sectionKey = section;
        SetClassValue(text);
    };

    try {
        m_valueKey.clear();
        m_valueType = REG_SZ;
        set(QLatin1Char('.') + fileExtension, className);
        set(className, classDescription);
        set(className + QStringLiteral("\\shell\\open"), orDefault(openMenuText, QStringLiteral("&Open")));
        set(className + QStringLiteral("\\shell\\open\\command"), path + QStringLiteral(" \"%1\""));
        if (supportsPrint) {
            set(className + QStringLiteral("\\shell\\print"), orDefault(printMenuText, QStringLiteral("&Print")));
            set(className + QStringLiteral("\\shell\\print\\command"), path + QStringLiteral(" /p \"%1\""));
        }
        if (supportsInstall) {
            set(className + QStringLiteral("\\shell\\add"),
                orDefault(installMenuText, QStringLiteral("&Install ") + fileExtension));
            set(className + QStringLiteral("\\shell\\add\\command"), path + QStringLiteral(" /a \"%1\""));
        }
        if (supportsNew) {
            set(className + QStringLiteral("\\shell\\new"), orDefault(newMenuText, QStringLiteral("&New")));
            set(className + QStringLiteral("\\shell\\new\\command"), path + QStringLiteral(" /n \"%1\""));
        }
        set(className + QStringLiteral("\\DefaultIcon"), path + QLatin1Char(',') + QString::number(defaultIconIndex));
    } catch (const core::Error&) {
        return false;
    }
    return true;
}

bool comRegistry::CreateAdditionalEXEAssociations(const QString& className, const QStringList& items)
{
    if (items.size() % 3 != 0)
        raise(kRegistryAssocListError,
              QStringLiteral("Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command"));
    m_classKey = HKEY_CLASSES_ROOT;
    m_sectionKey = className;
    if (!KeyExists())
        raise(kRegistryAssocClassError,
              QStringLiteral("Error - attempt to create additional associations before class defined."));
    m_valueKey.clear();
    m_valueType = REG_SZ;
    for (qsizetype i = 0; i + 2 < items.size(); i += 3) {
        m_sectionKey = className + QStringLiteral("\\shell\\") + items.at(i);
        SetClassValue(items.at(i + 1));
        m_sectionKey = className + QStringLiteral("\\shell\\") + items.at(i) + QStringLiteral("\\command");
        SetClassValue(items.at(i + 2));
    }
    m_sectionKey = className;
    return true;
}

core::Variant comRegistry::ValueEx(std::int32_t classKey, const QString& sectionKey, const QString& valueKey,
                                   std::int32_t valueType, const core::Variant& defaultValue)
{
    m_classKey = classKey;
    m_sectionKey = sectionKey;
    m_valueKey = valueKey;
    m_valueType = valueType;
    m_default = defaultValue;
    return Value();
}

void comRegistry::setValueEx(std::int32_t classKey, const QString& sectionKey, const QString& valueKey,
                             std::int32_t valueType, const core::Variant& defaultValue, const core::Variant& value)
{
    m_classKey = classKey;
    m_sectionKey = sectionKey;
    m_valueKey = valueKey;
    m_valueType = valueType;
    m_default = defaultValue;
    if (valueType == REG_SZ && value.toString().isEmpty())
        setValue(defaultValue);
    else
        setValue(value);
}

void comRegistry::SetClassValue(const core::Variant& value)
{
    const std::int32_t classKey = m_classKey;
    const QString sectionKey = m_sectionKey;
    struct Restore {
        comRegistry* self;
        std::int32_t classKey;
        QString sectionKey;
        ~Restore()
        {
            self->m_classKey = classKey;
            self->m_sectionKey = sectionKey;
        }
    } restore{this, classKey, sectionKey};

    m_classKey = HKEY_CLASSES_ROOT;
    setValue(value);
    m_classKey = HKEY_LOCAL_MACHINE;
    m_sectionKey = QStringLiteral("SOFTWARE\\Classes\\") + sectionKey;
    setValue(value);
}

std::uint32_t comRegistry::SwapEndian(std::uint32_t value)
{
    return ((value & 0x000000FFu) << 24) | ((value & 0x0000FF00u) << 8) | ((value & 0x00FF0000u) >> 8)
           | ((value & 0xFF000000u) >> 24);
}

QString comRegistry::ExpandEnvStr(const QString& text)
{
    // References to unknown variables stay as written, as the platform's expansion does.
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const auto lookup = [&](const QString& name, QString* value) {
        if (environment.contains(name)) {
            *value = environment.value(name);
            return true;
        }
        // Variable names are matched ignoring case.
        for (const QString& key : environment.keys()) {
            if (key.compare(name, Qt::CaseInsensitive) == 0) {
                *value = environment.value(key);
                return true;
            }
        }
        return false;
    };

    QString result;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('%'), pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0) {
            result += text.mid(pos);
            break;
        }
        result += text.mid(pos, open - pos);
        const QString name = text.mid(open + 1, close - open - 1);
        QString value;
        if (!name.isEmpty() && lookup(name, &value))
            result += value;
        else
            result += text.mid(open, close - open + 1);
        pos = close + 1;
    }
    // The expansion ends at the first NUL, as the platform's buffer does.
    const qsizetype nul = result.indexOf(QChar(u'\0'));
    return nul < 0 ? result : result.left(nul);
}

void comRegistry::raise(long number, const QString& description) const
{
    throw core::Error(number, description, executableName() + QStringLiteral(".comRegistry"));
}

QString comRegistry::setValueFailureText(const core::Variant& value) const
{
    return QStringLiteral("Failed to set registry value Key: '") + QString::number(m_classKey)
           + QStringLiteral("',Section: '") + m_sectionKey + QStringLiteral("',Key: '") + m_valueKey
           + QStringLiteral("' to value: '") + value.toString() + QLatin1Char('\'');
}

core::Variant LeggiRegistro(long hive, const QString& key, long valueType, const QString& valueName,
                            std::optional<core::Variant> defaultValue)
{
    comRegistry registry;
    // Handles arrive as signed or unsigned 32-bit numbers; both mean the same hive.
    registry.setClassKey(static_cast<std::int32_t>(static_cast<std::uint32_t>(hive)));
    registry.setSectionKey(key);
    registry.setValueType(static_cast<std::int32_t>(valueType));
    registry.setValueKey(valueName);
    if (defaultValue)
        registry.setDefault(*defaultValue);
    return registry.Value();
}

void ScriviRegistro(long hive, const QString& key, long valueType, const QString& valueName,
                    const core::Variant& value)
{
    comRegistry registry;
    registry.setClassKey(static_cast<std::int32_t>(static_cast<std::uint32_t>(hive)));
    registry.setSectionKey(key);
    registry.setValueKey(valueName);
    registry.setValueType(static_cast<std::int32_t>(valueType));
    registry.setValue(value);
}
