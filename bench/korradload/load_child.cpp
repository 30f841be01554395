// bench_korrad_load_child LIBRARY SOURCE TARGET
//
// One fresh process's first picture: prints the microseconds from before
// dlopen until the first BMP is written (dlopen, _Pic_Valid, _anytobmps at
// the 512-pixel preview hint), then the part of it that dlopen alone took.

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <time.h>

namespace {

double nowUs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    const double start = nowUs();
    void *library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    const double loaded = nowUs();
    if (!library)
        return 1;
    using Valid = unsigned char (*)(const char *);
    using Convert = unsigned char (*)(const char *, const char *, void *, std::int32_t, std::int32_t);
    const auto valid = reinterpret_cast<Valid>(dlsym(library, "_Pic_Valid"));
    const auto convert = reinterpret_cast<Convert>(dlsym(library, "_anytobmps"));
    unsigned char workArea[1024] = {};
    if (!valid || !convert || !valid(argv[2]) || !convert(argv[2], argv[3], workArea, 1, 1))
        return 1;
    const double done = nowUs();
    std::printf("%.1f %.1f\n", done - start, loaded - start);
    return 0;
}
