// The standard DirectX File templates, registered before any .x file is opened.
#pragma once

#include <cstddef>

extern const char XFileTemplates[];
extern const size_t XFileTemplatesSize;  // bytes, without the terminating zero
