#pragma once
// The new name of a file from its old name, the mask that selected it and the
// rename pattern: each wildcard of the pattern takes the piece of the name that
// the same kind of wildcard of the mask captured. Base and extension are
// handled in two passes.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// Position of the first "*" or "?", 0 when there is neither.
std::size_t WildcardPos(std::string_view text);

// The literal run before the first wildcard (all of text when there is none).
std::string_view LiteralHead(std::string_view text);

// A rename pattern read once for all the names it converts: the pieces its
// base and its extension set down, each a literal run or one wildcard. The
// Pattern edit has no length limit, and a pattern of thousands of characters
// over a folder of many files would otherwise be walked byte by byte for
// every file; read once, it costs each file a copy of its runs.
class RenamePattern {
 public:
  RenamePattern() = default;
  explicit RenamePattern(std::string_view text);

  const std::string& Text() const { return text_; }

  // Size bytes of the text from Begin: a literal run, or a lone "*" or "?".
  // Bound is the run's ExtensionBound, so that the new base's extension is
  // found without reading the runs again.
  struct Piece {
    std::size_t Begin = 0;
    std::size_t Size = 0;
    std::size_t Bound = 0;
  };
  std::span<const Piece> Base() const { return std::span(pieces_).first(extFirst_); }
  std::span<const Piece> Ext() const { return std::span(pieces_).subspan(extFirst_); }

 private:
  void Add(std::string_view part);

  std::string text_;
  std::vector<Piece> pieces_;
  std::size_t extFirst_ = 0;
};

// The new file name. Pure; never throws. What the mask takes and skips of
// the name are whole characters: a "?" takes one, a star's literal is found
// only where a character starts, and a literal run skipped by its length
// never ends inside one. The pattern's own directory part is dropped, but a
// lead byte of the pattern without its trail byte pairs with the first byte
// of a piece set down after it, so a "\", "/" or ":" byte that was part of a
// character in the name can stand on its own in the result; it stays there
// (the batch refuses such a name). The pattern comes read (RenamePattern), as
// the plan reads it once for all its names.
std::string ConvertName(std::string_view name, std::string_view mask,
                        const RenamePattern& pattern);

// Where a piece that one wildcard of the mask captured stands in a text: the
// bytes from Begin up to End, and which capture it is, numbered from 0 in the
// order the pieces stand in the old name. In the old name a part that the new
// name does not hold is Dropped.
struct CaptureSpan {
  std::size_t Begin = 0;
  std::size_t End = 0;
  std::size_t Capture = 0;
  bool Dropped = false;
};

// ConvertName's new name, and where the pieces it was made of come from and
// went, both left to right: Old holds each non-empty capture in the old name,
// split where the new name stops holding it (a piece the pattern leaves out,
// or the part of a base that gives way to the new extension, is Dropped);
// New holds each place the pattern set one down in the new name (one capture
// may land twice, or nowhere). A span never cuts a double-byte character of
// its text: a character an edge falls inside goes whole to the side that
// holds its lead byte, and a piece left with nothing is not listed.
struct ConvertedName {
  std::string NewName;
  std::vector<CaptureSpan> Old;
  std::vector<CaptureSpan> New;
};
ConvertedName ConvertNameWithCaptures(std::string_view name, std::string_view mask,
                                      const RenamePattern& pattern);

}  // namespace quillet
