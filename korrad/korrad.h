#pragma once

/* The texture conversion library: turns a texture or picture file into a
   24-bit BMP. Every entry point takes zero-terminated 8-bit paths and answers
   non-zero for yes or success. */

#include <stdint.h>

#if defined(_WIN32)
#  if defined(KORRAD_BUILDING)
#    define KORRAD_API __declspec(dllexport)
#  else
#    define KORRAD_API __declspec(dllimport)
#  endif
#else
#  define KORRAD_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The modes and size hints the conversion entry points take. A preview with
   a size hint needs no more than korrad_preview_side(hint) pixels on its
   longer side; KORRAD_FULL_SIZE asks for the picture as it is stored. */
enum { KORRAD_MODE_PREVIEW = 1, KORRAD_MODE_EXPORT = 2 };
enum { KORRAD_FULL_SIZE = 0, KORRAD_HINT_LARGE = 1, KORRAD_HINT_MEDIUM = 2, KORRAD_HINT_SMALL = 3 };

/* The longer side a size hint asks for, 0 for full size, -1 for a hint the
   library does not know. */
static inline int32_t korrad_preview_side(int32_t sizeHint)
{
    switch (sizeHint) {
    case KORRAD_FULL_SIZE: return 0;
    case KORRAD_HINT_LARGE: return 512;
    case KORRAD_HINT_MEDIUM: return 128;
    case KORRAD_HINT_SMALL: return 64;
    default: return -1;
    }
}

/* Non-zero when the file can be converted; judged from its header and length. */
KORRAD_API unsigned char _Pic_Valid(const char *source);

/* Writes the picture of `source` to `target` as a BMP. `workArea` is the
   caller's 1024-byte block (unused). `mode` is 1 for a preview, 2 for an
   export; `sizeHint` 0 asks for full size, 1, 2 and 3 for previews whose
   longer side needs no more than 512, 128 and 64 pixels. */
KORRAD_API unsigned char _anytobmps(const char *source, const char *target, void *workArea,
                                    int32_t mode, int32_t sizeHint);

/* The same, written in grey. */
KORRAD_API unsigned char _anytogrey(const char *source, const char *target, void *workArea,
                                    int32_t mode, int32_t sizeHint);

/* Why the calling thread's last call above answered 0, as words to put after
   the source's name ("is not a regular file"); the empty text after a
   success. Never null. Each thread has its own reason, so threads may convert
   at once; the text stays valid until the thread's next call into the
   library. */
KORRAD_API const char *_Pic_FailureReason(void);

#ifdef __cplusplus
}
#endif
