// Helpers shared by the fuzz targets: the fuzzer's bytes as an open puzzle
// file, and an engine that prints nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/tovik.h"

namespace tovik_fuzz {

// The bytes as a read-only stream; `storage` must outlive it. An empty input
// is /dev/null, since a memory stream cannot be empty.
inline FILE* OpenBytes(const uint8_t* data, size_t size, std::vector<char>& storage) {
    if (size == 0) return std::fopen("/dev/null", "rb");
    storage.assign(data, data + size);
    return fmemopen(storage.data(), storage.size(), "rb");
}

class SilentTovik : public CTovik {
public:
    void Output(const char*) override {}
    void OnWarning(const char*) override {}  // random bytes are often almost UTF-8
};

}  // namespace tovik_fuzz
