/*
 * unzip32.h - the interface of the archive library unzip32.
 *
 * A plain C interface: two entries, three records and the callbacks the library makes while it
 * runs. On 32-bit Windows every entry and callback uses the standard calling convention (the
 * called routine removes its arguments), the entries are exported under their plain names, and the
 * records have the fixed 32-bit layout checked at the end of this file: 32-bit little-endian
 * integers, 4-byte alignment, every text a pointer to a zero-terminated string in the system's
 * 8-bit (ANSI) code page, a missing text a null pointer. On 64-bit targets the same declarations
 * give the natural 64-bit layout.
 */
#ifndef UNZIP32_H
#define UNZIP32_H

#include <stdint.h>

#ifdef _WIN32
#define UZ_CALL __stdcall
#ifdef UNZIP32_BUILDING
#define UZ_EXPORT __declspec(dllexport)
#else
#define UZ_EXPORT __declspec(dllimport)
#endif
#else
#define UZ_CALL
#define UZ_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The library's own version, as UzpVersion2 reports it. */
#define UNZIP32_VERSION_MAJOR 1
#define UNZIP32_VERSION_MINOR 0
#define UNZIP32_VERSION_PATCH 0
#define UNZIP32_VERSION_DATE  "2026-12-07"

/* Status returned by Wiz_SingleEntryUnzip. When several things go wrong in one run the highest
 * number wins, with one exception: UZ_UNSUPPORTED is only returned when no selected entry could
 * be handled at all; when others could, an unsupported entry counts as a bad one (UZ_BAD_ENTRIES).
 * Every entry that can be handled is handled, whatever happened to the others, except after
 * UZ_DAMAGED, UZ_NO_ARCHIVE, UZ_BAD_PARAMS and UZ_INTERNAL, which stop the run before any file is
 * written. */
#define UZ_OK            0  /* success */
#define UZ_WARNING       1  /* warnings only: something skipped or renamed (an unsafe name
                               repaired, an existing file left, an encrypted entry without a
                               password, an archive without entries, a run the service routine stopped) */
#define UZ_BAD_ENTRIES   2  /* some entries bad: CRC mismatch, data that do not match their
                               recorded size, unsupported method; such an entry is not written */
#define UZ_DAMAGED       3  /* the archive is damaged: unreadable central directory (a damaged
                               record, none or more than one that holds the archive's entries),
                               entries whose data overlap (a "zip bomb"); nothing is written */
#define UZ_INTERNAL      4  /* out of memory, or another failure inside the library (an exception
                               thrown by one of the caller's routines included, where the platform
                               can carry it into the library: not in 32-bit MinGW programs, whose
                               modules unwind separately; routines should not throw); the run
                               stopped */
#define UZ_NO_ARCHIVE    9  /* the archive is missing or is not a ZIP archive */
#define UZ_BAD_PARAMS   10  /* bad parameters: a null record or archive path, a negative count, a
                               null name array or a null name within the counted names */
#define UZ_NO_MATCH     11  /* the include or exclude lists left no entry to handle */
#define UZ_DISK_FULL    50  /* the disk is full or a write failed: the target folder or a folder
                               in it cannot be created, a file cannot be written or replaced (a
                               read-only file is never replaced), an entry is larger than the
                               free space left beside the files still being written (refused
                               before any of it is written) */
#define UZ_UNSUPPORTED  81  /* unsupported compression or encryption, for every selected entry */
#define UZ_BAD_PASSWORD 82  /* wrong password for an encrypted entry */

/* Answers of the replace callback. */
#define IDM_REPLACE_NO     100 /* leave this file */
#define IDM_REPLACE_TEXT   101 /* reserved, treated as "leave this file" */
#define IDM_REPLACE_YES    102 /* overwrite this file */
#define IDM_REPLACE_ALL    103 /* overwrite this file and every later one */
#define IDM_REPLACE_NONE   104 /* overwrite no file from now on */

/* Called with each message the library prints: one line, in English, ending in a line feed,
 * in the system's 8-bit code page (UTF-8 outside Windows). `length` counts the bytes without the
 * NUL that follows them. How many messages come depends on DCL.fQuiet. The result is ignored. */
typedef int32_t (UZ_CALL *UzpPrintFn)(char *text, uint32_t length);

/* Called once when an extraction or a test ends (not after a listing), to let the caller make a
 * sound. */
typedef void (UZ_CALL *UzpSoundFn)(void);

/* Asked when a file to be written already exists, with the file's full path (system 8-bit code
 * page), when DCL.PromptToOverwrite is set and DCL.noflag is not. Answers with an IDM_REPLACE_
 * value; any other answer leaves the file. */
typedef int32_t (UZ_CALL *UzpReplaceFn)(char *existing_name);

/* Asked for the password of each encrypted entry, with a buffer of `size` bytes, a prompt and the
 * entry's name. An answer of 0 means the buffer holds a zero-terminated password; any other answer
 * skips the entry with a warning. Without this routine encrypted entries are skipped. */
typedef int32_t (UZ_CALL *UzpPasswordFn)(char *buffer, int32_t size, const char *prompt,
                                         const char *entry_name);

/* Called once per selected entry, folders included, when listing (nvflag set): sizes (at most
 * 0xFFFFFFFF), the space saved by compression in percent, the local modification month (1-12),
 * day, year (four digits), hour and minute, a mark ('*' for an encrypted entry, else ' '), the
 * entry's name as stored (system 8-bit code page), the compression method's name ("Stored",
 * "Deflated", ...), its CRC-32, and 'E' for an encrypted entry (else ' '). Every argument
 * travels as a 32-bit value. */
typedef void (UZ_CALL *UzpApplicationMessageFn)(uint32_t uncompressed_size,
                                                uint32_t compressed_size,
                                                uint32_t compression_factor,
                                                uint32_t month, uint32_t day, uint32_t year,
                                                uint32_t hour, uint32_t minute, char mark,
                                                char *name, char *method, uint32_t crc,
                                                char encrypted);

/* The service routine, for progress and for stopping a run. When extracting or testing (not when
 * listing) it is called once for each selected entry, folders included, in the archive's order, on
 * the calling thread, with the entry's name as stored (system 8-bit code page) and its uncompressed
 * size (at most 0xFFFFFFFF), just before the library handles that entry: for a file that is about
 * to be extracted, before it is handed to a writer. It does not wait for the writes of earlier
 * entries: when it is called for the n-th entry, the n-1 before it have been handed out but some
 * may still be being written, and the messages about them may come later. So n (counted by the
 * caller) out of the callback record's NumMembers tells how far the run has come.
 *
 * Answer 0 to go on. A non-zero answer stops the run at that entry: that entry and every later
 * one are not handled; the files already handed out are finished (written whole and renamed into
 * place, or refused as usual); no temporary file is left behind; one warning message says where
 * the run stopped, and Wiz_SingleEntryUnzip returns UZ_WARNING (or a higher status that an earlier
 * entry caused). The routine is not called again in that run. */
typedef int32_t (UZ_CALL *UzpServiceFn)(const char *entry_name, uint32_t size);

/* Option record. Every integer is a flag, 0 off, any other value on, unless said otherwise.
 * Modes: nvflag (list) wins over ntflag (test); with neither, the archive is extracted.
 *
 * Extraction writes each file under a temporary name in its folder and renames it over its final
 * name only once it is complete and its CRC matches, so a failed extraction never leaves a
 * truncated file under a real name nor harms the file it was to replace. Extracted files carry the
 * entry's modification time; other attributes and permissions are not restored.
 *
 * Nothing is created, changed or deleted outside the target folder: backslashes in names count as
 * separators; leading slashes, drive letters and ".." components are removed (a warning,
 * UZ_WARNING); symbolic-link entries are skipped with a warning; a folder below the target that
 * is a link (or, on Windows, a junction) is not followed. On Windows names with ':' and reserved
 * device names (CON, NUL, COM0 to COM9, LPT0 to LPT9, ...) are refused with a warning, characters
 * that Windows does not allow in names become '_' (a warning), and trailing dots and blanks of a
 * name are dropped, as Windows itself does. A file entry whose name names no file ("", ".") is
 * skipped, and one whose name ends in a folder ("a/.") is written under what is left ("a"), each
 * with a warning; an entry without data that its attributes mark as a folder is a folder. Names flagged as UTF-8 and legacy names (code page 437; unflagged names
 * that are valid UTF-8 are taken as UTF-8) are written with their characters, through the wide
 * file calls on Windows. */
typedef struct DCL {
    int32_t ExtractOnlyNewer;  /* only entries newer than the file on disk, or missing */
    int32_t SpaceToUnderscore; /* blanks in names become underscores */
    int32_t PromptToOverwrite; /* ask the replace callback before overwriting */
    int32_t fQuiet;            /* 0 every message (one line per file written or skipped),
                                  1 warnings and errors only, 2 (or more) none */
    int32_t ncflag;            /* accepted, no effect */
    int32_t ntflag;            /* test: read and check every entry, write nothing */
    int32_t nvflag;            /* list every entry through SendApplicationMessage, write
                                  nothing */
    int32_t nfflag;            /* freshen: only files that exist and are older */
    int32_t nzflag;            /* accepted, no effect */
    int32_t ndflag;            /* 1 re-creates the archive's folders; 0 puts every file straight
                                  into the target folder and skips folder entries */
    int32_t noflag;            /* overwrite existing files without asking */
    int32_t naflag;            /* accepted, no effect */
    int32_t nZIflag;           /* accepted, no effect */
    int32_t C_flag;            /* include and exclude names ignore case */
    int32_t fPrivilege;        /* accepted, no effect */
    char *lpszZipFN;           /* the archive */
    char *lpszExtractDir;      /* the folder to extract into, created when missing (with its
                                  parents); null or empty: the current folder */
} DCL;

/* Callback record. A null field is never called. Every routine is called only during
 * Wiz_SingleEntryUnzip, on the calling thread, and what it is told follows the archive's order,
 * even though an extraction writes the files' data on worker threads (one per core): a message
 * about an entry comes after those about the entries before it, and a question (replace,
 * password) is asked only once every earlier entry is written. The service routine alone does not
 * wait for earlier writes (see UzpServiceFn).
 *
 * The totals are written by the library in every mode (list, test, extract) as soon as the archive
 * is open, before any routine is called (but the message that the archive cannot be opened): they
 * cover the entries the include and exclude lists select, as the archive's directory records them,
 * and stop at 0xFFFFFFFF. Whatever the caller put there is overwritten. */
typedef struct USERFUNCTIONS {
    UzpPrintFn print;
    UzpSoundFn sound;
    UzpReplaceFn replace;
    UzpPasswordFn password;
    UzpApplicationMessageFn SendApplicationMessage;
    UzpServiceFn ServCallBk;
    uint32_t TotalSizeComp; /* compressed bytes of the selected entries */
    uint32_t TotalSize;     /* uncompressed bytes of the selected entries */
    uint32_t CompFactor;    /* overall compression factor in percent */
    uint32_t NumMembers;    /* number of selected entries, folders included */
    uint16_t cchComment;    /* length of the archive's comment */
} USERFUNCTIONS;

typedef struct UzpVersionNumber {
    unsigned char major;
    unsigned char minor;
    unsigned char patchlevel;
    unsigned char not_used;
} UzpVersionNumber;

/* Version record. The caller sets structlen to the record's size. The texts are zero-terminated
 * within their fields. */
typedef struct UzpVer2 {
    uint32_t structlen;
    uint32_t flag;         /* bit 0: a beta release; bit 1: zlib is used */
    char betalevel[10];    /* empty for a release */
    char date[20];         /* UNZIP32_VERSION_DATE */
    char zlib_version[10]; /* the version of the zlib linked in */
    UzpVersionNumber unzip;   /* the library */
    UzpVersionNumber zipinfo; /* its listing */
    UzpVersionNumber os2dll;  /* unused, zero */
    UzpVersionNumber windll;  /* its Windows interface */
} UzpVer2;

/* Fills the version record; does nothing when structlen is not sizeof(UzpVer2). */
UZ_EXPORT void UZ_CALL UzpVersion2(UzpVer2 *version);

/* Extracts (or tests, or lists) the archive named in the option record into its folder. The
 * include and exclude lists are arrays of names in the system's 8-bit code page, matched against
 * the whole name stored in the archive (backslashes count as slashes), with the wildcards '*' (any
 * run of characters, '/' included) and '?' (one character); a count of 0 means "every entry" and
 * "no entry". Returns a status above. Nothing thrown inside the library reaches the caller, and
 * the records are not kept after the call returns. The library keeps no state between calls. */
UZ_EXPORT int32_t UZ_CALL Wiz_SingleEntryUnzip(int32_t include_count, char **include_names,
                                               int32_t exclude_count, char **exclude_names,
                                               DCL *options, USERFUNCTIONS *callbacks);

typedef void (UZ_CALL *UzpVersion2Fn)(UzpVer2 *);
typedef int32_t (UZ_CALL *Wiz_SingleEntryUnzipFn)(int32_t, char **, int32_t, char **, DCL *,
                                                  USERFUNCTIONS *);

#ifdef __cplusplus
}
#endif

/* The binary interface on 32-bit Windows, which no machine here can run: check it at compile
 * time instead. */
#if defined(_WIN32) && !defined(_WIN64)
#include <stddef.h>
#define UZ_ASSERT_LAYOUT(c, m) _Static_assert(c, m)
#ifdef __cplusplus
#undef UZ_ASSERT_LAYOUT
#define UZ_ASSERT_LAYOUT(c, m) static_assert(c, m)
#endif
UZ_ASSERT_LAYOUT(sizeof(DCL) == 68, "DCL is 68 bytes");
UZ_ASSERT_LAYOUT(offsetof(DCL, ExtractOnlyNewer) == 0, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, SpaceToUnderscore) == 4, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, PromptToOverwrite) == 8, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, fQuiet) == 12, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, ncflag) == 16, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, ntflag) == 20, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, nvflag) == 24, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, nfflag) == 28, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, nzflag) == 32, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, ndflag) == 36, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, noflag) == 40, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, naflag) == 44, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, nZIflag) == 48, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, C_flag) == 52, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, fPrivilege) == 56, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, lpszZipFN) == 60, "DCL layout");
UZ_ASSERT_LAYOUT(offsetof(DCL, lpszExtractDir) == 64, "DCL layout");
UZ_ASSERT_LAYOUT(sizeof(USERFUNCTIONS) == 44, "USERFUNCTIONS is 44 bytes");
UZ_ASSERT_LAYOUT(offsetof(USERFUNCTIONS, print) == 0, "USERFUNCTIONS layout");
UZ_ASSERT_LAYOUT(offsetof(USERFUNCTIONS, sound) == 4, "USERFUNCTIONS layout");
UZ_ASSERT_LAYOUT(offsetof(USERFUNCTIONS, replace) == 8, "USERFUNCTIONS layout");
UZ_ASSERT_LAYOUT(offsetof(USERFUNCTIONS, password) == 12, "USERFUNCTIONS layout");
UZ_ASSERT_LAYOUT(offsetof(USERFUNCTIONS, SendApplicationMessage) == 16, "USERFUNCTIONS layout");
UZ_ASSERT_LAYOUT(offsetof(USERFUNCTIONS, ServCallBk) == 20, "USERFUNCTIONS layout");
UZ_ASSERT_LAYOUT(offsetof(USERFUNCTIONS, TotalSizeComp) == 24, "USERFUNCTIONS layout");
UZ_ASSERT_LAYOUT(offsetof(USERFUNCTIONS, NumMembers) == 36, "USERFUNCTIONS layout");
UZ_ASSERT_LAYOUT(offsetof(USERFUNCTIONS, cchComment) == 40, "USERFUNCTIONS layout");
UZ_ASSERT_LAYOUT(sizeof(UzpVer2) == 64, "UzpVer2 is 64 bytes");
UZ_ASSERT_LAYOUT(offsetof(UzpVer2, flag) == 4, "UzpVer2 layout");
UZ_ASSERT_LAYOUT(offsetof(UzpVer2, betalevel) == 8, "UzpVer2 layout");
UZ_ASSERT_LAYOUT(offsetof(UzpVer2, date) == 18, "UzpVer2 layout");
UZ_ASSERT_LAYOUT(offsetof(UzpVer2, zlib_version) == 38, "UzpVer2 layout");
UZ_ASSERT_LAYOUT(offsetof(UzpVer2, unzip) == 48, "UzpVer2 layout");
UZ_ASSERT_LAYOUT(sizeof(char *) == 4, "pointers are 32-bit");
#undef UZ_ASSERT_LAYOUT
#endif

#endif /* UNZIP32_H */
