#pragma once
// The compiled scheme stream: how TTessaryParser stores its tables.
//
// Outer layer (integers little-endian):
//   u16 version   51 (50 is still read: its settings lack the gutter font)
//   i32 size      byte length of the uncompressed payload (informational)
//   ...           the payload, packed by TCompressor
//
// Payload, in this order:
//   1. settings      TTE_Settings stream form (told the stream version)
//   2. keywords      TSyntaxKeywords stream form
//   3. handlers      i32 n; n x (u8 token, matcher, terminator)
//   4. global rules  i32 n; n x (u8 first character, rule)
//   5. ContextState  i32 n; n x (u8 token, 32-byte set); only the entries that
//                    differ from Startstate, so an entry equal to Startstate
//                    loads as empty (which the tokenizer reads as Startstate)
//                    and an empty one is written as empty
//   6. effects       i32 n; n x (u8 token, 32-byte validIn, add, remove,
//                    u8 container, u8 keep, u8 stack)
//   7. state tables  i32 n (0 when there are none); n x (u8 state, i32 m,
//                    m x (u8 first character, rule, range list)); the range
//                    list (i32 k; k x (u16 low, u16 high, rule)) is repeated
//                    after every rule of its table and the reader keeps the
//                    last one, so a table without rules loses its ranges
//   8. Anchor, BoundStates, Startstate   32 bytes each
//   9. u8 custom-routine flag
// Every table is written in ascending index order, present entries only.
//
//   matcher:    u8 repeat; group in full; u8 isRoutine; if isRoutine:
//               u8 custom, i32 routine (the group is written regardless)
//   terminator: u8 include; u8 isRoutine; if isRoutine: u8 custom,
//               i32 routine; else u8 count (0..4) and count groups in full
//   rule:       start matcher; 32-byte states; body matcher; terminator;
//               u8 token
// Groups are never stored as indices: the reader interns each group it reads
// into the keyword table's group table, so equal groups share one index.
//
// The reader guarantees, for any bytes: it never reads past the stream
// (a short stream raises EReadError), never indexes outside a table, and
// raises ETessary for a terminator with more than four groups, a group with
// explicit ranges or more groups than a 16-bit index can name.

#include "common/Stream.h"
#include "highlight/ParserTables.h"

#include <cstdint>

namespace torvane {

constexpr uint16_t kCompiledSchemeVersion = 51;
// The oldest layout still read (without the gutter font in the settings).
constexpr uint16_t kOldestCompiledSchemeVersion = 50;

// Sections 2 to 9 of the payload.
void WriteSchemeTables(TStream& stream, const TParserTables& tables);
// Reads sections 2 to 9 into tables, which the caller has reset.
void ReadSchemeTables(TStream& stream, TParserTables& tables);

} // namespace torvane
