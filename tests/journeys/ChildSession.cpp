#include "journeys/ChildSession.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>

#include <signal.h>

#include <cstdio>
#include <cstring>

namespace vexel::journeys {

namespace {

constexpr const char* childFlag = "--journey-child";

} // namespace

ChildSession::ChildSession(const std::string& step, const QStringList& arguments,
                           const QProcessEnvironment& environment) {
    process_.setProgram(QCoreApplication::applicationFilePath());
    process_.setArguments(
        QStringList{QString::fromLatin1(childFlag), QString::fromStdString(step)} + arguments);
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start();
}

ChildSession::~ChildSession() {
    if (process_.state() != QProcess::NotRunning) {
        kill();
    }
    readOutput();
    takeUntil([](const QString&) { return false; });
}

bool ChildSession::waitForLine(const QString& line, std::chrono::milliseconds limit) {
    return waitFor([&line](const QString& written) { return written == line; }, limit).has_value();
}

std::optional<QString> ChildSession::waitForLineStartingWith(const QString& prefix,
                                                             std::chrono::milliseconds limit) {
    std::optional<QString> line =
        waitFor([&prefix](const QString& written) { return written.startsWith(prefix); }, limit);
    if (line) {
        line->remove(0, prefix.size());
    }
    return line;
}

std::optional<QString> ChildSession::waitFor(const std::function<bool(const QString&)>& wanted,
                                             std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    while (true) {
        readOutput();
        if (std::optional<QString> found = takeUntil(wanted)) {
            return found;
        }
        if (process_.state() == QProcess::NotRunning || deadline.hasExpired()) {
            return std::nullopt;
        }
        if (process_.state() == QProcess::Starting) {
            process_.waitForStarted(int(std::max<qint64>(1, deadline.remainingTime())));
        } else {
            process_.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
        }
    }
}

void ChildSession::kill() {
    process_.kill();
    process_.waitForFinished(10'000);
    readOutput();
}

void ChildSession::freeze() {
    ::kill(pid_t(process_.processId()), SIGSTOP);
}

bool ChildSession::waitForExit(std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    while (process_.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        process_.waitForFinished(int(std::max<qint64>(1, deadline.remainingTime())));
        readOutput();
        takeUntil([](const QString&) { return false; });
    }
    readOutput();
    takeUntil([](const QString&) { return false; });
    return process_.state() == QProcess::NotRunning;
}

bool ChildSession::succeeds(std::chrono::milliseconds limit) {
    return waitForExit(limit) && process_.exitStatus() == QProcess::NormalExit &&
           process_.exitCode() == 0;
}

void ChildSession::readOutput() {
    pending_ += process_.readAllStandardOutput();
    for (qsizetype end = pending_.indexOf('\n'); end >= 0; end = pending_.indexOf('\n')) {
        lines_.push_back(QString::fromUtf8(pending_.left(end)));
        pending_.remove(0, end + 1);
    }
}

std::optional<QString> ChildSession::takeUntil(const std::function<bool(const QString&)>& wanted) {
    std::optional<QString> found;
    while (!found && !lines_.empty()) {
        QString line = std::move(lines_.front());
        lines_.pop_front();
        std::printf("[child] %s\n", line.toUtf8().constData());
        if (wanted(line)) {
            found = std::move(line);
        }
    }
    std::fflush(stdout);
    return found;
}

std::optional<ChildRun> ChildRun::take(int& argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], childFlag) != 0) {
            continue;
        }
        ChildRun run{argv[i + 1], {}};
        for (int k = i + 2; k < argc; ++k) {
            run.arguments.emplace_back(argv[k]);
        }
        argc = i;
        argv[argc] = nullptr;
        return run;
    }
    return std::nullopt;
}

QString argument(const std::filesystem::path& path) {
    return QFile::decodeName(path.c_str());
}

void announce(std::string_view line) {
    std::printf("%.*s\n", int(line.size()), line.data());
    std::fflush(stdout);
}

} // namespace vexel::journeys
