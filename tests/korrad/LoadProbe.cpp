// korrad_load_probe LIBRARY SOURCE TARGET
//
// Loads the conversion library as a program without Qt does (the file
// managers' thumbnailer, the command line) and converts one picture. Ends
// with 0 when the BMP was written; otherwise prints why.

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: korrad_load_probe LIBRARY SOURCE TARGET\n");
        return 2;
    }
    void *library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    using Valid = unsigned char (*)(const char *);
    using Convert = unsigned char (*)(const char *, const char *, void *, std::int32_t, std::int32_t);
    using Reason = const char *(*)();
    const auto valid = reinterpret_cast<Valid>(dlsym(library, "_Pic_Valid"));
    const auto convert = reinterpret_cast<Convert>(dlsym(library, "_anytobmps"));
    const auto reason = reinterpret_cast<Reason>(dlsym(library, "_Pic_FailureReason"));
    if (!valid || !convert) {
        std::fprintf(stderr, "an entry point is missing\n");
        return 1;
    }
    unsigned char workArea[1024] = {};
    const bool written = valid(argv[2]) && convert(argv[2], argv[3], workArea, 1, 1);
    if (!written)
        std::fprintf(stderr, "%s %s\n", argv[2], reason ? reason() : "was refused");
    dlclose(library);
    return written ? 0 : 1;
}
