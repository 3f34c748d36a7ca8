#include "core/NameTransform.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/PathUtil.h"
#include "platform/Text.h"

namespace quillet {

namespace {

constexpr std::size_t kSlots = 256;

// File names and masks are bounded by the path length; only longer texts
// are upper-cased on the heap.
constexpr std::size_t kStackText = 512;

bool IsWildcard(char c) { return c == '*' || c == '?'; }

// Index of the first wildcard, npos when there is none. A plain loop: the
// library's search for a set of bytes calls memchr once per byte of text.
std::size_t FindWildcard(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsWildcard(text[i])) return i;
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

struct Captures {
  Captures() = default;
  explicit Captures(const Captures* beneath)
      : star(&beneath->star), question(&beneath->question) {}
  CaptureList star;
  CaptureList question;
};

// An upper-cased copy that lives on the stack for every real file name.
class UpperCopy {
 public:
  explicit UpperCopy(std::string_view text) {
    char* buffer = local_.data();
    if (text.size() > local_.size()) {
      heap_.resize(text.size());
      buffer = heap_.data();
    }
    std::copy(text.begin(), text.end(), buffer);
    platform::UpperCaseInPlace(buffer, text.size());
    text_ = {buffer, text.size()};
  }
  UpperCopy(const UpperCopy&) = delete;
  UpperCopy& operator=(const UpperCopy&) = delete;

  std::string_view Text() const { return text_; }

 private:
  std::array<char, kStackText> local_;
  std::string heap_;
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
  std::size_t s = 0;
  std::size_t q = 0;
  for (std::size_t w = WildcardPos(m); w > 0; w = WildcardPos(m)) {
    if (w > 1) {
      // A literal run of the mask is taken on trust: only its length counts,
      // since the directory search has already matched it.
      n.remove_prefix(std::min(w - 1, n.size()));
      m.remove_prefix(w - 1);
      continue;
    }
    const char wildcard = m.front();
    m.remove_prefix(1);
    if (wildcard == '?') {
      // Past the end of the name a "?" takes the empty text.
      captures.question.Set(q, n.substr(0, 1));
      n.remove_prefix(std::min<std::size_t>(1, n.size()));
      captures.question.Set(++q, {});
      continue;
    }
    std::string_view literal = LiteralHead(m);
    if (literal.empty()) {
      // Nothing to stop at: the star takes the rest, and the next star
      // writes the same slot again.
      captures.star.Set(s, n);
      n = {};
      continue;
    }
    std::size_t p = FindCaseBlind(n, literal);
    std::size_t taken = p > 0 ? p - 1 : 0;
    captures.star.Set(s, n.substr(0, taken));
    n.remove_prefix(taken);
    captures.star.Set(++s, {});
  }
}

// Walks the pattern piece t, handing each literal run and each wildcard's
// capture to put in order.
template <class Put>
void Expand(std::string_view t, const Captures& captures, Put put) {
  std::size_t a = 0;
  std::size_t b = 0;
  while (!t.empty()) {
    std::size_t w = FindWildcard(t);
    put(t.substr(0, w));
    if (w == std::string_view::npos) return;
    put(t[w] == '*' ? captures.star[a++] : captures.question[b++]);
    t.remove_prefix(w + 1);
  }
}

struct NameParts {
  std::string_view base;
  std::string_view ext;
};

// The extension is split off first, so that the search for the file-name
// part goes on from its dot instead of scanning the extension again.
NameParts Split(std::string_view path) {
  std::string_view ext = Extension(path);
  return {FileNamePart(path.substr(0, path.size() - ext.size())), ext};
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
  ext.star.Set(0, {});
  ext.question.Set(0, {});
  CapturePass(m.ext, n.ext, ext);

  // Measured first so that the result is the call's only allocation; the
  // sum saturates rather than wraps.
  std::size_t size = 0;
  auto measure = [&size](std::string_view piece) {
    size += std::min(piece.size(), std::numeric_limits<std::size_t>::max() - size);
  };
  Expand(p.base, base, measure);
  Expand(p.ext, ext, measure);

  std::string result;
  result.reserve(size);
  auto append = [&result](std::string_view piece) { result += piece; };
  Expand(p.base, base, append);
  // A dot part of the new base gives way to the new extension.
  result.resize(result.size() - Extension(result).size());
  Expand(p.ext, ext, append);
  // Which bytes pair up into double-byte characters depends on what stands
  // before them, so pieces set side by side can make a "\", "/" or ":" that
  // was the trail byte of a character in the name or the pattern (a "?"
  // takes single bytes). The new name must still never lead into another
  // directory.
  result.erase(0, result.size() - FileNamePart(result).size());
  return result;
}

}  // namespace quillet
