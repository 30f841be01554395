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

/* Why the last call above answered 0, as words to put after the source's
   name ("is not a regular file"); the empty text after a success. Never
   null. The text stays valid until the next call into the library. */
KORRAD_API const char *_Pic_FailureReason(void);

#ifdef __cplusplus
}
#endif
