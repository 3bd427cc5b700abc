#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexel::journeys {

// A session of a journey: this program started again as a child process,
// over the journey's folders (`environment`), running one named step instead
// of the tests. Its standard output is passed on line by line, prefixed, and
// watched for the lines the step announces; its errors go straight through.
class ChildSession {
public:
    ChildSession(const std::string& step, const QStringList& arguments,
                 const QProcessEnvironment& environment);
    // A child still running is killed.
    ~ChildSession();
    ChildSession(const ChildSession&) = delete;
    ChildSession& operator=(const ChildSession&) = delete;

    // True once the child has written `line`; false when it ended or `limit`
    // passed first.
    bool waitForLine(const QString& line, std::chrono::milliseconds limit);
    // The next line the child writes that begins with `prefix`, without it;
    // none when the child ended or `limit` passed first. Lines written before
    // the child ended are still found after it.
    std::optional<QString> waitForLineStartingWith(const QString& prefix,
                                                   std::chrono::milliseconds limit);
    // Ends the child with SIGKILL, as a crash would, and waits for it to go.
    void kill();
    // Freezes the child with SIGSTOP, as a machine too busy to run it would:
    // it answers nothing until it is killed.
    void freeze();
    // True when the child ended on its own within `limit`.
    bool waitForExit(std::chrono::milliseconds limit);
    // True when the child ended on its own within `limit` with exit code 0:
    // every check of its step held.
    bool succeeds(std::chrono::milliseconds limit);

    const QProcess& process() const { return process_; }

private:
    // Keeps the complete lines written so far.
    void readOutput();
    // Takes the kept lines in order, passing each on, up to the first that
    // `wanted` accepts.
    std::optional<QString> takeUntil(const std::function<bool(const QString&)>& wanted);
    // Waits for a line that `wanted` accepts.
    std::optional<QString> waitFor(const std::function<bool(const QString&)>& wanted,
                                   std::chrono::milliseconds limit);

    QProcess process_;
    QByteArray pending_;
    std::deque<QString> lines_;
};

// What a step does in the child, with the arguments it was started with.
using ChildStep = std::function<void(const std::vector<std::string>& arguments)>;

// The command line of a child session: "--journey-child <step> [argument...]".
struct ChildRun {
    std::string step;
    std::vector<std::string> arguments;

    // Takes the child's part off the command line; none for a normal run.
    static std::optional<ChildRun> take(int& argc, char** argv);
};

// `path` as an argument of a session.
QString argument(const std::filesystem::path& path);

// Writes `line` on the child's standard output for the parent to see.
void announce(std::string_view line);

} // namespace vexel::journeys
