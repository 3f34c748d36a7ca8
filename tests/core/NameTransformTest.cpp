// Byte strings in code page 932 are written as escapes, the character named
// beside them.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/NameTransform.h"
#include "core/PathUtil.h"
#include "platform/Text.h"

namespace quillet {
namespace {

struct Row {
  const char* name;
  const char* mask;
  const char* pattern;
  const char* expected;
};

void ExpectRows(const std::vector<Row>& rows) {
  for (const Row& r : rows) {
    EXPECT_EQ(ConvertName(r.name, r.mask, RenamePattern(r.pattern)), r.expected)
        << "name " << r.name << ", mask " << r.mask << ", pattern " << r.pattern;
    EXPECT_EQ(ConvertNameWithCaptures(r.name, r.mask, RenamePattern(r.pattern)).NewName, r.expected)
        << "with captures: name " << r.name << ", mask " << r.mask << ", pattern " << r.pattern;
  }
}

TEST(ConvertName, DocumentedRenames) {
  ExpectRows({
      {"IMG_0012.JPG", "IMG_*.JPG", "photo_*.jpg", "photo_0012.jpg"},
      {"report.txt", "*.txt", "*.bak", "report.bak"},
      {"report.txt", "*.*", "old_*.*", "old_report.txt"},
      {"x.tar.gz", "*.*", "*.*", "x.gz"},
      {"x.tar.gz", "*.gz", "*", "x"},
      {"abc.txt", "*.txt", "sub\\*.bak", "abc.bak"},
      {"Track01.mp3", "Track??.mp3", "??_song.mp3", "01_song.mp3"},
      {"abc-def.txt", "*-*.txt", "*_*.txt", "abc_def.txt"},
      {"abc-def.txt", "*-*.txt", "*-*-*.txt", "abc-def-.txt"},
      {"abc-def.txt", "*-*.txt", "*.txt", "abc.txt"},
      {"ABC-def.TXT", "*-*.txt", "**.txt", "ABCdef.txt"},
      {"Hello.txt", "*.txt", "*", "Hello"},
      {"Hello.txt", "*.txt", "*.", "Hello."},
      {"Hello.txt", "h*.txt", "X*.txt", "Xello.txt"},
      {"aXbXc.txt", "*x*.txt", "[*][*].txt", "[a][bXc].txt"},
      {"a1b2.txt", "a?b?.txt", "??.log", "12.log"},
      {"memo.txt", "*", "*.doc", "memo.doc"},
      {"memo.txt", "*.x*", "*.d*", "memo.dxt"},
      {"memo.txt", "*.x*", "*.**", "memo.xt"},
      {"a_b.c_d", "*_*.*_*", "*.**", "a.cd"},
      {"readme", "*.*", "*.txt", "readme.txt"},
      {"memo.txt", "**.txt", "*.txt", ".txt"},
      {"memo.txt", "*.txt", "abc.def.*", "abc."},
      {"abc-def.txt", "*_*.txt", "[*][*].txt", "[][bc-def].txt"},
      {"a-b.txt", "*-*.txt", "*.**", "a.b"},
      {"a.txt", "a.txt", "*_x.txt", "_x.txt"},
  });
}

TEST(ConvertName, EdgeCases) {
  ExpectRows({
      // A mask without wildcards captures nothing.
      {"abc.txt", "abc.txt", "?*?.*", "."},
      // An empty pattern gives an empty name.
      {"abc.txt", "*.txt", "", ""},
      // Only the name's file-name part counts.
      {"C:\\dir.x\\abc.txt", "*.txt", "*.bak", "abc.bak"},
      {"dir.x/abc.txt", "*.txt", "*.bak", "abc.bak"},
      // A "/" in the pattern cuts a directory part like "\" does, so the new
      // name never leads elsewhere.
      {"abc.txt", "*.txt", "photo/*.jpg", "abc.jpg"},
      {"abc.txt", "*.txt", "a/b\\c:*.jpg", "abc.jpg"},
      {"abc.txt", "*.txt", "*.jpg/x", "x"},
      // A pattern base holding a dot gives way to the pattern's extension.
      {"abc.txt", "*.txt", "*.def.x", "abc.x"},
      {"a.b.txt", "*.txt", "*", "a"},
      // Captures keep the name's case; literals of the pattern stay as typed.
      {"MiXeD.TxT", "m*.txt", "lower*.Txt", "loweriXeD.Txt"},
      // The search takes the first occurrence, whatever its case.
      {"aBcabc.txt", "*b*.txt", "*|*.txt", "a|cabc.txt"},
      // A literal longer than what is left of the name is not found.
      {"ab.txt", "*abc*.txt", "[*][*].txt", "[][].txt"},
      // A literal run of the mask longer than the name empties it.
      {"ab.txt", "abcdef*.txt", "[*].txt", "[].txt"},
      // The extension pass starts at slot 0 again; "?" slots above show
      // through from the base.
      {"abc.d", "???.?", "?.???", "a.dc"},
      // ...but slot 0 is cleared before it, and every advancing star clears
      // the slot it moves on to.
      {"ab.c", "?b.*", "x.?", "x."},
      {"a-b.x", "*-*.*z", "*.**", "a."},
  });
}

TEST(ConvertName, QuestionMarkPastEndOfNameTakesNothing) {
  ExpectRows({
      {"ab.txt", "????.txt", "[?][?][?][?].txt", "[a][b][][].txt"},
      // The star takes all of the name, so the "?" after it finds nothing.
      {"abc.txt", "*?.txt", "<?>*.txt", "<>abc.txt"},
      {"abc.t", "*.t??", "*.?_?", "abc._"},
      {"", "???", "?-?-?", "--"},
      // In the extension pass too: each "?" there writes its slot with the
      // empty text, over what the base pass put into it.
      {"ab.x", "??.x??", "x.??", "x."},
      {"abc.x", "???.x???", "?.???", "a."},
  });
}

// A "?" takes a whole character, a star's literal is found only where one
// starts, and a literal run skipped by its length drops whole ones. Under a
// single-byte code page (core_tests_single_byte) every byte is one.
TEST(ConvertName, CapturesKeepCharactersWhole) {
  const std::array<bool, 256>& lead = platform::LeadByteTable();
  const bool doubleByte = std::find(lead.begin(), lead.end(), true) != lead.end();
  ASSERT_EQ(doubleByte, std::getenv("QUILLET_SINGLE_BYTE") == nullptr) << "not the code page asked for";
  struct {
    const char *name, *mask, *pattern, *whole, *byteWise;  // the result in code page 932, in a single-byte one
  } rows[] = {
      // "\x8e\xca_\x90\x5e" (two kanji): byte-wise, "?" took the lead byte of
      // the first, and the expansion paired it with the "_" into another kanji.
      {"\x8e\xca_\x90\x5e.jpg", "?_*.jpg", "?*.jpg", "\x8e\xca\x90\x5e.jpg", "\x8e_\x90\x5e.jpg"},
      // "_" is the trail byte of "\x83\x5f" (a katakana): not found there.
      {"\x83\x5f_x.txt", "*_*.txt", "[*][*].txt", "[\x83\x5f][x].txt", "[\x83][_x].txt"},
      // Nor "A" as the trail byte of "\x83\x41", whatever the case.
      {"\x83\x41" "b.txt", "*a*.txt", "[*][*].txt", "[][b].txt", "[\x83][b].txt"},
      {"\x83\x41\x83\x41" "a.txt", "*a*.txt", "[*][*].txt", "[\x83\x41\x83\x41][].txt", "[\x83][\x83\x41" "a].txt"},
      // The upper-casing leaves the trail byte "a" of "\x83\x61"; the
      // literal's one byte, not found, is skipped with the whole character.
      {"\x83\x61x.txt", "*A*.txt", "[*][*].txt", "[][x].txt", "[\x83][x].txt"},
      // A literal run skipped by its length: "x" ends inside the kanji.
      {"\x8e\xca" "b.txt", "x*.txt", "[*].txt", "[b].txt", "[\xca" "b].txt"},
      // "?" takes a whole character, also a lone lead byte at the end.
      {"a\x83\x5f.txt", "???.txt", "??-?x.txt", "a\x83\x5f-x.txt", "a\x83-_x.txt"},
      {"\x94", "?", "[?]", "[\x94]", "[\x94]"},
      {"a\x94", "??*", "[?][?][*]", "[a][\x94][]", "[a][\x94][]"},
  };
  for (const auto& r : rows) {
    const char* expected = doubleByte ? r.whole : r.byteWise;
    const RenamePattern pattern(r.pattern);
    EXPECT_EQ(ConvertName(r.name, r.mask, pattern), expected) << r.name << " " << r.mask;
    EXPECT_EQ(ConvertNameWithCaptures(r.name, r.mask, pattern).NewName, expected) << r.name;
  }
}

// Captures are whole characters, but set down after a lead byte of the
// pattern without its trail byte, a piece's first byte pairs with it, and a
// "/" after it, or the trail byte of "\x95\x5c" (a kanji), stands alone: that
// 0x5C is a "\" of its own. The new name is what the pieces make, delimiter
// and all, so the preview shows it; the batch refuses it (see the flow
// tests). A directory part typed into the pattern is dropped all the same.
TEST(ConvertName, SplitCharacterIsKeptAsThePiecesMakeIt) {
  ExpectRows({
      {"\x95\x5c.txt", "*.txt", "sub\x95*.txt", "sub\x95\x95\x5c.txt"},
      {"\x94", "?", "?\x95/x", "\x94\x95/x"},
      // Put back together, the character stays whole.
      {"a\x95\x5c.txt", "???.txt", "?-??.txt", "a-\x95\x5c.txt"},
      {"\x95\x5c.txt", "*.txt", "a\\sub\x95*.txt", "sub\x95\x95\x5c.txt"},
  });
  EXPECT_NE(FileNamePart("sub\x95\x95\x5c.txt"), "sub\x95\x95\x5c.txt");
  EXPECT_NE(FileNamePart("\x94\x95/x"), "\x94\x95/x");
}

// Windows upper-cases the full-width letters too ("\x82\x81" full-width a to
// "\x82\x60" full-width A); the portable stand-in only a to z.
TEST(ConvertName, SearchFoldsFullWidthLettersOnlyOnWindows) {
  const std::string name = "x\x82\x81y.txt";
  const std::string mask = "*\x82\x60*.txt";
#ifdef _WIN32
  EXPECT_EQ(ConvertName(name, mask, RenamePattern("[*][*].txt")), "[x][y].txt");
#else
  // Not found: the star takes nothing, and the literal's two bytes are
  // dropped from the name all the same, and the character the second ends in.
  EXPECT_EQ(ConvertName(name, mask, RenamePattern("[*][*].txt")), "[][y].txt");
#endif
}

std::string Repeat(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

std::string Cat(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces) text += piece;
  return text;
}

std::string Letters(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

// 256 slots per kind: captures and pattern wildcards beyond them are the
// empty text.
TEST(ConvertName, QuestionMarksBeyondTheSlotsTakeNothing) {
  const std::string name = Letters(300);
  const std::string expected = name.substr(0, 256);
  const std::string many = Repeat("?", 300);
  EXPECT_EQ(ConvertName(name, many, RenamePattern(many)), expected);
  EXPECT_EQ(ConvertName(Cat({"x.", name}), Cat({"x.", many}), RenamePattern(Cat({"y.", many}))),
            Cat({"y.", expected}));
}

TEST(ConvertName, StarsBeyondTheSlotsTakeNothing) {
  std::string name = "0", mask = "*", pattern = "*", expected = "0";
  for (int i = 1; i < 300; ++i) {
    name += Cat({"-", std::to_string(i)});
    mask += "-*";
    pattern += "_*";
    expected += Cat({"_", i < 256 ? std::to_string(i) : ""});
  }
  EXPECT_EQ(ConvertName(name, mask, RenamePattern(pattern)), expected);
  EXPECT_EQ(ConvertName(Cat({"n.", name}), Cat({"n.", mask}), RenamePattern(Cat({"n.", pattern}))),
            Cat({"n.", expected}));
}

TEST(ConvertName, ManyWildcardsOnAShortNameStillGiveAName) {
  const std::string stars = Repeat("*", 400);
  const std::string mixed = Repeat("?*x", 400);
  // Every star of the mask writes slot 0 again, the later ones with nothing.
  EXPECT_EQ(ConvertName("ab.cd", Cat({stars, ".", stars}), RenamePattern("<*>.*")), "<>.");
  EXPECT_EQ(ConvertName("ab.cd", "*.*", RenamePattern(Cat({stars, ".", stars}))), "ab.cd");
  EXPECT_EQ(ConvertName("ab.cd", Cat({mixed, ".", mixed}), RenamePattern(Cat({"<", mixed, ">"}))),
            Cat({"<a", Repeat("x", 400), ">"}));
}

// Longer than any real file name: the search's upper-cased copies no longer
// fit on the stack.
TEST(ConvertName, LongNamesAreSearchedToo) {
  const std::string head = Repeat("a", 700);
  EXPECT_EQ(ConvertName(Cat({head, "Xb.txt"}), "*x*.txt", RenamePattern("[*][*].txt")),
            Cat({"[", head, "][b].txt"}));
  EXPECT_EQ(ConvertName("b.txt", Cat({"*", Repeat("B", 600), "*.txt"}), RenamePattern("[*][*].txt")),
            "[][].txt");
  // A dot before a pattern's long literal run still starts the new base's
  // extension, which gives way to the pattern's.
  EXPECT_EQ(ConvertName("b.txt", "*.txt", RenamePattern(Cat({"*.", Repeat("x", 1100), "*.log"}))),
            "b.log");
}

// text with each span written as <capture:bytes>, a dropped one {capture:bytes}.
std::string Marked(std::string_view text, const std::vector<CaptureSpan>& spans) {
  std::string out;
  std::size_t at = 0;
  for (const CaptureSpan& s : spans) {
    out.append(text.substr(at, s.Begin - at)).append(1, s.Dropped ? '{' : '<');
    out.append(std::to_string(s.Capture)).append(1, ':');
    out.append(text.substr(s.Begin, s.End - s.Begin)).append(1, s.Dropped ? '}' : '>');
    at = s.End;
  }
  return out.append(text.substr(at));
}

TEST(ConvertNameWithCaptures, SaysWhereEachPieceCameFromAndWent) {
  struct {
    const char* name;
    const char* mask;
    const char* pattern;
    const char* old;
    const char* made;
  } rows[] = {
      {"IMG_0012.JPG", "IMG_*.JPG", "photo_*.jpg", "IMG_<0:0012>.JPG", "photo_<0:0012>.jpg"},
      // A swap: the "?" piece goes after the star's.
      {"ab.txt", "?*.txt", "*?.txt", "<0:a><1:b>.txt", "<1:b><0:a>.txt"},
      // The extension pass numbers on from the base.
      {"report.txt", "*.*", "old_*.*", "<0:report>.<1:txt>", "old_<0:report>.<1:txt>"},
      // The base's dot part gives way to the new extension: dropped.
      {"x.tar.gz", "*.*", "*.*", "<0:x>{0:.tar}.<1:gz>", "<0:x>.<1:gz>"},
      // An empty capture has no span.
      {"a-.txt", "*-*.txt", "*_*.txt", "<0:a>-.txt", "<0:a>_.txt"},
      // A base "?" shows through in the extension: it lands twice.
      {"ab.x", "??.x", "??.??", "<0:a><1:b>.x", "<0:a><1:b>.<1:b>"},
      // A capture the pattern leaves out lands nowhere: dropped.
      {"a-b.txt", "*-*.txt", "*.txt", "<0:a>-{1:b}.txt", "<0:a>.txt"},
      // Landing twice, once cut back: what the other landing holds is kept.
      {"a-b.c.x", "*-*.x", "*-*.**", "<0:a>-<1:b.c>.x", "<0:a>-<1:b>.<1:b.c>"},
      // "\x8e\xca\x90\x5e" (two kanji) taken whole by the stars.
      {"\x8e\xca_\x90\x5e.jpg", "*_*.jpg", "*-*.jpg", "<0:\x8e\xca>_<1:\x90\x5e>.jpg",
       "<0:\x8e\xca>-<1:\x90\x5e>.jpg"},
      // "?" takes a whole character: a kanji swap.
      {"a\x95\x5c.txt", "???.txt", "?-??.txt", "<0:a><1:\x95\x5c>.txt", "<0:a>-<1:\x95\x5c>.txt"},
      {"\x8e\xca\x90\x5e.jpg", "?*.jpg", "x*?.jpg", "<0:\x8e\xca><1:\x90\x5e>.jpg",
       "x<1:\x90\x5e><0:\x8e\xca>.jpg"},
      // After a lead byte of the pattern without its trail byte, a piece's edge
      // falls inside a character, which goes whole to the side of its lead byte.
      {"\x95\x5c-a.txt", "*-*.txt", "\x95*?*.txt", "<0:\x95\x5c>-<1:a>.txt",
       "\x95\x95<0:\x5c><1:a>.txt"},
      // A lone lead byte at the end is a character of its own.
      {"ab\x88", "*", "*", "<0:ab\x88>", "<0:ab\x88>"},
  };
  for (const auto& r : rows) {
    const ConvertedName got = ConvertNameWithCaptures(r.name, r.mask, RenamePattern(r.pattern));
    SCOPED_TRACE(std::string(r.name) + " " + r.mask + " " + r.pattern);
    EXPECT_EQ(got.NewName, ConvertName(r.name, r.mask, RenamePattern(r.pattern)));
    EXPECT_EQ(Marked(r.name, got.Old), r.old);
    EXPECT_EQ(Marked(got.NewName, got.New), r.made);
  }
}

TEST(WildcardPos, FindsTheFirstWildcardOfEitherKind) {
  struct {
    const char* text;
    std::size_t pos;
    const char* head;
  } rows[] = {
      {"", 0, ""},       {"abc", 0, "abc"}, {"*", 1, ""},       {"?", 1, ""},
      {"ab*c?", 3, "ab"}, {"ab?c*", 3, "ab"}, {"a\x83\x5c*", 4, "a\x83\x5c"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(WildcardPos(r.text), r.pos) << r.text;
    EXPECT_EQ(LiteralHead(r.text), r.head) << r.text;
  }
}

}  // namespace
}  // namespace quillet
