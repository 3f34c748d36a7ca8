#include "core/NameTransform.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <vector>

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

constexpr Wildcard WildcardOf(char c) { return c == '*' ? kStar : c == '?' ? kQuestion : kLiteral; }

// Index of the first wildcard, npos when there is none. A plain loop: the
// library's search for a set of bytes calls memchr once per byte of text.
std::size_t FindWildcard(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (WildcardOf(text[i]) != kLiteral) return i;
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

  // The slots this list wrote itself, 0 to Used() - 1; the rest read beneath.
  std::size_t Used() const { return used_; }

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
      heap_ = std::make_unique_for_overwrite<char[]>(size);
      data_ = heap_.get();
    }
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  char* Data() { return data_; }

 private:
  std::array<char, kStackText> local_;
  std::unique_ptr<char[]> heap_;
  char* data_ = local_.data();
};

// An upper-cased copy of text, made when first asked for: a name is
// upper-cased once for all the searches of its pass, and only when it is
// searched at all.
class UpperCopy {
 public:
  explicit UpperCopy(std::string_view text) : text_(text), room_(text.size()) {}

  std::string_view Text() {
    if (!made_) {
      std::copy(text_.begin(), text_.end(), room_.Data());
      platform::UpperCaseInPlace(room_.Data(), text_.size());
      made_ = true;
    }
    return {room_.Data(), text_.size()};
  }

 private:
  std::string_view text_;
  Scratch room_;
  bool made_ = false;
};

// Where a star's piece that starts at from ends: at the first occurrence of
// the literal after it, searched in the name's upper-cased copy with the
// literal upper-cased too; at from itself when there is none. An occurrence
// that starts on the second byte of a character is none: the search goes on
// past it. The upper-casing keeps the byte length, so the position also cuts
// the name itself.
std::size_t StarEnd(std::string_view upperName, std::size_t from, std::string_view literal,
                    const platform::CharSteps& chars) {
  if (literal.size() > upperName.size() - from) return from;
  UpperCopy upperLiteral(literal);
  const std::string_view wanted = upperLiteral.Text();
  std::size_t at = upperName.find(wanted, from);
  while (at != std::string_view::npos && chars.IsTrail(at)) at = upperName.find(wanted, at + 1);
  return at == std::string_view::npos ? from : at;
}

// Reads the mask m against the name n from the left, filling the slots. What
// it takes and skips of the name are whole characters, so the rest of the
// name always starts on a character.
void CapturePass(std::string_view m, std::string_view n, Captures& captures) {
  std::size_t w = WildcardPos(m);
  if (w == 0) return;  // nothing to capture, nor to set up for it
  const platform::CharSteps chars(n);
  UpperCopy upper(n);
  std::size_t at = 0;       // where the rest of the name starts
  std::size_t s = 0, q = 0;  // the slots the next star and "?" captures go to
  for (; w > 0; w = WildcardPos(m)) {
    if (w > 1) {
      // A literal run of the mask is taken on trust (the search has matched
      // it): only its length counts, and a skip never ends inside a character.
      at = chars.Boundary(std::min(at + (w - 1), n.size()));
      m.remove_prefix(w - 1);
      continue;
    }
    const Wildcard wildcard = WildcardOf(m.front());
    m.remove_prefix(1);
    if (wildcard == kQuestion) {
      // One character; past the end of the name a "?" takes the empty text.
      const std::size_t end = at < n.size() ? chars.Next(at) : at;
      captures[kQuestion].Set(q, n.substr(at, end - at));
      at = end;
      captures[kQuestion].Set(++q, {});
      continue;
    }
    std::string_view literal = LiteralHead(m);
    if (literal.empty()) {
      // Nothing to stop at: the star takes the rest; the next star writes
      // the same slot again.
      captures[kStar].Set(s, n.substr(at));
      at = n.size();
      continue;
    }
    const std::size_t end = StarEnd(upper.Text(), at, literal, chars);
    captures[kStar].Set(s, n.substr(at, end - at));
    at = end;
    captures[kStar].Set(++s, {});
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
  path.remove_suffix(ext.size());
  return {FileNamePart(path), ext};
}

// What the mask's wildcards took from a name, in its two passes.
struct Passes {
  Passes(std::string_view name, std::string_view mask) {
    const NameParts n = Split(name);
    const NameParts m = Split(mask);
    CapturePass(m.base, n.base, base);
    // The extension pass starts over at slot 0 but leaves the higher slots
    // as the base pass filled them; a pattern extension with more wildcards
    // than the mask extension shows those.
    ext[kStar].Set(0, {});
    ext[kQuestion].Set(0, {});
    CapturePass(m.ext, n.ext, ext);
  }
  Passes(const Passes&) = delete;
  Passes& operator=(const Passes&) = delete;

  Captures base;
  Captures ext{&base};
};

// The new name, written piece by piece into room for it, and ExtensionBound
// of what is written so far, kept up as the pieces come.
class NewText {
 public:
  explicit NewText(std::size_t room) : room_(room) {}

  std::size_t Size() const { return size_; }
  std::string_view Text() { return {room_.Data(), size_}; }

  void Put(std::string_view piece, std::size_t bound) {
    if (bound > 0) bound_ = size_ + bound;
    std::copy(piece.begin(), piece.end(), room_.Data() + size_);
    size_ += piece.size();
  }
  // A dot part of the new base gives way to the new extension.
  void CutExtension() { size_ -= Extension(Text(), bound_).size(); }

 private:
  Scratch room_;
  std::size_t size_ = 0;
  std::size_t bound_ = 0;
};

// Writes pieces of the pattern out, each wildcard replaced by the next
// capture of its kind, and tells setDown of each capture and where it went.
template <class SetDown>
void Expand(const RenamePattern& pattern, std::span<const RenamePattern::Piece> pieces,
            const Captures& captures, NewText& text, SetDown& setDown) {
  std::array<std::size_t, kWildcardKinds> next{};  // the next slot of each kind
  for (const RenamePattern::Piece& p : pieces) {
    const std::string_view run(pattern.Text().data() + p.Begin, p.Size);
    const Wildcard w = p.Size == 1 ? WildcardOf(run.front()) : kLiteral;
    if (w == kLiteral) {
      text.Put(run, p.Bound);
      continue;
    }
    const std::string_view piece = captures[w][next[w]++];
    setDown(piece, text.Size());
    text.Put(piece, ExtensionBound(piece));
  }
}

// The new name the pattern makes of the captures. The listener hears of each
// piece set down and where (SetDown), and of the length the new base is cut
// back to (Cut).
template <class Listener>
std::string NewName(const Passes& passes, std::size_t nameSize, const RenamePattern& pattern,
                    Listener& listener) {
  // Every wildcard of the pattern brings a piece of the name, and the pieces
  // that one pass takes never overlap; each shows at most once in each of the
  // two expansions. So the pattern plus the name twice is room enough; for
  // any pattern short of many hundred bytes that room is on the stack, and
  // the result is the call's only allocation.
  constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
  const std::size_t size = pattern.Text().size();
  NewText text(nameSize > (kMax - size) / 2 ? kMax : size + 2 * nameSize);
  Expand(pattern, pattern.Base(), passes.base, text, listener);
  text.CutExtension();
  listener.Cut(text.Size());
  Expand(pattern, pattern.Ext(), passes.ext, text, listener);
  // Which bytes pair up into double-byte characters depends on what stands
  // before them: after a lead byte of the pattern that has no trail byte, a
  // piece's first byte pairs with it, and a "\", "/" or ":" that was the
  // trail byte of a character in the name can stand on its own. The result
  // keeps it, so the preview shows what the pieces make; the batch refuses a
  // new name that would lead into another directory.
  return std::string(text.Text());
}

// ConvertName wants the name only.
struct NameOnly {
  void operator()(std::string_view, std::size_t) {}
  void Cut(std::size_t) {}
};

// The non-empty pieces the passes hold, as spans of the name, left to
// right and numbered in that order. A slot that reads the base pass through
// the extension pass is the base pass's piece, counted once.
std::vector<CaptureSpan> PiecesTaken(const Passes& passes, std::string_view name) {
  std::vector<CaptureSpan> spans;
  for (const Captures* pass : {&passes.base, &passes.ext}) {
    for (const CaptureList& list : pass->of) {
      for (std::size_t i = 0; i < list.Used(); ++i) {
        const std::string_view piece = list[i];
        if (piece.empty()) continue;
        const auto at = static_cast<std::size_t>(piece.data() - name.data());
        spans.push_back({at, at + piece.size(), 0});
      }
    }
  }
  // One pass reads the name forward and the two read apart, so no two
  // pieces overlap.
  std::sort(spans.begin(), spans.end(),
            [](const CaptureSpan& a, const CaptureSpan& b) { return a.Begin < b.Begin; });
  for (std::size_t i = 0; i < spans.size(); ++i) spans[i].Capture = i;
  return spans;
}

// Where the pieces of the name land in the new name.
class Landings {
 public:
  Landings(std::string_view name, const std::vector<CaptureSpan>& taken)
      : name_(name), taken_(taken) {}

  void operator()(std::string_view piece, std::size_t at) {
    if (piece.empty()) return;
    const auto from = static_cast<std::size_t>(piece.data() - name_.data());
    const auto source = std::lower_bound(
        taken_.begin(), taken_.end(), from,
        [](const CaptureSpan& s, std::size_t begin) { return s.Begin < begin; });
    spans_.push_back({at, at + piece.size(), source->Capture});
  }
  void Cut(std::size_t size) {
    for (CaptureSpan& s : spans_) s.End = std::min(s.End, size);
    std::erase_if(spans_, [](const CaptureSpan& s) { return s.Begin >= s.End; });
  }
  std::vector<CaptureSpan> Spans() && { return std::move(spans_); }

  // The pieces taken, each split where the new name stops holding it: a
  // piece is set down whole, so what lands of it is a head, the longest of
  // its landings; the rest is dropped.
  std::vector<CaptureSpan> Kept() const {
    std::vector<std::size_t> kept(taken_.size(), 0);
    for (const CaptureSpan& s : spans_) kept[s.Capture] = std::max(kept[s.Capture], s.End - s.Begin);
    std::vector<CaptureSpan> parts;
    for (const CaptureSpan& t : taken_) {
      const std::size_t cut = t.Begin + kept[t.Capture];
      if (cut > t.Begin) parts.push_back({t.Begin, cut, t.Capture});
      if (cut < t.End) parts.push_back({cut, t.End, t.Capture, true});
    }
    return parts;
  }

 private:
  std::string_view name_;
  const std::vector<CaptureSpan>& taken_;
  std::vector<CaptureSpan> spans_;
};

// A span edge inside a double-byte character of text moves to the
// character's end, so the character goes whole to the side that holds its
// lead byte; spans left empty go.
void KeepCharactersWhole(std::string_view text, std::vector<CaptureSpan>& spans) {
  const platform::CharSteps chars(text);
  const auto inside = [&](std::size_t at) { return at < text.size() && chars.IsTrail(at); };
  for (CaptureSpan& s : spans) {
    if (inside(s.Begin)) ++s.Begin;
    if (inside(s.End)) ++s.End;
  }
  std::erase_if(spans, [](const CaptureSpan& s) { return s.Begin >= s.End; });
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

RenamePattern::RenamePattern(std::string_view text) : text_(text) {
  const auto wildcards = std::count_if(text.begin(), text.end(),
                                       [](char c) { return WildcardOf(c) != kLiteral; });
  pieces_.reserve(2 * static_cast<std::size_t>(wildcards) + 2);
  const NameParts parts = Split(text_);
  Add(parts.base);
  extFirst_ = pieces_.size();
  Add(parts.ext);
}

void RenamePattern::Add(std::string_view part) {
  while (!part.empty()) {
    const std::size_t w = FindWildcard(part);
    const std::string_view run = part.substr(0, w == 0 ? 1 : w);
    pieces_.push_back({static_cast<std::size_t>(run.data() - text_.data()), run.size(),
                       ExtensionBound(run)});
    part.remove_prefix(run.size());
  }
}

std::string ConvertName(std::string_view name, std::string_view mask,
                        const RenamePattern& pattern) {
  const Passes passes(name, mask);
  NameOnly nameOnly;
  return NewName(passes, name.size(), pattern, nameOnly);
}

ConvertedName ConvertNameWithCaptures(std::string_view name, std::string_view mask,
                                      const RenamePattern& pattern) {
  const Passes passes(name, mask);
  const std::vector<CaptureSpan> taken = PiecesTaken(passes, name);
  Landings landings(name, taken);
  ConvertedName result;
  result.NewName = NewName(passes, name.size(), pattern, landings);
  result.Old = landings.Kept();
  result.New = std::move(landings).Spans();
  KeepCharactersWhole(name, result.Old);
  KeepCharactersWhole(result.NewName, result.New);
  return result;
}

}  // namespace quillet
