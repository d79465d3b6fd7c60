// The "Screen N" subkey that keeps one monitor's display settings.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/host_tables.h"

// Writes the adapter's mode and "Adapter ID" into the subkey of monitor `monitorIndex` under
// `key`, creating it; withChoices adds "Leave Black" and "Disable Hardware". True when every
// value went through.
bool WriteScreenKey(HKEY key, uint32_t monitorIndex, const AdapterRecord& adapter,
                    bool withChoices);
