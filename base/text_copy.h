// Bounded copy of a zero-terminated text.
#pragma once

#include <cstddef>

// Copies source into destination. count == (size_t)-1 copies the whole text with its
// terminator; any other count copies at most count - 1 characters, pads with zeros like
// strncpy and always terminates. Missing arguments or a zero count do nothing.
void CopyText(char* destination, const char* source, size_t count);
