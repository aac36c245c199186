// KDE vocabulary documents: any bytes are refused with a reason or give rows.
#include <cstdint>

#include "import_check.h"

KX_IMPORT_FUZZ(exchange::readKvtml)
