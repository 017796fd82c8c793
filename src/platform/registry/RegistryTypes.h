#pragma once

#include <cstdint>

namespace reg {

// Root hive handles, with fixed numbers.
// They are signed 32-bit values (HKEY_CURRENT_USER is -2147483647), as the
// program keeps them in its 32-bit integers and writes them in messages.
constexpr std::int32_t HKEY_CLASSES_ROOT = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t HKEY_CURRENT_USER = static_cast<std::int32_t>(0x80000001u);
constexpr std::int32_t HKEY_LOCAL_MACHINE = static_cast<std::int32_t>(0x80000002u);
constexpr std::int32_t HKEY_USERS = static_cast<std::int32_t>(0x80000003u);
constexpr std::int32_t HKEY_PERFORMANCE_DATA = static_cast<std::int32_t>(0x80000004u);
constexpr std::int32_t HKEY_CURRENT_CONFIG = static_cast<std::int32_t>(0x80000005u);
constexpr std::int32_t HKEY_DYN_DATA = static_cast<std::int32_t>(0x80000006u);

// Value types.
constexpr std::int32_t REG_NONE = 0;
constexpr std::int32_t REG_SZ = 1;
constexpr std::int32_t REG_EXPAND_SZ = 2;
constexpr std::int32_t REG_BINARY = 3;
constexpr std::int32_t REG_DWORD = 4;
constexpr std::int32_t REG_DWORD_LITTLE_ENDIAN = 4;
constexpr std::int32_t REG_DWORD_BIG_ENDIAN = 5;
constexpr std::int32_t REG_LINK = 6;
constexpr std::int32_t REG_MULTI_SZ = 7;
constexpr std::int32_t REG_QWORD = 11;

// Outcome of a store operation.
enum class Status {
    Success,
    NotFound,     // the key or value does not exist
    InvalidHive,  // not one of the predefined root handles
    HasSubkeys,   // a key with subkeys cannot be deleted (delete them first)
    Busy,         // another program held the store's lock for too long
    IoError,      // the store file could not be read or written
    NotAvailable, // remote registries do not exist here
};

} // namespace reg
