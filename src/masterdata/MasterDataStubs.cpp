// Stand-ins until the entry forms land: they open nothing and return Null.
#include "masterdata/frm_io_Clienti.h"
#include "masterdata/frm_io_IVA.h"
#include "masterdata/frm_io_Pagamenti.h"
#include "masterdata/frm_io_Prestazioni.h"
#include "masterdata/frm_list_Prestazioni.h"

core::Variant frm_io_Clienti::Nuovo(std::int32_t) { return core::Variant::null(); }
core::Variant frm_io_Clienti::Apri(std::int32_t, std::int32_t) { return core::Variant::null(); }
void frm_io_Clienti::Unload() {}
core::Variant frm_io_Pagamenti::Nuovo(std::int32_t) { return core::Variant::null(); }
core::Variant frm_io_Pagamenti::Apri(std::int32_t, std::int32_t) { return core::Variant::null(); }
void frm_io_Pagamenti::Unload() {}
core::Variant frm_io_IVA::Nuovo(std::int32_t) { return core::Variant::null(); }
core::Variant frm_io_IVA::Apri(const QString&, std::int32_t) { return core::Variant::null(); }
void frm_io_IVA::Unload() {}
core::Variant frm_io_Prestazioni::Nuovo(std::int32_t, std::optional<std::int32_t>) { return core::Variant::null(); }
core::Variant frm_io_Prestazioni::Apri(std::int32_t, std::int32_t) { return core::Variant::null(); }
void frm_io_Prestazioni::Unload() {}
std::array<core::Variant, 3> frm_list_Prestazioni::Apri(std::int32_t) { return {}; }
void frm_list_Prestazioni::Unload() {}
