// Built as part of files/ by the layering test, which expects it not to build: a
// feature folder sees neither another feature's headers nor the module's wiring.
#include "image/image_info.h"
