#include "foundation/StreamLogger.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace vexel;

namespace {

std::string logged(bool revealPrivate, LogLevel level, std::string_view message,
                   bool isPublic = false) {
    std::FILE* file = std::tmpfile();
    StreamLogger logger(file, revealPrivate);
    if (isPublic) {
        logger.logPublic(level, message);
    } else {
        logger.log(level, message);
    }
    std::rewind(file);
    std::string text;
    char buffer[256];
    while (auto n = std::fread(buffer, 1, sizeof buffer, file)) {
        text.append(buffer, n);
    }
    std::fclose(file);
    return text;
}

} // namespace

TEST(StreamLogger, HidesMessagesButTheirTagUnlessDebugLoggingIsOn) {
    EXPECT_EQ(logged(false, LogLevel::error, "[Export] Failed to write /home/a/x.mov"),
              "com.vexel.app general error: [Export] <private>\n");
    EXPECT_EQ(logged(false, LogLevel::info, "no tag here"),
              "com.vexel.app general info: <private>\n");
    EXPECT_EQ(logged(false, LogLevel::debug, "[Export] detail"), "");
    EXPECT_EQ(logged(true, LogLevel::error, "[Export] Failed to write /home/a/x.mov"),
              "com.vexel.app general error: [Export] Failed to write /home/a/x.mov\n");
    EXPECT_EQ(logged(true, LogLevel::debug, "[Load] d"), "com.vexel.app general debug: [Load] d\n");
}

TEST(StreamLogger, ShowsAFixedPublicTextWholeButStillLeavesDebugLinesOut) {
    EXPECT_EQ(logged(false, LogLevel::info, "[App] Not set up", true),
              "com.vexel.app general info: [App] Not set up\n");
    EXPECT_EQ(logged(true, LogLevel::info, "[App] Not set up", true),
              "com.vexel.app general info: [App] Not set up\n");
    EXPECT_EQ(logged(false, LogLevel::debug, "[App] detail", true), "");
}
