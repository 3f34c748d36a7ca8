#pragma once
// Path helpers over ANSI byte strings. Positions count from 1; 0 means none.
// Delimiters are "\", "/" and ":"; the searches step over double-byte
// characters, so a trail byte 0x5C is never taken for a "\".

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet {

// Whether c separates the parts of a path: "\" or "/" (a trail byte may look
// like one). The drive colon delimits but separates no parts.
inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// Position of the last byte of text that is in set and is not a trail byte.
std::size_t LastDelimiter(std::string_view set, std::string_view text);

// The text after the last "\", "/" or ":"; the whole path when there is none.
std::string_view FileNamePart(std::string_view path);

// From the last "." on (the dot included) when that dot comes after the last
// path delimiter; else the empty text. a.b.c -> .c, name. -> ".", readme -> "".
std::string_view Extension(std::string_view path);

// One past the last ".", "\", "/" or ":" byte of text, a trail byte or not;
// 0 when there is none.
std::size_t ExtensionBound(std::string_view text);

// The extension of a path that holds none of those bytes from byte bound on:
// a path put together from pieces whose bounds are known is searched from
// there, not from its end.
std::string_view Extension(std::string_view path, std::size_t bound);

// Up to the last delimiter; the backslash of a root (C:\) stays.
std::string_view DirectoryPart(std::string_view path);

// Absolute form against the current directory; the empty text on failure.
std::string FullPath(std::string_view path);

// A copy upper-cased by the locale, byte length kept.
std::string UpperCased(std::string_view text);

}  // namespace quillet
