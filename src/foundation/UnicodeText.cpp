#include "foundation/UnicodeText.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace vexel::unicode {

namespace {

icu::UnicodeString toUnicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
}

std::string toUtf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

// A break iterator is costly to create; keep one per thread and reuse it.
icu::BreakIterator& characterIterator() {
    thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> it(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status) || !it) {
            throw std::runtime_error("ICU character break iterator unavailable");
        }
        return it;
    }();
    return *iterator;
}

bool isWhitespace(UChar32 c) {
    return c == 0x09 || u_charType(c) == U_SPACE_SEPARATOR;
}

bool isWhitespaceOrNewline(UChar32 c) {
    if (isWhitespace(c) || (c >= 0x0A && c <= 0x0D) || c == 0x85) {
        return true;
    }
    auto type = u_charType(c);
    return type == U_LINE_SEPARATOR || type == U_PARAGRAPH_SEPARATOR;
}

template <typename Predicate> std::string trimming(std::string_view text, Predicate drop) {
    icu::UnicodeString u = toUnicode(text);
    std::int32_t start = 0;
    std::int32_t end = u.length();
    while (start < end) {
        UChar32 c = u.char32At(start);
        if (!drop(c)) {
            break;
        }
        start += U16_LENGTH(c);
    }
    while (end > start) {
        std::int32_t last = u.moveIndex32(end, -1);
        if (!drop(u.char32At(last))) {
            break;
        }
        end = last;
    }
    return toUtf8(u.tempSubStringBetween(start, end));
}

} // namespace

bool isValidUtf8(std::string_view text) {
    // Most text is ASCII: skip it eight bytes at a time before decoding.
    std::size_t ascii = 0;
    while (ascii + 8 <= text.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + ascii, sizeof word);
        if ((word & 0x8080808080808080ull) != 0) {
            break;
        }
        ascii += 8;
    }
    text.remove_prefix(ascii);
    std::int32_t i = 0;
    auto length = static_cast<std::int32_t>(text.size());
    if (text.size() > static_cast<std::size_t>(INT32_MAX)) {
        return false;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    while (i < length) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) {
            return false;
        }
    }
    return true;
}

std::string replacingInvalidUtf8(std::string_view text) {
    if (isValidUtf8(text)) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size() + 8);
    // ICU walks 32-bit offsets: take the text in pieces that end before a
    // sequence's lead byte, so that no sequence is cut in two.
    constexpr std::size_t maxPiece = 1u << 30;
    while (!text.empty()) {
        std::size_t size = std::min(maxPiece, text.size());
        for (int back = 0; back < 3 && size < text.size() && size > 1 &&
                           (static_cast<std::uint8_t>(text[size]) & 0xC0) == 0x80;
             ++back) {
            --size;
        }
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        const auto length = static_cast<std::int32_t>(size);
        std::int32_t i = 0;
        while (i < length) {
            const std::int32_t start = i;
            UChar32 c = 0;
            U8_NEXT(bytes, i, length, c);
            if (c < 0) {
                out += "\xEF\xBF\xBD";
            } else {
                out.append(text.data() + start, static_cast<std::size_t>(i - start));
            }
        }
        text.remove_prefix(size);
    }
    return out;
}

std::size_t graphemeCount(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    icu::UnicodeString u = toUnicode(text);
    auto& it = characterIterator();
    it.setText(u);
    std::size_t count = 0;
    for (auto pos = it.next(); pos != icu::BreakIterator::DONE; pos = it.next()) {
        ++count;
    }
    return count;
}

std::string graphemePrefix(std::string_view text, std::size_t count) {
    icu::UnicodeString u = toUnicode(text);
    auto& it = characterIterator();
    it.setText(u);
    std::int32_t end = 0;
    for (std::size_t i = 0; i < count; ++i) {
        auto pos = it.next();
        if (pos == icu::BreakIterator::DONE) {
            break;
        }
        end = pos;
    }
    return toUtf8(u.tempSubStringBetween(0, end));
}

std::string graphemePrefixWithinBytes(std::string_view text, std::size_t maxBytes) {
    icu::UnicodeString u = toUnicode(text);
    auto& it = characterIterator();
    it.setText(u);
    std::int32_t previous = 0;
    std::string kept;
    for (auto pos = it.next(); pos != icu::BreakIterator::DONE; pos = it.next()) {
        std::string cluster = toUtf8(u.tempSubStringBetween(previous, pos));
        if (kept.size() + cluster.size() > maxBytes) {
            break;
        }
        kept += cluster;
        previous = pos;
    }
    return kept;
}

std::string removingControlAndFormatCharacters(std::string_view text) {
    icu::UnicodeString u = toUnicode(text);
    icu::UnicodeString out;
    for (std::int32_t i = 0; i < u.length();) {
        UChar32 c = u.char32At(i);
        auto type = u_charType(c);
        if (type != U_CONTROL_CHAR && type != U_FORMAT_CHAR) {
            out.append(c);
        }
        i += U16_LENGTH(c);
    }
    return toUtf8(out);
}

std::string trimmingWhitespace(std::string_view text) {
    return trimming(text, isWhitespace);
}

std::string trimmingWhitespaceAndNewlines(std::string_view text) {
    return trimming(text, isWhitespaceOrNewline);
}

std::string lowercased(std::string_view text) {
    // Plain ASCII lower-cases by itself in every locale-independent mapping;
    // names and words mostly are, and this runs once per clip name.
    if (std::all_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string lower(text);
        for (char& c : lower) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        return lower;
    }
    icu::UnicodeString u = toUnicode(text);
    u.toLower(icu::Locale::getRoot());
    return toUtf8(u);
}

std::string nfc(std::string_view text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* normalizer = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("ICU NFC normalizer unavailable");
    }
    icu::UnicodeString out = normalizer->normalize(toUnicode(text), status);
    if (U_FAILURE(status)) {
        return std::string(text);
    }
    return toUtf8(out);
}

} // namespace vexel::unicode
