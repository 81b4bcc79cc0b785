// The built-in icons' data: generated from the pixel sources in data/icons by corvex-icongen.
#include "display/icons.h"

#include <cstdint>

#include "icons/icons.inc"
