#include "StbPictures.h"

#include "AreaReducer.h"
#include "BmpWriter.h"
#include "DdsLayout.h"
#include "FailureReason.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

// Static, so no other copy of stb in a program that links this one clashes.
// No thread-local failure text: see FailureReason.h for why.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_THREAD_LOCALS
#define STBI_FAILURE_USERMSG
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_ONLY_JPEG
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace korrad {
namespace {

// stb reads through callbacks, so every byte still comes through the source's
// checked reads and a file is never read whole into memory first.
class CallbackReader
{
public:
    explicit CallbackReader(ByteSource &source) : m_source(source) {}

    static const stbi_io_callbacks *callbacks()
    {
        static const stbi_io_callbacks table{&CallbackReader::read, &CallbackReader::skip, &CallbackReader::eof};
        return &table;
    }

private:
    static int read(void *user, char *data, int size)
    {
        auto &self = *static_cast<CallbackReader *>(user);
        const std::uint64_t left = self.m_source.size() - std::min(self.m_position, self.m_source.size());
        const std::size_t count = std::size_t(std::min<std::uint64_t>(left, std::uint64_t(std::max(size, 0))));
        if (count == 0 || !self.m_source.read(self.m_position, data, count))
            return 0;
        self.m_position += count;
        return int(count);
    }

    static void skip(void *user, int count)
    {
        auto &self = *static_cast<CallbackReader *>(user);
        if (count < 0)
            self.m_position -= std::min(self.m_position, std::uint64_t(-std::int64_t(count)));
        else
            self.m_position = std::min(self.m_position + std::uint64_t(count), self.m_source.size());
    }

    static int eof(void *user)
    {
        const auto &self = *static_cast<CallbackReader *>(user);
        return self.m_position >= self.m_source.size() ? 1 : 0;
    }

    ByteSource &m_source;
    std::uint64_t m_position = 0;
};

const char *stbReason()
{
    const char *reason = stbi_failure_reason();
    return reason && *reason ? reason : "no reason given";
}

struct PictureSize
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The size from the picture's header, checked against our bounds before a
// pixel is decoded.
std::optional<PictureSize> readPictureSize(ByteSource &source)
{
    CallbackReader reader(source);
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_callbacks(CallbackReader::callbacks(), &reader, &width, &height, &channels)) {
        refuse("is not a picture that can be read (DDS, PNG, JPEG, TGA or BMP): %s", stbReason());
        return std::nullopt;
    }
    if (width <= 0 || height <= 0) {
        refuse("has no pixels");
        return std::nullopt;
    }
    if (std::uint32_t(width) > MaxTextureSide || std::uint32_t(height) > MaxTextureSide) {
        refuse("is %d x %d pixels, larger than %u a side", width, height, unsigned(MaxTextureSide));
        return std::nullopt;
    }
    const std::uint64_t bytes = std::uint64_t(width) * std::uint64_t(height) * 4;
    if (bytes > MaxPictureBytes) {
        refuse("is %d x %d pixels, more than %u MiB to decode", width, height, unsigned(MaxPictureBytes >> 20));
        return std::nullopt;
    }
    return PictureSize{std::uint32_t(width), std::uint32_t(height)};
}

} // namespace

bool canReadPicture(ByteSource &source)
{
    return readPictureSize(source).has_value();
}

bool convertPicture(ByteSource &source, const ConversionRequest &request, ByteSink &sink)
{
    const auto size = readPictureSize(source);
    if (!size)
        return false;
    const auto plan = planOutput(size->width, size->height, 1, request);
    if (!plan)
        return refuse("cannot be planned for mode %d and size hint %d", int(request.mode), int(request.sizeHint));

    CallbackReader reader(source);
    int width = 0, height = 0, channels = 0;
    // Straight (not premultiplied) colours: alpha is dropped, not blended.
    const std::unique_ptr<stbi_uc, void (*)(void *)> pixels(
        stbi_load_from_callbacks(CallbackReader::callbacks(), &reader, &width, &height, &channels, STBI_rgb_alpha),
        stbi_image_free);
    if (!pixels)
        return refuse("cannot be decoded: %s", stbReason());
    if (std::uint32_t(width) != size->width || std::uint32_t(height) != size->height)
        return refuse("changed its size while it was read");

    BmpWriter writer(sink, request.grey);
    AreaReducer reducer(plan->width, plan->height, writer);
    if (!reducer.begin(size->width, size->height))
        return refuse("cannot be written as a bitmap");
    const std::size_t rowBytes = std::size_t(size->width) * 4;
    for (std::uint32_t y = size->height; y-- > 0;)
        if (!reducer.row(y, pixels.get() + y * rowBytes))
            return refuse("cannot be written: the target file failed");
    if (!reducer.finish())
        return refuse("cannot be written: the target file failed");
    return true;
}

} // namespace korrad
