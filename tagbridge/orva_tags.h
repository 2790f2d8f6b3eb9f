/*
 * orva_tags: Ogg Vorbis comments and Windows Media attributes behind a C
 * interface.
 *
 * Every record that crosses this interface is allocated and freed by the
 * library. The caller copies what it needs and frees nothing:
 *   - the Ogg read records live until OGG_EndReadTags (or the next
 *     OGG_BeginReadTags);
 *   - a WmaAttribute lives until the next WMA_GetTagByIndex or WMA_End.
 *
 * Text: 8-bit text on this interface is UTF-8; paths are the file system's
 * bytes. UTF-16 strings are sequences of uint16_t units, zero-terminated.
 *
 * The state behind the calls is process-wide and unguarded: one Ogg read,
 * one Ogg write list and one Windows Media file at a time, from one thread.
 * No C++ exception leaves any of these functions.
 */
#ifndef ORVA_TAGS_H
#define ORVA_TAGS_H

#include <stdint.h>

#if defined(ORVA_TAGS_BUILD)
#define ORVA_EXPORT __attribute__((visibility("default")))
#else
#define ORVA_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Stream values of the first logical stream of an Ogg Vorbis file. */
typedef struct OggHeaderInfo {
  int32_t Valid;          /* 1 when the three Vorbis headers were read, else 0 (and all fields 0) */
  int32_t Channels;       /* from the identification header */
  int32_t SampleRate;     /* Hz */
  int32_t NominalBitrate; /* bit/s; 0 or negative when the stream states none */
  int32_t FileSize;       /* bytes */
  int32_t Duration;       /* whole seconds; -1 when unknown */
} OggHeaderInfo;

/* The comment header of the first logical stream. */
typedef struct OggTagsInfo {
  int32_t Count;  /* number of entries in Comments */
  char* Comments; /* Count zero-terminated NAME=value entries, one after the other,
                     then one more zero byte; null when Count is 0 */
  char* Vendor;   /* zero-terminated vendor text; null when it is empty */
} OggTagsInfo;

/* One attribute of a Windows Media file. */
typedef struct WmaAttribute {
  int32_t Type;        /* 0 uint32 LE, 1 UTF-16 string, 2 binary, 3 boolean,
                          4 uint64, 5 uint16, 6 GUID */
  uint16_t* Name;      /* buffer of 520 units holding the zero-terminated name */
  int32_t NameLength;  /* name length in UTF-16 units as reported, terminator included */
  uint8_t* Value;      /* ValueLength bytes, or null when empty or not fetched */
  int32_t ValueLength; /* value length in bytes */
} WmaAttribute;

/* Ogg Vorbis: reading. */
ORVA_EXPORT void OGG_BeginReadTags(const char* path);
ORVA_EXPORT OggHeaderInfo* OGG_GetHeaderInfo(void);
ORVA_EXPORT OggTagsInfo* OGG_GetTagsInfo(void);
ORVA_EXPORT void OGG_EndReadTags(void);

/* Ogg Vorbis: replacing the comments of a file. */
ORVA_EXPORT void OGG_BeginWriteTags(void);
ORVA_EXPORT void* OGG_AddTag(const char* name, const char* value);
ORVA_EXPORT void OGG_AddVendor(const char* vendor);
ORVA_EXPORT int32_t OGG_EndWriteTags(const char* path);

/* Windows Media attributes. */
/* Opens the file (one at a time): its size in bytes, 0 on failure. Read the
   result as unsigned: files of 2 GiB and more give negative numbers, and
   4 GiB and more give 0xFFFFFFFF. */
ORVA_EXPORT int32_t WMA_Begin(const uint16_t* path);
/* The number of attributes, -1 when no file is open. */
ORVA_EXPORT int32_t WMA_GetTagsCount(void);
/* Attribute number index (low 16 bits); null past the count or when no file is open. */
ORVA_EXPORT WmaAttribute* WMA_GetTagByIndex(uint32_t index);
/* Gives the attribute of that name (letter case ignored) this value, or adds
   it: 1, or 0 when the value does not fit the type or the file's header
   cannot be rewritten. The file is written by WMA_End. */
ORVA_EXPORT int32_t WMA_SetTag(const uint16_t* name, int32_t type, const uint8_t* value, uint16_t length);
/* Frees the record and closes the file, writing it first when attributes
   were set: a new header in a temporary file beside it, renamed over it. */
ORVA_EXPORT void WMA_End(void);

#ifdef __cplusplus
}
#endif

#endif
