#include "korrad.h"

#include "ByteSink.h"
#include "ByteSource.h"
#include "DdsConversion.h"
#include "DdsLayout.h"
#include "FailureReason.h"
#include "StbPictures.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
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

bool canReadDds(ByteSource &file)
{
    return readDdsLayout(file).has_value() || refuse("is a DDS texture of a kind or size that cannot be read");
}

bool isValid(const char *source)
{
    if (!source || !*source)
        return refuse("has no name");
    FileByteSource file(source);
    if (!file.isOpen())
        return false;
    return hasDdsMagic(file) ? canReadDds(file) : canReadPicture(file);
}

bool convert(const char *source, const char *target, std::int32_t mode, std::int32_t sizeHint, bool grey)
{
    if (!source || !*source)
        return refuse("has no name");
    if (!target || !*target)
        return refuse("has no target named");
    if (sameFile(source, target))
        return refuse("is its own target");
    const ConversionRequest request{mode, sizeHint, grey};
    if (!isSupportedRequest(request))
        return refuse("cannot be converted with mode %d and size hint %d", int(mode), int(sizeHint));
    FileByteSource file(source);
    if (!file.isOpen())
        return false;
    const bool dds = hasDdsMagic(file);
    if (dds ? !canReadDds(file) : !canReadPicture(file))
        return false;

    FileByteSink sink(target);
    if (!sink.isOpen())
        return refuse("cannot be written to %s: %s", target, std::strerror(errno));
    bool written = dds ? convertDds(file, request, sink) : convertPicture(file, request, sink);
    if (!written)
        refuse("cannot be decoded");
    if (!sink.close() && written)
        written = refuse("cannot be written to %s: the write failed", target);
    if (!written)
        std::remove(target);
    return written;
}

// Nothing may unwind into a C caller.
template <typename Work>
unsigned char guarded(Work work)
{
    clearFailure();
    try {
        return work() ? 1 : 0;
    } catch (const std::bad_alloc &) {
        refuse("needs more memory than there is");
    } catch (...) {
        refuse("cannot be read: the library failed inside");
    }
    return 0;
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

KORRAD_API const char *_Pic_FailureReason(void)
{
    return failureReason();
}

} // extern "C"
