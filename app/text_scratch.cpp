#include "app/text_scratch.h"

char text_scratch[TEXT_SCRATCH_SIZE];
