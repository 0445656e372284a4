#pragma once
// Jet's "General" sort order for texts, as DAO returns an ORDER BY on a text
// column and as Access orders a text column's index.
//
// Texts compare letter by letter without regard to case; accented letters
// count as their base letter (Èrba after Elfo, Città before Cittadella), the
// accents deciding only between texts that are otherwise equal (in the order
// none, grave, acute, circumflex, diaeresis, tilde, ring, cedilla, caron).
// Control characters come first, then spaces and punctuation, then digits,
// then letters; ß and æ, œ count as ss, ae, oe; Þ and Ø follow Z. Hyphens and
// apostrophes weigh only between texts equal without them. Two texts compare
// equal exactly when they are equal without regard to case (see Piega),
// but for what Access's indexes weigh alike: every control character, the
// kinds of space (space, tab, no-break space), of quotation marks (" « »)
// and a digit with its superscript.

#include <string>
#include <string_view>

namespace quandora::jet {

// A key whose byte order (memcmp, then length) is the sort order of texts.
std::string ChiaveCollazione(std::string_view utf8);

// <0, 0, >0 as a sorts before, with, or after b.
int ConfrontaTesti(std::string_view a, std::string_view b);

}  // namespace quandora::jet
