// Entry point of `tovik`: tovik PUZZLE [OPTION].
// Exit status: 0 when the search ran, 1 for a missing argument, an unreadable
// file or a compile error, 2 when memory runs out (the scanner's own fatal
// errors also exit with 2).
#include <sys/stat.h>

#include <cstdio>
#include <new>

#include "engine/messages.h"
#include "engine/mylog.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(Text(Msg::NeedFileName), stdout);
        return 1;
    }
    FILE* file = std::fopen(argv[1], "rb");
    struct stat info {};
    if (file != nullptr && (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode))) {
        std::fclose(file);
        file = nullptr;
    }
    if (file == nullptr) {
        std::fputs(Text(Msg::CannotOpen), stdout);
        return 1;
    }
    try {
        MyLog engine(argc > 2 ? argv[2] : nullptr);
        bool searched = engine.Run(file);
        std::fflush(stdout);
        return searched ? 0 : 1;
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fputs("tovik: out of memory\n", stderr);
        return 2;
    }
}
