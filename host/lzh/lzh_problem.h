// Why an archive could not be written, or an archive or one of its entries
// could not be read. Codes, not words: the converter's message table says
// them to the doll maker.
#ifndef PORVANE_LZH_PROBLEM_H
#define PORVANE_LZH_PROBLEM_H

enum LzhProblem {
    LZH_OK = 0,

    // Writing: the entry concerned is reported beside the code.
    LZH_NAME_EMPTY,         // an entry has no name
    LZH_NAME_TOO_LONG,      // more bytes than a header holds (Lzh::kLevel0MaxNameBytes)
    LZH_NAME_NOT_PLAIN,     // a folder separator, a control character, "." or "..", or a cut double-byte character
    LZH_NAME_TWICE,         // two entries of one name (ASCII letters compared without case)
    LZH_TIME_NOT_A_DATE,    // a month, day, hour, minute or second out of its range
    LZH_FILE_TOO_LARGE,     // more bytes than the size fields hold (kMaxFileBytes)
    LZH_TOO_MANY_FILES,     // more than kMaxFiles entries
    LZH_ARCHIVE_TOO_LARGE,  // the whole archive would pass kMaxArchiveBytes

    // Reading the archive: reading stops there.
    LZH_NOT_AN_ARCHIVE,       // the first bytes are not an LZH header
    LZH_TRUNCATED,            // the bytes end inside a header or an entry's data
    LZH_HEADER_DAMAGED,       // a header's sizes, sum or CRC do not add up
    LZH_HEADER_LEVEL_UNKNOWN, // a header of a level other than 0, 1 and 2

    // Reading one entry: the others are still read.
    LZH_METHOD_UNSUPPORTED,  // an old or rare method (-lh1-, -lzs-, ...)
    LZH_DATA_DAMAGED,        // the compressed bytes do not decode to the size the header gives
    LZH_CRC_MISMATCH,        // decoded, but not to the bytes that were packed
    LZH_ENTRY_TOO_LARGE,     // larger than the caller's maxEntryBytes
    LZH_TOTAL_TOO_LARGE,     // would take the entries read past the caller's maxTotalBytes

    // Either direction.
    LZH_OUT_OF_MEMORY,
};

#endif
