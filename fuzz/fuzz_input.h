// Helpers shared by the fuzz targets: the fuzzer's bytes as an open puzzle
// file, an engine that prints nothing, the per-input budget, and the stack
// that tovik itself runs on.
#pragma once

#include <pthread.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
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

// An engine that prints nothing and stops each input within a budget: the
// compile phase after about 250,000 expression nodes, variables or range
// values (it polls IsCancel every 4096), the search after 20000 steps. Bigger
// puzzles are legitimate, but under the sanitizers they would make one input
// take seconds and gigabytes.
class SilentTovik : public CTovik {
public:
    static constexpr unsigned kCompilePolls = 64;
    static constexpr unsigned kSearchSteps = 20000;

    void Output(const char*) override {}
    void OnWarning(const char*) override {}  // random bytes are often almost UTF-8
    bool IsCancel() override {
        return m_searching ? ++m_steps > kSearchSteps : ++m_compilePolls > kCompilePolls;
    }
    // The search reports progress at every step, after polling IsCancel.
    void OnProgress(unsigned) override { m_searching = true; }

private:
    bool m_searching = false;
    unsigned m_compilePolls = 0;
    unsigned m_steps = 0;
};

// Runs `work` on a thread with the stack tovik gives the interpreter (4 GiB,
// touched only as deep as a puzzle goes), so that an expansion into a chain
// hundreds of thousands of levels deep is walked here as it is there.
inline void OnInterpreterStack(const std::function<void()>& work) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_t thread;
    auto run = [](void* arg) -> void* {
        (*static_cast<const std::function<void()>*>(arg))();
        return nullptr;
    };
    const bool started =
        pthread_attr_setstacksize(&attr, size_t{4096} << 20) == 0 &&
        pthread_create(&thread, &attr, run, const_cast<std::function<void()>*>(&work)) == 0;
    pthread_attr_destroy(&attr);
    if (started)
        pthread_join(thread, nullptr);
    else
        work();
}

}  // namespace tovik_fuzz
