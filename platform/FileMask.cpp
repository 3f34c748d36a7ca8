#include "platform/FileMask.h"

#include <string>

#include "platform/Text.h"

namespace quillet::platform {
namespace {

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

}  // namespace

std::string_view TrimLastPart(std::string_view part) {
  if (part == "." || part == "..") return part;
  while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.remove_suffix(1);
  return part;
}

FileMask::FileMask(std::string_view part) {
  std::string text(TrimLastPart(part));
  if (!text.empty() && text.back() == '*' && part.find('.', text.size()) != std::string_view::npos)
    text += '.';
  all_ = text == "*" || text == "*.*";
  UpperCaseInPlace(text.data(), text.size());
  const CharSteps steps(text);
  for (std::size_t i = 0; i < text.size() && !all_;) {
    const std::size_t len = steps.Next(i) - i;
    const std::string_view rest = std::string_view(text).substr(i + len);
    Token t{Lit, {text[i], len == 2 ? text[i + 1] : '\0'}, len};
    if (len == 1 && text[i] == '?') t.kind = DosQm;
    else if (len == 1 && text[i] == '*') t.kind = rest.starts_with('.') ? DosStar : Star;
    else if (len == 1 && text[i] == '.' &&
             (rest.starts_with('?') || rest.starts_with('*') ||
              (rest.empty() && !tokens_.empty() && tokens_.back().kind == DosStar)))
      t.kind = DosDot;
    tokens_.push_back(t);
    i += len;
  }
}

bool FileMask::Matches(std::string_view name) const {
  if (all_) return true;
  const std::size_t lastDot = name.rfind('.');  // "." is never a trail byte
  const CharSteps steps(name);
  States now;
  now[0] = true;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t next = steps.Next(i);
    Close(now, false, name[i] == '.');
    now = Step(now, name.substr(i, next - i), i == lastDot);
    if (now.none()) return false;
    i = next;
  }
  Close(now, true, false);
  return now[tokens_.size()];
}

// Adds the positions reachable without taking a character.
void FileMask::Close(States& s, bool atEnd, bool atDot) const {
  for (std::size_t p = 0; p < tokens_.size(); ++p) {
    if (!s[p]) continue;
    const Kind k = tokens_[p].kind;
    if (k == Star || k == DosStar || (k == DosQm && (atEnd || atDot)) || (k == DosDot && atEnd))
      s[p + 1] = true;
  }
}

FileMask::States FileMask::Step(const States& s, std::string_view ch, bool isLastDot) const {
  States next;
  const bool dot = ch == ".";
  for (std::size_t p = 0; p < tokens_.size(); ++p) {
    if (!s[p]) continue;
    const Token& t = tokens_[p];
    switch (t.kind) {
      case Lit: next[p + 1] = next[p + 1] || SameChar(t, ch); break;
      case Star: next[p] = true; break;
      case DosStar: next[p] = next[p] || !(dot && isLastDot); break;
      case DosQm: next[p + 1] = next[p + 1] || !dot; break;
      case DosDot: next[p + 1] = next[p + 1] || dot; break;
    }
  }
  return next;
}

// The token holds its character upper-cased. An ASCII letter is folded
// here; any other character that differs is upper-cased by the locale, one
// call only for a mask that names such a character and a name that differs
// from it there.
bool FileMask::SameChar(const Token& t, std::string_view ch) {
  if (t.len != ch.size()) return false;
  if (t.len == 1 && static_cast<unsigned char>(ch[0]) < 0x80) return t.ch[0] == FoldAscii(ch[0]);
  if (ch == std::string_view(t.ch, t.len)) return true;
  char upper[2] = {ch[0], t.len == 2 ? ch[1] : '\0'};
  UpperCaseInPlace(upper, t.len);
  return std::string_view(upper, t.len) == std::string_view(t.ch, t.len);
}

}  // namespace quillet::platform
