// A window file that reaches past the domain: the build check must name it.
#include "domain/LayoutStore.h"
  #  include "platform/database/Recordset.h"
