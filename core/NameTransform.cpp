#include "core/NameTransform.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/PathUtil.h"
#include "platform/Text.h"

namespace quillet {

namespace {

constexpr std::size_t kSlots = 256;

// File names and masks are bounded by the path length, so only a pattern of
// many hundred bytes needs more room than this.
constexpr std::size_t kStackText = 1024;

// The two wildcards. Each kind fills capture slots of its own, and a
// pattern's wildcard takes the next capture of its kind.
enum Wildcard : unsigned char { kStar, kQuestion, kWildcardKinds, kLiteral = kWildcardKinds };

constexpr Wildcard KindOf(char c) { return c == '*' ? kStar : c == '?' ? kQuestion : kLiteral; }

// Index of the first wildcard, npos when there is none. A plain loop: the
// library's search for a set of bytes calls memchr once per byte of text.
std::size_t FindWildcard(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (KindOf(text[i]) != kLiteral) return i;
  }
  return std::string_view::npos;
}

// The pieces of the name that the mask's wildcards took: views into the name,
// so capturing never copies. Slots are written from 0 upward; only those
// written are set up, so a call pays for the slots it uses, not for all 256.
// A slot not yet written reads as the one beneath it, if any (the extension
// pass over the base pass), else as the empty text; one past the last slot
// takes nothing.
class CaptureList {
 public:
  explicit CaptureList(const CaptureList* beneath = nullptr) : beneath_(beneath) {}
  CaptureList(const CaptureList&) = delete;
  CaptureList& operator=(const CaptureList&) = delete;

  std::string_view operator[](std::size_t i) const {
    if (i < used_) return {slots_[i].data, slots_[i].size};
    return beneath_ != nullptr ? (*beneath_)[i] : std::string_view{};
  }
  void Set(std::size_t i, std::string_view piece) {
    if (i >= kSlots) return;
    for (; used_ <= i; ++used_) slots_[used_] = {nullptr, 0};
    slots_[i] = {piece.data(), piece.size()};
  }

 private:
  struct Piece {  // trivial, so that the array starts out unset
    const char* data;
    std::size_t size;
  };
  std::array<Piece, kSlots> slots_;
  std::size_t used_ = 0;
  const CaptureList* beneath_;
};

// One capture list per kind of wildcard.
struct Captures {
  Captures() = default;
  explicit Captures(const Captures* beneath)
      : of{CaptureList(&beneath->of[kStar]), CaptureList(&beneath->of[kQuestion])} {}
  CaptureList& operator[](Wildcard w) { return of[w]; }
  const CaptureList& operator[](Wildcard w) const { return of[w]; }

  std::array<CaptureList, kWildcardKinds> of;
};

// Room for a text: on the stack for every real file name and pattern, on the
// heap only for longer texts.
class Scratch {
 public:
  explicit Scratch(std::size_t size) {
    if (size > local_.size()) {
      heap_.resize(size);
      data_ = heap_.data();
    }
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  char* Data() { return data_; }

 private:
  std::array<char, kStackText> local_;
  std::string heap_;
  char* data_ = local_.data();
};

// An upper-cased copy of text.
class UpperCopy {
 public:
  explicit UpperCopy(std::string_view text) : room_(text.size()) {
    std::copy(text.begin(), text.end(), room_.Data());
    platform::UpperCaseInPlace(room_.Data(), text.size());
    text_ = {room_.Data(), text.size()};
  }

  std::string_view Text() const { return text_; }

 private:
  Scratch room_;
  std::string_view text_;
};

// 1-based position of the first occurrence of literal in text, both
// upper-cased by the locale; 0 when there is none. The upper-casing keeps the
// byte length, so the position also cuts the text itself.
std::size_t FindCaseBlind(std::string_view text, std::string_view literal) {
  if (literal.size() > text.size()) return 0;
  UpperCopy upperText(text);
  UpperCopy upperLiteral(literal);
  std::size_t at = upperText.Text().find(upperLiteral.Text());
  return at == std::string_view::npos ? 0 : at + 1;
}

// Reads the mask m against the name n from the left, filling the slots.
void CapturePass(std::string_view m, std::string_view n, Captures& captures) {
  std::size_t s = 0;  // the slot the next star capture goes to
  std::size_t q = 0;  // likewise for "?"
  for (std::size_t w = WildcardPos(m); w > 0; w = WildcardPos(m)) {
    if (w > 1) {
      // A literal run of the mask is taken on trust: only its length counts,
      // since the directory search has already matched it.
      n.remove_prefix(std::min(w - 1, n.size()));
      m.remove_prefix(w - 1);
      continue;
    }
    const Wildcard wildcard = KindOf(m.front());
    m.remove_prefix(1);
    if (wildcard == kQuestion) {
      // Past the end of the name a "?" takes the empty text.
      captures[kQuestion].Set(q, n.substr(0, 1));
      n.remove_prefix(std::min<std::size_t>(1, n.size()));
      captures[kQuestion].Set(++q, {});
      continue;
    }
    std::string_view literal = LiteralHead(m);
    if (literal.empty()) {
      // Nothing to stop at: the star takes the rest, and the next star
      // writes the same slot again.
      captures[kStar].Set(s, n);
      n = {};
      continue;
    }
    std::size_t p = FindCaseBlind(n, literal);
    std::size_t taken = p > 0 ? p - 1 : 0;
    captures[kStar].Set(s, n.substr(0, taken));
    n.remove_prefix(taken);
    captures[kStar].Set(++s, {});
  }
}

// Writes the pattern piece t out at out, each wildcard replaced by the next
// capture of its kind; returns the end of what it wrote.
char* Expand(std::string_view t, const Captures& captures, char* out) {
  std::array<std::size_t, kWildcardKinds> next{};  // the next slot of each kind
  for (char c : t) {
    const Wildcard w = KindOf(c);
    if (w == kLiteral) {
      *out++ = c;
      continue;
    }
    const std::string_view piece = captures[w][next[w]++];
    out = std::copy(piece.begin(), piece.end(), out);
  }
  return out;
}

struct NameParts {
  std::string_view base;
  std::string_view ext;
};

// The extension is split off first, so that the search for the file-name
// part goes on from its dot instead of scanning the extension again.
NameParts Split(std::string_view path) {
  std::string_view ext = Extension(path);
  path.remove_suffix(ext.size());
  return {FileNamePart(path), ext};
}

}  // namespace

std::size_t WildcardPos(std::string_view text) {
  std::size_t at = FindWildcard(text);
  return at == std::string_view::npos ? 0 : at + 1;
}

std::string_view LiteralHead(std::string_view text) {
  std::size_t w = WildcardPos(text);
  return w == 0 ? text : text.substr(0, w - 1);
}

std::string ConvertName(std::string_view name, std::string_view mask,
                        std::string_view pattern) {
  const NameParts n = Split(name);
  const NameParts m = Split(mask);
  const NameParts p = Split(pattern);

  Captures base;
  CapturePass(m.base, n.base, base);
  // The extension pass starts over at slot 0 but leaves the higher slots as
  // the base pass filled them; a pattern extension with more wildcards than
  // the mask extension shows those.
  Captures ext(&base);
  ext[kStar].Set(0, {});
  ext[kQuestion].Set(0, {});
  CapturePass(m.ext, n.ext, ext);

  // Every wildcard of the pattern brings a piece of the name, and the pieces
  // that one pass takes never overlap; each shows at most once in each of the
  // two expansions. So the pattern plus the name twice is room enough; for
  // any pattern short of many hundred bytes that room is on the stack, and
  // the result is the call's only allocation.
  constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
  const std::size_t room = name.size() > (kMax - pattern.size()) / 2
                               ? kMax
                               : pattern.size() + 2 * name.size();
  Scratch scratch(room);
  char* const begin = scratch.Data();
  char* end = Expand(p.base, base, begin);
  // A dot part of the new base gives way to the new extension.
  end -= Extension({begin, static_cast<std::size_t>(end - begin)}).size();
  end = Expand(p.ext, ext, end);
  // Which bytes pair up into double-byte characters depends on what stands
  // before them, so pieces set side by side can make a "\", "/" or ":" that
  // was the trail byte of a character in the name or the pattern (a "?"
  // takes single bytes). The new name must still never lead into another
  // directory.
  return std::string(FileNamePart({begin, static_cast<std::size_t>(end - begin)}));
}

}  // namespace quillet
