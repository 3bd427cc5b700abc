#include "journeys/ChildSession.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

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
}

bool ChildSession::waitForLine(const QString& line, std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    if (!process_.waitForStarted(int(deadline.remainingTime()))) {
        return false;
    }
    while (true) {
        if (passOnOutput(line)) {
            return true;
        }
        if (process_.state() == QProcess::NotRunning || deadline.hasExpired()) {
            return false;
        }
        process_.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
    }
}

void ChildSession::kill() {
    process_.kill();
    process_.waitForFinished(10'000);
    passOnOutput({});
}

bool ChildSession::waitForExit(std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    while (process_.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        process_.waitForFinished(int(std::max<qint64>(1, deadline.remainingTime())));
        passOnOutput({});
    }
    passOnOutput({});
    return process_.state() == QProcess::NotRunning;
}

bool ChildSession::succeeds(std::chrono::milliseconds limit) {
    return waitForExit(limit) && process_.exitStatus() == QProcess::NormalExit &&
           process_.exitCode() == 0;
}

bool ChildSession::passOnOutput(const QString& line) {
    pending_ += process_.readAllStandardOutput();
    bool seen = false;
    for (qsizetype end = pending_.indexOf('\n'); end >= 0; end = pending_.indexOf('\n')) {
        const QByteArray text = pending_.left(end);
        pending_.remove(0, end + 1);
        std::printf("[child] %s\n", text.constData());
        seen = seen || (!line.isEmpty() && QString::fromUtf8(text) == line);
    }
    std::fflush(stdout);
    return seen;
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

void announce(std::string_view line) {
    std::printf("%.*s\n", int(line.size()), line.data());
    std::fflush(stdout);
}

} // namespace vexel::journeys
