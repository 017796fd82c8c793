// Stand-in until the document editor lands.
#include "documents/frm_fattura.h"

void frm_fattura::Nuovo(std::int32_t) {}
void frm_fattura::Modifica(std::int32_t) {}
bool frm_fattura::IsLoaded() { return false; }
void frm_fattura::Unload() {}
