// client/views/model/record_info.h — the record texts the small board views share: the normalised
// record, the start position a challenge carries, and the words for a record's handicap and
// result.
//
// Records are cp932 text read by plain searches: a property is found by its first occurrence, and
// every search steps over double-byte characters, so a "]" or "C" inside a Japanese comment or
// name never counts.
#pragma once
#include <string>
#include <string_view>

#include "client/board/model/record_text.h"  // RecordPropertyValue

// The record with every CR LF removed, "TB[" and "TW[" turned into "[", and the comments of the
// move part removed (RemoveComments).
std::string NormalizeRecord(std::string_view text);
// From the second ";" on (the first move node), every "C[" with the text up to and including the
// next "]" is deleted; the root node stays byte for byte, and so does a text with fewer than two
// ";". A "C[" with no "]" after it keeps the rest as it is.
std::string RemoveComments(std::string_view text);

// While `key` occurs in `record`, the text from its first occurrence up to and including the next
// "]" is deleted; a key with no "]" after it ends the deleting and the rest stays. Any text
// ending in the key matches ("C[" also takes the end of "GC[").
std::string RemoveRecordProperty(std::string_view record, std::string_view key);
// The start position a challenge carries: the record's root node unchanged, the move part without
// line breaks, comments, clock times and time-spent values.
std::string RecordToKifuStart(std::string_view record);

// The margin of a result value ("B+3.5" gives "3 目半", "B+0.5" gives "半目", "W+12" gives
// "12 目"); empty when the value has no margin part.
std::string RecordMarginText(std::string_view value);
// The result of a record's "RE[" value in words: "黒中押勝", "白 3 目半勝", "持碁", "勝負不明", …;
// a value of no known form is returned as it is.
std::string RecordResultText(std::string_view value);
// The handicap word of a record once its black setup stones are counted: with no black setup
// stone, or with white setup stones ("AW[" in the record), "定先" when the record holds "HA[1]";
// otherwise 2 to 9 stones give "２子" … "９子". Everything else leaves `label` as it is.
std::string RecordHandicapLabel(std::string_view record, int blackSetupCount, std::string label);

