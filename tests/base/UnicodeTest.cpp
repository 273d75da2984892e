// UTF-8 to UTF-16 and back: well-formed text both ways, and what becomes of text that is not.

#include "base/Unicode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Utf8Case {
    const char* name;
    std::string utf8;
    std::u16string utf16;
    bool wellFormed;
};

// Each maximal ill-formed part becomes one U+FFFD; a byte that cannot continue a sequence starts
// the next one.
const std::vector<Utf8Case> kUtf8Cases = {
    {"empty", "", u"", true},
    {"ascii", "scene.avi", u"scene.avi", true},
    {"twoAndThreeBytes", "\xC3\xB6l \xE9\x9B\xAA", u"\u00F6l \u96EA", true},
    {"surrogatePair", "\xF0\x9F\x8E\xAC.avi", u"\U0001F3AC.avi", true},
    {"highestCodePoint", "\xF4\x8F\xBF\xBF", u"\U0010FFFF", true},
    {"replacementItself", "a\xEF\xBF\xBD", u"a\uFFFD", true},
    {"strayByte", "a\xFF.avi", u"a\uFFFD.avi", false},
    {"loneContinuation", "\x80x", u"\uFFFDx", false},
    {"overlong", "\xC0\xAF", u"\uFFFD\uFFFD", false},
    {"overlongThreeBytes", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD", false},
    {"encodedSurrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", false},
    {"beyondUnicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", false},
    {"truncatedAtEnd", "ab\xE9\x9B", u"ab\uFFFD", false},
    {"truncatedBeforeAscii", "\xF0\x9F\x8Ex", u"\uFFFDx", false},
};

TEST(Unicode, Utf8ToUtf16) {
    for (const Utf8Case& c : kUtf8Cases) {
        SCOPED_TRACE(c.name);
        bool wellFormed = !c.wellFormed;
        EXPECT_EQ(Utf8ToUtf16(c.utf8, &wellFormed), c.utf16);
        EXPECT_EQ(wellFormed, c.wellFormed);
        // Well-formed text comes back as it was.
        if (c.wellFormed) {
            EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
        }
    }
}

TEST(Unicode, UnpairedSurrogatesBecomeTheReplacementCharacter) {
    const struct {
        const char* name;
        std::u16string utf16;
        std::string utf8;
    } cases[] = {
        {"lowAlone", u"a" + std::u16string(1, 0xDC00) + u"z", "a\xEF\xBF\xBDz"},
        {"highAlone", u"a" + std::u16string(1, 0xD800) + u"z", "a\xEF\xBF\xBDz"},
        {"highAtEnd", u"a" + std::u16string(1, 0xDBFF), "a\xEF\xBF\xBD"},
        {"reversedPair", std::u16string{0xDC00, 0xD800}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.name;
}

// A name that is not what it says, opened with a replacement character or cut at a NUL, could
// open another file.
TEST(Unicode, NamesMustBeWellFormedAndWhole) {
    for (const Utf8Case& c : kUtf8Cases) {
        const auto name = Utf16Name(c.utf8);
        EXPECT_EQ(name.has_value(), c.wellFormed) << c.name;
        if (name) {
            EXPECT_EQ(*name, c.utf16) << c.name;
        }
    }
    EXPECT_EQ(Utf16Name(std::string("a.avi\0.txt", 10)), std::nullopt);
}

} // namespace
