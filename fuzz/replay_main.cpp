// Replays files through a fuzz target without the fuzzing engine, so the
// normal build (and its sanitizer build) runs every input that once crashed or
// hung. Arguments are files or folders; each file is one input. Fails when an
// input takes longer than the limit, which stands in for the fuzzer's timeout.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// Seconds one input may take; TOVIK_REPLAY_SECONDS overrides it (slow builds).
double SecondsAllowed() {
    const char* text = std::getenv("TOVIK_REPLAY_SECONDS");
    return text != nullptr ? std::atof(text) : 10.0;
}

bool Replay(const std::filesystem::path& path, double allowed) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto start = std::chrono::steady_clock::now();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%-60s %8.3f s\n", path.filename().c_str(), took.count());
    if (took.count() <= allowed) return true;
    std::fprintf(stderr, "%s took %.1f s (limit %.1f s)\n", path.c_str(), took.count(), allowed);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const double allowed = SecondsAllowed();
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path arg = argv[i];
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file() && entry.path().filename() != "README.md")
                    files.push_back(entry.path());
        } else {
            files.push_back(arg);
        }
    }
    std::sort(files.begin(), files.end());
    bool ok = true;
    for (const auto& file : files) ok = Replay(file, allowed) && ok;
    std::printf("%zu inputs replayed\n", files.size());
    return ok ? 0 : 1;
}
