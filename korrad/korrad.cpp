#include "korrad.h"

#include "ByteSink.h"
#include "ByteSource.h"
#include "DdsConversion.h"
#include "DdsLayout.h"
#include "QtPictures.h"

#include <cstdio>
#include <filesystem>
#include <new>

namespace {

using namespace korrad;

bool sameFile(const char *source, const char *target)
{
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::path(source), std::filesystem::path(target), error)
           && !error;
}

bool isValid(const char *source)
{
    if (!source || !*source)
        return false;
    FileByteSource file(source);
    if (!file.isOpen())
        return false;
    if (hasDdsMagic(file))
        return readDdsLayout(file).has_value();
    return canReadQtPicture(source);
}

bool convert(const char *source, const char *target, std::int32_t mode, std::int32_t sizeHint, bool grey)
{
    if (!source || !target || !*source || !*target || sameFile(source, target))
        return false;
    const ConversionRequest request{mode, sizeHint, grey};
    if (!isSupportedRequest(request))
        return false;
    FileByteSource file(source);
    if (!file.isOpen())
        return false;
    const bool dds = hasDdsMagic(file);
    if (dds ? !readDdsLayout(file) : !canReadQtPicture(source))
        return false;

    FileByteSink sink(target);
    if (!sink.isOpen())
        return false;
    bool written = dds ? convertDds(file, request, sink) : convertQtPicture(source, request, sink);
    written = sink.close() && written;
    if (!written)
        std::remove(target);
    return written;
}

// Nothing may unwind into a C caller.
template <typename Work>
unsigned char guarded(Work work)
{
    try {
        return work() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

} // namespace

extern "C" {

KORRAD_API unsigned char _Pic_Valid(const char *source)
{
    return guarded([&] { return isValid(source); });
}

KORRAD_API unsigned char _anytobmps(const char *source, const char *target, void *, int32_t mode, int32_t sizeHint)
{
    return guarded([&] { return convert(source, target, mode, sizeHint, false); });
}

KORRAD_API unsigned char _anytogrey(const char *source, const char *target, void *, int32_t mode, int32_t sizeHint)
{
    return guarded([&] { return convert(source, target, mode, sizeHint, true); });
}

} // extern "C"
