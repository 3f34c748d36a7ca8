#pragma once
// Which names a directory search's mask matches, by the rules of the Windows
// search (FindFirstFileA), not Wine's: the comparison ignores letter case (as
// the locale's upper-casing has it); "*", "*.*" match every name; every "?" is DOS_QM (at a "."
// or at the end of the name it matches nothing, so "a?" matches "a" and
// "file?.txt" matches "file.txt"); a "*" before a "." is DOS_STAR (never past
// the name's last "."); a "." before "?" or "*", or ending the mask after a
// "*", is DOS_DOT (a "." or the end of the name): "*." matches the names
// without a dot, "*.?" also those with one character after the last dot. A
// double-byte character counts as one character.
//
// Both builds use it: the host stand-in's search lists by it, and the rename
// plan keeps only the entries whose own name it matches, since the Windows
// search also delivers a file whose 8.3 alias alone matches.

#include <bitset>
#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace quillet::platform {

// The last part of a path as the Windows calls read it: without its trailing
// dots and blanks ("noext." names "noext", "a. ." names "a"); "." and ".."
// are steps within the path and stay. Neither byte is ever a trail byte.
std::string_view TrimLastPart(std::string_view part);

class FileMask {
 public:
  // The mask is the last part of a search path, as the search reads it: the
  // part loses its trailing dots and blanks, but a "*" left at the end keeps
  // a "." after it when one went, so that "*." and "*. " still mean the names
  // without a dot.
  explicit FileMask(std::string_view part);

  bool Matches(std::string_view name) const;

 private:
  enum Kind : unsigned char { Lit, Star, DosQm, DosDot, DosStar };
  struct Token {
    Kind kind;
    char ch[2];
    std::size_t len;
  };
  // One flag per position in the mask, the end included; a mask has at most
  // as many characters as its path.
  using States = std::bitset<MaxPathChars + 2>;

  void Close(States& s, bool atEnd, bool atDot) const;
  States Step(const States& s, std::string_view ch, bool isLastDot) const;
  static bool SameChar(const Token& t, std::string_view ch);

  bool all_ = false;
  std::vector<Token> tokens_;
};

}  // namespace quillet::platform
