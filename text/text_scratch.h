// The shared buffer through which a dialog field, the shown target time, the local
// host name and each received network chunk pass (message texts pass through its
// wide twin). At most 99 characters and a terminator fit; a received chunk may
// fill all 100 bytes, being bounded by its count.
#ifndef TULVO_TEXT_SCRATCH_H
#define TULVO_TEXT_SCRATCH_H

constexpr int TEXT_SCRATCH_SIZE = 100;
extern char text_scratch[TEXT_SCRATCH_SIZE];

// Its twin for the texts the program shows through the wide functions.
extern wchar_t wide_text_scratch[TEXT_SCRATCH_SIZE];

#endif
