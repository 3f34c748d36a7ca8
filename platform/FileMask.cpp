#include "platform/FileMask.h"

#include "platform/Text.h"

namespace quillet::platform {
namespace {

// Adds the positions reachable from s without taking a character, through
// the positions in skip; a run of them is crossed at once.
template <class Bits>
void Close(Bits& s, const Bits& skip) {
  for (Bits more = (s & skip) << 1; (s | more) != s; more = (s & skip) << 1) s |= more;
}

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

}  // namespace

std::string_view TrimLastPart(std::string_view part) {
  if (part == "." || part == "..") return part;
  while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.remove_suffix(1);
  return part;
}

// "?" and "*" are no trail bytes: a byte is enough to find them.
bool SearchMayMiss(std::string_view part) {
  const std::size_t star = part.find('*');
  return star != std::string_view::npos && part.find('?', star) != std::string_view::npos;
}

FileMask::FileMask(std::string_view part) : text_(TrimLastPart(part)) {
  if (!text_.empty() && text_.back() == '*' && part.find('.', text_.size()) != std::string_view::npos)
    text_ += '.';
  all_ = text_ == "*" || text_ == "*.*";
  fits_ = CharCount(text_) <= MaxPathChars;
  if (all_ || !fits_) return;
  UpperCaseInPlace(text_.data(), text_.size());
  const std::string_view text = text_;
  const CharSteps steps(text);
  bool afterDosStar = false;
  for (std::size_t i = 0, next = 0; i < text.size(); i = next, ++end_) {
    next = steps.Next(i);
    afterDosStar = Add(i, text.substr(i, next - i), text.substr(next), afterDosStar);
  }
  const Wide stars = wide_.star | wide_.dosStar;
  ends_ = others_.empty() && stars.count() == 1 && (wide_.skipAtEnd | wide_.notDot).none();
  if (ends_) {
    while (!stars[head_]) ++head_;
    tail_ = end_ - head_ - 1;
  }
  if (end_ >= 64) return;
  const auto narrow = [](const Wide& bits) { return static_cast<std::uint64_t>(bits.to_ullong()); };
  narrow_ = {narrow(wide_.skip), narrow(wide_.skipAtDot), narrow(wide_.skipAtEnd),
             narrow(wide_.star), narrow(wide_.dosStar), narrow(wide_.notDot), narrow(wide_.dot)};
  for (std::size_t c = 0; c < wide_.ascii.size(); ++c) narrow_.ascii[c] = narrow(wide_.ascii[c]);
}

// The mask's character ch at byte i, before rest, as the moves of position
// end_; returns whether it is a DOS_STAR.
bool FileMask::Add(std::size_t i, std::string_view ch, std::string_view rest, bool afterDosStar) {
  const std::size_t p = end_;
  if (ch == "?") {
    wide_.skipAtDot.set(p);
    wide_.skipAtEnd.set(p);
    wide_.notDot.set(p);
  } else if (ch == "*") {
    const bool dosStar = rest.starts_with('.');
    wide_.skip.set(p);
    (dosStar ? wide_.dosStar : wide_.star).set(p);
    return dosStar;
  } else if (ch == "." &&
             (rest.starts_with('?') || rest.starts_with('*') || (rest.empty() && afterDosStar))) {
    wide_.skipAtEnd.set(p);
    wide_.dot.set(p);
  } else if (ch.size() == 1 && static_cast<unsigned char>(ch[0]) < 0x80) {
    const char c = ch[0];
    wide_.ascii[static_cast<unsigned char>(c)].set(p);
    if (c >= 'A' && c <= 'Z') wide_.ascii[static_cast<unsigned char>(c - 'A' + 'a')].set(p);
  } else {
    others_.push_back({p, i, ch.size()});
  }
  return false;
}

bool FileMask::Matches(std::string_view name) const {
  if (all_) return true;
  if (!fits_) return false;
  if (ends_) return MatchesEnds(name);
  return end_ < 64 ? Run(narrow_, name) : Run(wide_, name);
}

// Every character of the two ends is one ASCII byte, so the bytes are
// compared, and the tail must start where a character does; DOS_STAR never
// takes the name's last dot.
bool FileMask::MatchesEnds(std::string_view name) const {
  if (name.size() < head_ + tail_) return false;
  const std::size_t tailAt = name.size() - tail_;
  const auto same = [&](std::size_t at, std::size_t from, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
      if (FoldAscii(name[at + i]) != text_[from + i]) return false;
    return true;
  };
  if (!same(0, 0, head_) || !same(tailAt, head_ + 1, tail_)) return false;
  if (tail_ > 0 && CharSteps(name).IsTrail(tailAt)) return false;
  const std::size_t lastDot = wide_.dosStar.any() ? name.rfind('.') : std::string_view::npos;
  return lastDot == std::string_view::npos || lastDot < head_ || lastDot >= tailAt;
}

template <class Bits>
bool FileMask::Run(const Moves<Bits>& m, std::string_view name) const {
  const std::size_t lastDot = name.rfind('.');  // "." is never a trail byte
  const CharSteps chars(name);
  Bits now(1);
  for (std::size_t i = 0, next = 0; i < name.size(); i = next) {
    next = chars.Next(i);
    const bool dot = name[i] == '.';
    Close(now, dot ? m.skip | m.skipAtDot : m.skip);
    const Bits taken = (now & Takes(m, name.substr(i, next - i))) | (now & (dot ? m.dot : m.notDot));
    now = (taken << 1) | (now & m.star) | (i == lastDot ? Bits(0) : now & m.dosStar);
    if (now == Bits(0)) return false;
  }
  Close(now, m.skip | m.skipAtEnd);
  return ((now >> end_) & Bits(1)) != Bits(0);
}

// The positions whose literal takes ch. An ASCII letter is folded by the
// table; any other character is compared as the locale upper-cases it.
template <class Bits>
Bits FileMask::Takes(const Moves<Bits>& m, std::string_view ch) const {
  if (ch.size() == 1 && static_cast<unsigned char>(ch[0]) < 0x80)
    return m.ascii[static_cast<unsigned char>(ch[0])];
  Bits bits(0);
  for (const Literal& l : others_)
    if (SameChar(l, ch)) bits |= Bits(1) << l.at;
  return bits;
}

// One call to the locale's upper-casing only where the name differs from
// the literal.
bool FileMask::SameChar(const Literal& literal, std::string_view ch) const {
  const std::string_view wanted = std::string_view(text_).substr(literal.offset, literal.size);
  if (ch.size() != wanted.size()) return false;
  if (ch == wanted) return true;
  char upper[2] = {ch[0], ch.size() == 2 ? ch[1] : '\0'};
  UpperCaseInPlace(upper, ch.size());
  return std::string_view(upper, ch.size()) == wanted;
}

}  // namespace quillet::platform
