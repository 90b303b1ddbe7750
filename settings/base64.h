// Standard Base64 (RFC 4648 section 4, "=" padding, no line breaks) with a strict,
// all-or-nothing decoder. Neither function writes a terminator.
#ifndef TULVO_BASE64_H
#define TULVO_BASE64_H

#include <cstddef>
#include <string>

// Writes 4 * ceil(length / 3) characters to output and returns that count.
std::size_t base64_encode(const unsigned char* input, std::size_t length, char* output);

// Writes at most 3 * (length / 4) bytes to output and returns their count.
// Any rejected input gives 0: fewer than 4 characters, a length that is not a
// multiple of 4, a character outside the alphabet, or more "=" than the bytes
// the groups carry.
std::size_t base64_decode(const char* input, std::size_t length, unsigned char* output);

// Base64 of all bytes of a text, as a string.
std::string base64_of_text(const std::string& text);

#endif
