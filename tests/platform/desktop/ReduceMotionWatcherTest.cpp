#include "platform/desktop/ReduceMotionWatcher.h"

#include "support/RunEventsUntil.h"
#include "support/media/TemporaryFolder.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

using namespace vexel::desktop;
using vexel::testing::runEventsUntil;
using vexel::testing::TemporaryFolder;

namespace {

vexel::EnvironmentLookup environmentOf(std::map<std::string, std::string> variables) {
    return [variables = std::move(variables)](const std::string& name) {
        const auto found = variables.find(name);
        return found == variables.end() ? std::nullopt : std::optional(found->second);
    };
}

// Written whole and renamed over the old one, as GTK's settings tools and
// most editors save.
void replaceFile(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    const std::filesystem::path partial = file.string() + ".new";
    std::ofstream(partial, std::ios::trunc) << text;
    std::filesystem::rename(partial, file);
}

std::string animations(const char* value) {
    return std::string("[Settings]\ngtk-theme-name=Adwaita\ngtk-enable-animations=") + value + "\n";
}

// Runs the event loop until the watcher has told `count` changes in all.
bool changesTold(QSignalSpy& spy, int count) {
    return runEventsUntil([&] { return spy.count() >= count; });
}

TEST(ReduceMotionWatcherTest, ReadsTheFirstGtkFileThatSaysAndTheEnvironmentOverridesIt) {
    TemporaryFolder root;
    const auto files = gtkSettingsFiles(
        environmentOf({{"XDG_CONFIG_HOME", (root / "user").string()},
                       {"HOME", "/nowhere"},
                       {"XDG_CONFIG_DIRS", (root / "system").string() + ":relative::/etc/xdg"}}));
    EXPECT_EQ(files, (std::vector<std::filesystem::path>{
                         root / "user" / "gtk-4.0" / "settings.ini",
                         root / "user" / "gtk-3.0" / "settings.ini",
                         root / "system" / "gtk-4.0" / "settings.ini",
                         root / "system" / "gtk-3.0" / "settings.ini",
                         "/etc/xdg/gtk-4.0/settings.ini", "/etc/xdg/gtk-3.0/settings.ini"}));
    EXPECT_EQ(gtkSettingsFiles(environmentOf({{"HOME", "/home/ann"}})),
              (std::vector<std::filesystem::path>{"/home/ann/.config/gtk-4.0/settings.ini",
                                                  "/home/ann/.config/gtk-3.0/settings.ini",
                                                  "/etc/xdg/gtk-4.0/settings.ini",
                                                  "/etc/xdg/gtk-3.0/settings.ini"}));

    const std::filesystem::path file = root / "settings.ini";
    const struct {
        std::string text;
        std::optional<bool> enabled;
    } readings[] = {
        {animations("0"), false},
        {animations("false"), false},
        {animations("1"), true},
        {animations("true"), true},
        {"# set by the desktop\n[Settings]\ngtk-enable-animations = false\n", false},
        {animations("slowly"), std::nullopt},
        {"[Other]\ngtk-enable-animations=0\n", std::nullopt},
        {"[Settings]\ngtk-theme-name=Adwaita\n", std::nullopt},
        {"not a key file [", std::nullopt},
    };
    for (const auto& reading : readings) {
        SCOPED_TRACE(reading.text);
        replaceFile(file, reading.text);
        EXPECT_EQ(readGtkEnableAnimations(file), reading.enabled);
    }
    EXPECT_EQ(readGtkEnableAnimations(root / "missing.ini"), std::nullopt);

    // The user's GTK 4 file says nothing; their GTK 3 file turns motion off;
    // the system's would keep it.
    replaceFile(files[0], "[Settings]\ngtk-theme-name=Adwaita\n");
    replaceFile(files[1], animations("false"));
    replaceFile(files[2], animations("true"));
    const struct {
        std::optional<std::string> variable;
        bool reduce;
    } cases[] = {
        {std::nullopt, true}, {"1", true}, {"0", false}, {"yes", true}, {"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variable.value_or("unset"));
        std::map<std::string, std::string> variables;
        if (c.variable) {
            variables["VEXEL_REDUCE_MOTION"] = *c.variable;
        }
        ReduceMotionWatcher watcher({environmentOf(variables), nullptr, files});
        EXPECT_EQ(watcher.reduceMotion(), c.reduce);
    }
    // Against a desktop that animates, the environment still turns it off.
    replaceFile(files[1], animations("true"));
    EXPECT_FALSE(ReduceMotionWatcher({environmentOf({}), nullptr, files}).reduceMotion());
    EXPECT_TRUE(ReduceMotionWatcher({environmentOf({{"VEXEL_REDUCE_MOTION", "1"}}), nullptr, files})
                    .reduceMotion());
}

TEST(ReduceMotionWatcherTest, FollowsAGtkFileMadeOrChangedAfterTheStart) {
    TemporaryFolder root;
    std::filesystem::create_directories(root / "config");
    const auto files = gtkSettingsFiles(environmentOf(
        {{"XDG_CONFIG_HOME", (root / "config").string()}, {"XDG_CONFIG_DIRS", "relative"}}));
    ReduceMotionWatcher watcher({environmentOf({}), nullptr, files});
    QSignalSpy told(&watcher, &ReduceMotionWatcher::reduceMotionChanged);
    EXPECT_FALSE(watcher.reduceMotion());

    // The folder and the file made where there were none.
    replaceFile(root / "config" / "gtk-3.0" / "settings.ini", animations("false"));
    ASSERT_TRUE(changesTold(told, 1));
    EXPECT_TRUE(watcher.reduceMotion());
    EXPECT_EQ(told.takeFirst().at(0).toBool(), true);

    // Written in place.
    std::ofstream(root / "config" / "gtk-3.0" / "settings.ini", std::ios::trunc)
        << animations("true");
    ASSERT_TRUE(changesTold(told, 1));
    EXPECT_FALSE(watcher.reduceMotion());
    EXPECT_EQ(told.takeFirst().at(0).toBool(), false);

    // Replaced twice: the watch follows the new file each time.
    for (const bool reduce : {true, false}) {
        replaceFile(root / "config" / "gtk-3.0" / "settings.ini",
                    animations(reduce ? "false" : "true"));
        ASSERT_TRUE(changesTold(told, 1));
        EXPECT_EQ(watcher.reduceMotion(), reduce);
        EXPECT_EQ(told.takeFirst().at(0).toBool(), reduce);
    }

    // GTK 4's file decides before GTK 3's.
    replaceFile(root / "config" / "gtk-4.0" / "settings.ini", animations("0"));
    ASSERT_TRUE(changesTold(told, 1));
    EXPECT_TRUE(watcher.reduceMotion());
}

TEST(ReduceMotionWatcherTest, EitherGnomesSettingOrAGtkFileTurningAnimationsOffReducesMotion) {
    TemporaryFolder root;
    EXPECT_EQ(GnomeAnimationSetting::open(root.path(), root / "keyfile"), nullptr);

    const std::filesystem::path keyFile = root / "gsettings" / "keyfile";
    std::filesystem::create_directories(keyFile.parent_path());
    std::unique_ptr<GnomeAnimationSetting> gnome =
        GnomeAnimationSetting::open(VEXEL_TEST_SCHEMA_DIR, keyFile);
    ASSERT_NE(gnome, nullptr);
    // GNOME's key at its default, as on any machine with the schema.
    EXPECT_TRUE(gnome->enableAnimations());
    const std::filesystem::path gtkFile = root / "gtk-3.0" / "settings.ini";
    replaceFile(gtkFile, animations("false"));
    ReduceMotionWatcher watcher({environmentOf({}), std::move(gnome), {gtkFile}});
    QSignalSpy told(&watcher, &ReduceMotionWatcher::reduceMotionChanged);
    EXPECT_TRUE(watcher.reduceMotion()) << "GNOME's default overruled the GTK file";

    // Each change of either is followed: motion comes back only once both
    // animate. A step that changes nothing tells nothing; the next change
    // that does would be missed, or told twice, if it had.
    const auto gnomeSays = [&](const char* value) {
        replaceFile(keyFile, std::string("[org/gnome/desktop/interface]\nenable-animations=") +
                                 value + "\n");
    };
    const struct {
        const char* change;
        std::function<void()> make;
        bool reduce;
    } steps[] = {
        {"GTK on", [&] { replaceFile(gtkFile, animations("true")); }, false},
        {"GNOME off", [&] { gnomeSays("false"); }, true},
        {"GTK off as well", [&] { replaceFile(gtkFile, animations("0")); }, true},
        {"GNOME on, GTK still off", [&] { gnomeSays("true"); }, true},
        {"GTK's file gone", [&] { std::filesystem::remove(gtkFile); }, false},
    };
    bool reduced = watcher.reduceMotion();
    int changes = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.change);
        step.make();
        if (step.reduce == reduced) {
            continue;
        }
        reduced = step.reduce;
        ++changes;
        ASSERT_TRUE(changesTold(told, changes));
        EXPECT_EQ(told.count(), changes);
        EXPECT_EQ(told.last().at(0).toBool(), step.reduce);
        EXPECT_EQ(watcher.reduceMotion(), step.reduce);
    }

    // The environment decides alone, against both settings.
    for (const auto& [variable, reduce] : {std::pair{"1", true}, std::pair{"0", false}}) {
        SCOPED_TRACE(variable);
        gnomeSays(reduce ? "true" : "false");
        replaceFile(gtkFile, animations(reduce ? "true" : "false"));
        std::unique_ptr<GnomeAnimationSetting> ignored =
            GnomeAnimationSetting::open(VEXEL_TEST_SCHEMA_DIR, keyFile);
        ASSERT_NE(ignored, nullptr);
        ReduceMotionWatcher fixed(
            {environmentOf({{"VEXEL_REDUCE_MOTION", variable}}), std::move(ignored), {gtkFile}});
        EXPECT_EQ(fixed.reduceMotion(), reduce);
    }
}

} // namespace
