#include "host/ascii_text.h"

#include <gtest/gtest.h>

#include <utility>

namespace tavo {
namespace {

struct CaseBlindPair {
    const char* a;
    const char* b;
    bool same;
};

TEST(AsciiText, LettersMatchWithoutRegardToCaseAndNothingElseFolds) {
    for (const CaseBlindPair& c : {
             CaseBlindPair{"ToolTipText", "tooltiptext", true},
             CaseBlindPair{"Value", "Values", false},
             CaseBlindPair{"\xC4", "\xE4", false},  // only ASCII letters fold
             CaseBlindPair{"a_1", "A_1", true},
             CaseBlindPair{"@", "`", false},  // neighbours of 'A' and 'a'
             CaseBlindPair{"[", "{", false},
             CaseBlindPair{"", "", true},
         }) {
        EXPECT_EQ(ascii::equalsNoCase(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(ascii::folded(c.a) == ascii::folded(c.b), c.same) << c.a << " / " << c.b;
        if (c.same) {
            EXPECT_EQ(ascii::hashNoCase(c.a), ascii::hashNoCase(c.b)) << c.a;
        }
    }
    EXPECT_TRUE(ascii::startsWithNoCase("&hFF", "&H"));
    EXPECT_FALSE(ascii::startsWithNoCase("&", "&H"));
    for (const auto& [from, to] : {std::pair{'a', 'A'}, std::pair{'z', 'Z'}, std::pair{'Q', 'Q'}, std::pair{'`', '`'},
                                   std::pair{'{', '{'}, std::pair{'7', '7'}, std::pair{'\xE4', '\xE4'}})
        EXPECT_EQ(ascii::upper(from), to) << from;
}

TEST(AsciiText, AnIdentifierIsALetterOrUnderscoreThenLettersDigitsAndUnderscores) {
    for (const char* good : {"a", "_", "Cal1", "mySSTree", "A_b_9"}) EXPECT_TRUE(ascii::isIdentifier(good)) << good;
    for (const char* bad : {"", "1a", "a-b", "a.b", "a b", "\xE4", "Stra\xC3\x9F" "e"})
        EXPECT_FALSE(ascii::isIdentifier(bad)) << bad;
}

}  // namespace
}  // namespace tavo
