#pragma once
// Which names a directory search's mask matches, by the rules of the Windows
// search (FindFirstFileA), not Wine's: the comparison ignores letter case (as
// the locale's upper-casing has it); "*", "*.*" match every name; every "?"
// is DOS_QM (at a "." or at the end of the name it matches nothing, so "a?"
// matches "a" and "file?.txt" matches "file.txt"); a "*" before a "." is
// DOS_STAR (never past the name's last "."); a "." before "?" or "*", or
// ending the mask after a "*", is DOS_DOT (a "." or the end of the name):
// "*." matches the names without a dot, "*.?" also those with one character
// after the last dot. A double-byte character counts as one character.
//
// Both builds use it: the host stand-in's search lists by it, and the rename
// plan keeps only the entries whose own name it matches, since the Windows
// search also delivers a file whose 8.3 alias alone matches.

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace quillet::platform {

// The last part of a path as the Windows calls read it: without its trailing
// dots and blanks ("noext." names "noext", "a. ." names "a"); "." and ".."
// are steps within the path and stay. Neither byte is ever a trail byte.
std::string_view TrimLastPart(std::string_view part);

// Whether Wine's own search may leave out names that this rule matches for
// the mask part because of a "?" after a "*": it looks for a "?" right
// after a "*" as the character itself, and tries no other length of the "*"
// once a "?" has ended the mask. Such a mask is searched as "*" and matched
// by this rule alone. (A "?" that would take nothing, before a "." or at
// the end, Wine's search passes over too; those masks it lists as it does.)
bool SearchMayMiss(std::string_view part);

class FileMask {
 public:
  // The mask is the last part of a search path, as the search reads it: the
  // part loses its trailing dots and blanks, but a "*" left at the end keeps
  // a "." after it when one went, so that "*." and "*. " still mean the names
  // without a dot.
  explicit FileMask(std::string_view part);

  bool Matches(std::string_view name) const;

 private:
  // The mask read as an automaton, one bit per position in it (the end
  // included), all positions stepped at once: a mask has at most as many
  // characters as its path, and nearly every mask fits in one word.
  template <class Bits>
  struct Moves {
    Bits skip;        // "*" and DOS_STAR: may take nothing
    Bits skipAtDot;   // DOS_QM: may take nothing before a "."
    Bits skipAtEnd;   // DOS_QM and DOS_DOT: may take nothing at the end
    Bits star;        // "*": stays on any character
    Bits dosStar;     // DOS_STAR: stays on any character but the name's last "."
    Bits notDot;      // DOS_QM: takes one character that is no "."
    Bits dot;         // DOS_DOT: takes a "."
    std::array<Bits, 128> ascii{};  // literals: the ASCII bytes each takes, either case
  };
  using Wide = std::bitset<MaxPathChars + 2>;

  // A literal beyond ASCII: its position, and where it stands upper-cased
  // in text_.
  struct Literal {
    std::size_t at;
    std::size_t offset;
    std::size_t size;
  };

  bool MatchesEnds(std::string_view name) const;
  template <class Bits>
  bool Run(const Moves<Bits>& moves, std::string_view name) const;
  template <class Bits>
  Bits Takes(const Moves<Bits>& moves, std::string_view ch) const;
  bool SameChar(const Literal& literal, std::string_view ch) const;
  bool Add(std::size_t at, std::string_view ch, std::string_view rest, bool afterDosStar);

  bool all_ = false;
  bool fits_ = true;     // a mask longer than any path names nothing
  // A mask of ASCII literals around one star (IMG_*.JPG, *.txt, photo*) is
  // matched by its two ends, the head_ bytes before the star and the tail_
  // after it, without stepping the automaton.
  bool ends_ = false;
  std::size_t head_ = 0, tail_ = 0;
  std::size_t end_ = 0;  // the position after the last character of the mask
  std::string text_;     // upper-cased
  std::vector<Literal> others_;
  Moves<Wide> wide_{};
  Moves<std::uint64_t> narrow_{};
};

}  // namespace quillet::platform
