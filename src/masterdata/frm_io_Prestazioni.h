#pragma once

#include "platform/core/Variant.h"

#include <cstdint>
#include <optional>

// Service (price list) entry form. A new service may be offered for one client.
class frm_io_Prestazioni {
public:
    static core::Variant Nuovo(std::int32_t nMode, std::optional<std::int32_t> cliId = std::nullopt);
    static core::Variant Apri(std::int32_t key, std::int32_t nMode);
    static void Unload();
};
