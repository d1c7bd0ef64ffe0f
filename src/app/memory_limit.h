// The memory cap of tovik: the address space the whole process may use, so
// that a puzzle whose compile phase or search multiplies out ends with
// "tovik: out of memory" instead of the machine swapping or the kernel
// killing the process.
#pragma once

#include <cstdint>
#include <optional>

// "512M", "4G", "1.5G", "65536K", "1T" or a plain number of bytes; K, M, G
// and T are powers of 1024 and may be followed by "B" or "iB". None when the
// text is not a size.
std::optional<uint64_t> ParseMemorySize(const char* text);

// The physical memory less a margin for the rest of the machine (an eighth,
// at least 256 MiB), or less when the process already runs under a lower
// address-space limit or a lower control-group memory limit.
uint64_t DefaultMemoryLimit();

// Caps the process's address space at `bytes` (never above a limit it
// already has). False when the cap cannot be set; it is not set at all in
// builds whose sanitizers reserve the address space up front.
bool ApplyMemoryLimit(uint64_t bytes);
