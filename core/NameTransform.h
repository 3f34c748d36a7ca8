#pragma once
// The new name of a file from its old name, the mask that selected it and the
// rename pattern: each wildcard of the pattern takes the piece of the name that
// the same kind of wildcard of the mask captured. Base and extension are
// handled in two passes.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet {

// Position of the first "*" or "?", 0 when there is neither.
std::size_t WildcardPos(std::string_view text);

// The literal run before the first wildcard (all of text when there is none).
std::string_view LiteralHead(std::string_view text);

// The new file name. Pure; never throws. The pattern's own directory part is
// dropped, but pieces set side by side change which bytes pair up into
// double-byte characters, so a "\", "/" or ":" byte that was part of a
// character in the name or the pattern can stand on its own in the result;
// it stays there (the batch refuses such a name).
std::string ConvertName(std::string_view name, std::string_view mask,
                        std::string_view pattern);

}  // namespace quillet
