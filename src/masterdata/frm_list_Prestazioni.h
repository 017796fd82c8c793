#pragma once

#include "platform/core/Variant.h"

#include <array>
#include <cstdint>

// The service picker: the services of the price list for a client. The result
// holds description, VAT code and unit price; element 0 is Empty when nothing was picked.
class frm_list_Prestazioni {
public:
    static std::array<core::Variant, 3> Apri(std::int32_t cliId);
    static void Unload();
};
