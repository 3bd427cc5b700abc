#include "infrastructure/network/SSELineParser.h"

#include "infrastructure/network/APIClientError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexel;
using namespace std::string_literals;

namespace {

struct Parsed {
    std::vector<SSELine> lines;
    bool stoppedAtDone = false;

    bool operator==(const Parsed&) const = default;
};

Parsed parseInPieces(const std::vector<std::string_view>& pieces) {
    SSELineParser parser;
    Parsed parsed;
    for (const auto piece : pieces) {
        if (!parser.feed(piece, [&](SSELine line) { parsed.lines.push_back(std::move(line)); })) {
            parsed.stoppedAtDone = true;
            break;
        }
    }
    if (!parsed.stoppedAtDone) {
        if (auto last = parser.finish()) {
            parsed.lines.push_back(std::move(*last));
        }
    }
    return parsed;
}

// The body read whole, in two pieces split at every byte position, and byte by
// byte must all give the same result.
Parsed parseEverySplit(std::string_view body) {
    const Parsed whole = parseInPieces({body});
    for (std::size_t split = 0; split <= body.size(); ++split) {
        EXPECT_EQ(parseInPieces({body.substr(0, split), body.substr(split)}), whole)
            << "split at byte " << split;
    }
    std::vector<std::string_view> bytes;
    for (std::size_t i = 0; i < body.size(); ++i) {
        bytes.push_back(body.substr(i, 1));
    }
    EXPECT_EQ(parseInPieces(bytes), whole) << "byte by byte";
    return whole;
}

std::vector<SSELine> linesOf(std::string_view body) {
    return parseEverySplit(body).lines;
}

} // namespace

TEST(SSELineParser, DispatchesEventsAtBlankLinesWithLfOrCrLf) {
    const std::vector<SSELine> expected{{"message_start", "{}"}};
    EXPECT_EQ(linesOf("event: message_start\ndata: {}\n\n"), expected);
    EXPECT_EQ(linesOf("event: message_start\r\ndata: {}\r\n\r\n"), expected);

    // Only one CR right before the LF goes; a CR anywhere else stays, and a CR
    // alone never ends a line.
    EXPECT_EQ(linesOf("data: a\rb\n\n"), (std::vector<SSELine>{{"", "a\rb"}}));
    EXPECT_EQ(linesOf("data: a\r\r\n\n"), (std::vector<SSELine>{{"", "a\r"}}));
    EXPECT_EQ(linesOf("data: a\r\rdata: b\n\n"), (std::vector<SSELine>{{"", "a\r\rdata: b"}}));

    // The last "event:" before the dispatch wins.
    EXPECT_EQ(linesOf("event: a\nevent: b\ndata: x\n\n"), (std::vector<SSELine>{{"b", "x"}}));
}

TEST(SSELineParser, JoinsDataLinesAndRemovesOneLeadingSpace) {
    EXPECT_EQ(linesOf("data: a\ndata: b\n\n"), (std::vector<SSELine>{{"", "a\nb"}}));
    EXPECT_EQ(linesOf("data:x\n\ndata: x\n\ndata:  x\n\n"),
              (std::vector<SSELine>{{"", "x"}, {"", "x"}, {"", " x"}}));
    EXPECT_EQ(linesOf("data:\ndata:\n\n"), (std::vector<SSELine>{{"", "\n"}}));
    EXPECT_EQ(linesOf("event:\ndata: d\n\n"), (std::vector<SSELine>{{"", "d"}}));
}

TEST(SSELineParser, BlankLinesResetTheEventNameAndCommentsAndOtherFieldsChangeNothing) {
    EXPECT_EQ(linesOf("event: stale\n\ndata: d\n\n"), (std::vector<SSELine>{{"", "d"}}));
    EXPECT_EQ(linesOf(": ping\nevent: e\n: another ping\ndata: d\n\n"),
              (std::vector<SSELine>{{"e", "d"}}));
    EXPECT_EQ(linesOf("id: 1\nretry: 5\ndata\nData: x\nEVENT: y\nevent\ndata: z\n\n"),
              (std::vector<SSELine>{{"", "z"}}));
    EXPECT_EQ(linesOf("\n\n\n"), std::vector<SSELine>{});
    EXPECT_EQ(linesOf(": only a comment\n\n"), std::vector<SSELine>{});
}

TEST(SSELineParser, DoneEndsTheBodyWithoutBeingYielded) {
    const auto parsed = parseEverySplit("data: 1\n\ndata: [DONE]\n\ndata: 2\n\n");
    EXPECT_EQ(parsed.lines, (std::vector<SSELine>{{"", "1"}}));
    EXPECT_TRUE(parsed.stoppedAtDone);

    // Nothing is trimmed and case matters.
    EXPECT_EQ(linesOf("data:  [DONE]\n\ndata: [done]\n\n"),
              (std::vector<SSELine>{{"", " [DONE]"}, {"", "[done]"}}));
    // "[DONE]" pending at the end of the body is not yielded either.
    EXPECT_EQ(linesOf("data: [DONE]\n"), std::vector<SSELine>{});
}

TEST(SSELineParser, EndOfBodyYieldsPendingDataButDropsAnUnterminatedLine) {
    EXPECT_EQ(linesOf("event: last\ndata: tail\n"), (std::vector<SSELine>{{"last", "tail"}}));
    EXPECT_EQ(linesOf("data: tail"), std::vector<SSELine>{});
    EXPECT_EQ(linesOf("data: kept\ndata: dropped"), (std::vector<SSELine>{{"", "kept"}}));
    EXPECT_EQ(linesOf(""), std::vector<SSELine>{});
}

TEST(SSELineParser, InvalidUtf8LineActsAsABlankLine) {
    EXPECT_EQ(linesOf("event: e\ndata: a\n\xff\xfe\ndata: b\n\n"),
              (std::vector<SSELine>{{"e", "a"}, {"", "b"}}));
    // A multi-byte character cut short spoils its whole line, not the next one.
    EXPECT_EQ(linesOf("data: a\ndata: \xc3\ndata: \xc3\xa9\n\n"),
              (std::vector<SSELine>{{"", "a"}, {"", "\xc3\xa9"}}));
    // Valid multi-byte text split anywhere is joined before it is decoded.
    EXPECT_EQ(linesOf("data: gr\xc3\xbcn \xf0\x9f\x8e\xac\n\n"),
              (std::vector<SSELine>{{"", "gr\xc3\xbcn \xf0\x9f\x8e\xac"}}));
    EXPECT_EQ(linesOf("data: a\0b\n\n"s), (std::vector<SSELine>{{"", "a\0b"s}}));
}

TEST(SSELineParser, LinesAndEventsBeyondTheCapEndTheBodyWithAnError) {
    const std::size_t cap = 64;
    const std::string atCap = "data: " + std::string(cap - 6, 'x');
    const auto feedAll = [&](const std::vector<std::string>& pieces) {
        SSELineParser parser(cap);
        std::size_t events = 0;
        for (const auto& piece : pieces) {
            parser.feed(piece, [&](SSELine) { ++events; });
        }
        return events;
    };
    // A line of exactly the cap still reads, whole or in pieces.
    EXPECT_EQ(feedAll({atCap + "\n\n"}), 1u);
    EXPECT_EQ(feedAll({atCap.substr(0, 10), atCap.substr(10), "\n\n"}), 1u);

    const auto expectCutOff = [&](const std::vector<std::string>& pieces) {
        try {
            feedAll(pieces);
            ADD_FAILURE() << "no error";
        } catch (const APIClientError& error) {
            EXPECT_EQ(error.kind(), APIClientError::Kind::networkError);
        }
    };
    // One byte more: whole, unterminated in pieces, or as data lines that never
    // end their event.
    expectCutOff({atCap + "x\n"});
    expectCutOff({atCap, "x"});
    expectCutOff({std::string(cap / 2, 'a') + "\n" + atCap.substr(0, cap / 2) + "\n",
                  atCap.substr(0, cap / 2 + 20) + "\n"});
}
