#include "journeys/SteadyEdits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace vexel::journeys {

std::chrono::nanoseconds sinceBoot() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

std::vector<std::string> textNames(const Project& project) {
    std::vector<Clip> texts = project.textClips();
    std::stable_sort(texts.begin(), texts.end(), [](const Clip& a, const Clip& b) {
        return a.timeRange.startTime < b.timeRange.startTime;
    });
    std::vector<std::string> names;
    for (const Clip& text : texts) {
        names.push_back(text.assetName);
    }
    return names;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : "|") + name;
    }
    return text;
}

std::vector<std::string> split(const QString& text) {
    std::vector<std::string> names;
    for (const QString& name : text.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        names.push_back(name.toStdString());
    }
    return names;
}

Edit Edit::from(const QString& line) {
    const qsizetype at = line.lastIndexOf(QStringLiteral(" at "));
    return {line.left(at).toStdString(), std::chrono::nanoseconds(line.mid(at + 4).toLongLong())};
}

void collectEdits(ChildSession& child, int session, std::chrono::milliseconds editing,
                  std::vector<Edit>& edits) {
    std::optional<std::chrono::steady_clock::time_point> until;
    while (!until || std::chrono::steady_clock::now() < *until) {
        const auto left = until ? std::chrono::duration_cast<std::chrono::milliseconds>(
                                      *until - std::chrono::steady_clock::now())
                                : std::chrono::milliseconds(std::chrono::seconds(60));
        const std::optional<QString> line =
            child.waitForLineStartingWith(QString::fromLatin1(editLine), left);
        if (!line) {
            ASSERT_TRUE(until) << "session " << session << " made no edit";
            ASSERT_EQ(child.process().state(), QProcess::Running)
                << "session " << session << " ended before it was killed";
            continue;
        }
        edits.push_back(Edit::from(*line));
        if (!until) {
            until = std::chrono::steady_clock::now() + editing;
        }
    }
}

void collectLastEdits(ChildSession& child, std::vector<Edit>& edits) {
    while (const std::optional<QString> line = child.waitForLineStartingWith(
               QString::fromLatin1(editLine), std::chrono::milliseconds(0))) {
        edits.push_back(Edit::from(*line));
    }
}

void expectEditsKept(const std::vector<std::string>& kept, const std::vector<std::string>& names,
                     const std::vector<Edit>& edits, std::chrono::nanoseconds killedAt,
                     int killed) {
    ASSERT_GE(names.size(), kept.size());
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), names.begin()))
        << "recovered work went missing";
    const std::vector<std::string> added(names.begin() + long(kept.size()), names.end());
    ASSERT_LE(added.size(), edits.size());
    std::size_t due = 0;
    for (std::size_t n = 0; n < edits.size(); ++n) {
        if (n < added.size()) {
            EXPECT_EQ(added[n], edits[n].name);
        }
        if (killedAt - edits[n].made >= recoveredWithin) {
            due = n + 1;
        }
    }
    EXPECT_GE(added.size(), due)
        << "session " << killed << " was killed "
        << std::chrono::duration<double>(killedAt - edits[due - 1].made).count() << " s after \""
        << edits[due - 1].name << "\", which is lost";
}

} // namespace vexel::journeys
