#include "text/text_scratch.h"

char text_scratch[TEXT_SCRATCH_SIZE];
wchar_t wide_text_scratch[TEXT_SCRATCH_SIZE];
