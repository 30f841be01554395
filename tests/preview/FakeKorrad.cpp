// A stand-in conversion library for the preview's tests. It logs every call
// to the file named by FAKE_KORRAD_LOG and answers as the environment says:
//   FAKE_KORRAD_SIZE     "WxH" of the BMP it writes (default 64x64)
//   FAKE_KORRAD_VALID    "0": _Pic_Valid refuses (it always refuses an empty path)
//   FAKE_KORRAD_CONVERT  "0": the conversion writes a stub and fails
//   FAKE_KORRAD_GARBAGE  "1": the conversion writes no BMP but succeeds
// The picture is red on its left half and blue on its right (grey in grey).

#define KORRAD_BUILDING
#include "korrad.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// The declarations come from the real library's header, so a stand-in that
// drifted from it would not compile.
#define FAKE_EXPORT extern "C" KORRAD_API

namespace {

const char *setting(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

void log(const std::string &line)
{
    const char *path = setting("FAKE_KORRAD_LOG");
    if (!*path)
        return;
    if (std::FILE *file = std::fopen(path, "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

void put(std::vector<std::uint8_t> &bytes, std::size_t at, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
}

bool writeBmp(const char *target, int width, int height, bool grey)
{
    const int stride = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> bytes(54 + std::size_t(stride) * std::size_t(height), 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(bytes, 2, std::uint32_t(bytes.size()), 4);
    put(bytes, 10, 54, 4);
    put(bytes, 14, 40, 4);
    put(bytes, 18, std::uint32_t(width), 4);
    put(bytes, 22, std::uint32_t(height), 4);
    put(bytes, 26, 1, 2);
    put(bytes, 28, 24, 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t *p = bytes.data() + 54 + std::size_t(y) * std::size_t(stride) + std::size_t(x) * 3;
            const bool left = x < width / 2;
            if (grey) {
                p[0] = p[1] = p[2] = left ? 76 : 29;
            } else {
                p[0] = left ? 0 : 255; // blue
                p[2] = left ? 255 : 0; // red
            }
        }
    std::FILE *file = std::fopen(target, "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

unsigned char convert(const char *entry, const char *source, const char *target, void *workArea, std::int32_t mode,
                      std::int32_t hint)
{
    std::FILE *existing = std::fopen(target, "rb");
    const bool targetExisted = existing != nullptr;
    if (existing)
        std::fclose(existing);
    const bool zeroedWork = workArea && *static_cast<unsigned char *>(workArea) == 0;
    log(std::string(entry) + "|" + source + "|" + target + "|" + std::to_string(mode) + "|" + std::to_string(hint) + "|"
        + (targetExisted ? "existed" : "new") + "|" + (zeroedWork ? "work" : "nowork"));

    if (std::strcmp(setting("FAKE_KORRAD_GARBAGE"), "1") == 0) {
        std::FILE *file = std::fopen(target, "wb");
        if (file) {
            std::fputs("not a bitmap", file);
            std::fclose(file);
        }
        return 1;
    }
    if (std::strcmp(setting("FAKE_KORRAD_CONVERT"), "0") == 0) {
        std::FILE *file = std::fopen(target, "wb");
        if (file) {
            std::fputs("BM", file);
            std::fclose(file);
        }
        return 0;
    }
    int width = 64, height = 64;
    std::sscanf(setting("FAKE_KORRAD_SIZE"), "%dx%d", &width, &height);
    return writeBmp(target, width, height, std::strcmp(entry, "grey") == 0) ? 1 : 0;
}

} // namespace

#ifndef FAKE_KORRAD_WITHOUT_VALID
FAKE_EXPORT unsigned char _Pic_Valid(const char *source)
{
    log(std::string("valid|") + source);
    return !*source || std::strcmp(setting("FAKE_KORRAD_VALID"), "0") == 0 ? 0 : 1;
}
#endif

FAKE_EXPORT unsigned char _anytobmps(const char *source, const char *target, void *workArea, std::int32_t mode,
                                     std::int32_t hint)
{
    return convert("colour", source, target, workArea, mode, hint);
}

#ifndef FAKE_KORRAD_WITHOUT_GREY
FAKE_EXPORT unsigned char _anytogrey(const char *source, const char *target, void *workArea, std::int32_t mode,
                                     std::int32_t hint)
{
    return convert("grey", source, target, workArea, mode, hint);
}
#endif
