// The rules file "velmora.ini": UTF-16 little-endian, byte-order mark FF FE, CR LF line ends.
//
//   FF FE
//   F<applyToAll><enabled><name>      a user filter; its body follows
//     C<object><judge><content>       Rule 1, then Rule 2; further C lines are skipped
//     A<slot>[<escaped text>]         an action slot; a later line for the slot replaces it
//   End                               ends a body (only the "E" is looked at)
//   B<name>`<number>                  a black list entry
//   K<escaped name>`s<escaped number> a black list entry whose fields hold a backtick or a line
//                                     break; programs that know only B lines skip it
//   G / U                             the Contact Default / Stranger Default; a body follows
//   P<password units XOR RuleScrambleConstant>
//
// Digits are single characters. Lines of any other kind are skipped. Lines are read whole
// whatever their length, so a long reply text written on one line reads back complete.
//
// Text escaping (action texts, K fields): a backtick starts a two-unit code.
//   ``  CR LF          `b  a backtick        `r  a lone CR        `n  a lone LF
//   `s  the field separator of a K line
// A backtick followed by anything else (or by nothing) reads as CR LF.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brevalo::rules_file {

inline constexpr char16_t ByteOrderMark = 0xFEFF;

inline constexpr char16_t FilterTag = u'F';
inline constexpr char16_t ContactDefaultTag = u'G';
inline constexpr char16_t StrangerDefaultTag = u'U';
inline constexpr char16_t BlackListTag = u'B';
inline constexpr char16_t EscapedBlackListTag = u'K';
inline constexpr char16_t PasswordTag = u'P';
inline constexpr char16_t ConditionTag = u'C';
inline constexpr char16_t ActionTag = u'A';
inline constexpr char16_t EndTag = u'E';

inline constexpr char16_t Escape = u'`';
inline constexpr char16_t EscapedLineBreak = u'`';
inline constexpr char16_t EscapedBacktick = u'b';
inline constexpr char16_t EscapedCarriageReturn = u'r';
inline constexpr char16_t EscapedLineFeed = u'n';
inline constexpr char16_t EscapedFieldSeparator = u's';

// Longer names are cut when read.
inline constexpr size_t FilterNameLimit = 39;
// The reader takes at most this many password units.
inline constexpr size_t RulePasswordLimit = 12;

}  // namespace brevalo::rules_file

namespace brevalo {

// Every password unit is stored XORed with this value. It lies among the Unicode noncharacters
// U+FDD0..U+FDEF, and so do the three units that would turn into NUL, LF or CR (U+FDD0, U+FDDA,
// U+FDDD): no character a user can type ever becomes a line end or a terminator in the file.
inline constexpr char16_t RuleScrambleConstant = 0xFDD0;

}  // namespace brevalo
