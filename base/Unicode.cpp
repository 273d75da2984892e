#include "base/Unicode.h"

#include <cstdint>

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(char16_t(c));
        return;
    }
    c -= 0x10000;
    out.push_back(char16_t(0xD800 + (c >> 10)));
    out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

// What a lead byte starts: how many continuation bytes follow, and the range the first of them
// must lie in (which excludes overlong forms, surrogates and code points beyond U+10FFFF).
struct Lead {
    int continuation = -1; // -1: no lead byte
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
};

Lead LeadOf(std::uint8_t b) {
    if (b >= 0xC2 && b <= 0xDF)
        return {1};
    if (b == 0xE0)
        return {2, 0xA0};
    if (b == 0xED)
        return {2, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF)
        return {2};
    if (b == 0xF0)
        return {3, 0x90};
    if (b >= 0xF1 && b <= 0xF3)
        return {3};
    if (b == 0xF4)
        return {3, 0x80, 0x8F};
    return {};
}

} // namespace

std::u16string Utf8ToUtf16(std::string_view text, bool* wellFormed) {
    std::u16string out;
    out.reserve(text.size());
    bool clean = true;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = std::uint8_t(text[i]);
        ++i;
        if (b < 0x80) {
            out.push_back(char16_t(b));
            continue;
        }
        const Lead lead = LeadOf(b);
        bool complete = lead.continuation > 0;
        // The lead byte's payload bits: 5, 4 or 3 of them.
        char32_t c = complete ? b & (0x3F >> lead.continuation) : 0;
        for (int k = 0; complete && k < lead.continuation; ++k) {
            const std::uint8_t low = k == 0 ? lead.low : 0x80;
            const std::uint8_t high = k == 0 ? lead.high : 0xBF;
            // A byte that does not continue the sequence starts the next one.
            if (i == text.size() || std::uint8_t(text[i]) < low || std::uint8_t(text[i]) > high) {
                complete = false;
                break;
            }
            c = (c << 6) | (std::uint8_t(text[i]) & 0x3F);
            ++i;
        }
        if (complete) {
            AppendUtf16(out, c);
        } else {
            out.push_back(kReplacement);
            clean = false;
        }
    }
    if (wellFormed)
        *wellFormed = clean;
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::optional<std::u16string> Utf16Name(std::string_view name) {
    bool wellFormed = false;
    std::u16string wide = Utf8ToUtf16(name, &wellFormed);
    if (!wellFormed || wide.find(u'\0') != std::u16string::npos)
        return std::nullopt;
    return wide;
}
