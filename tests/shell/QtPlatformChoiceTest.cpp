// Which platform Kalvor asks Qt for: xcb on a Wayland session that also
// offers X, and never against the operator's own choice.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "editions/QtPlatformChoice.h"

namespace {

TEST(QtPlatformChoice, xwayland_is_used_unless_the_operator_chose_or_there_is_no_x) {
    struct Case {
        const char* name;
        std::map<std::string, QByteArray> env;
        std::vector<const char*> args;
        const char* chosen;
    };
    const Case cases[] = {
        {"wayland_with_xwayland", {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, {}, "xcb"},
        {"session_type_wayland", {{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}}, {}, "xcb"},
        {"wayland_only", {{"WAYLAND_DISPLAY", "wayland-0"}}, {}, ""},
        {"plain_x", {{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}, {}, ""},
        {"platform_variable",
         {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "wayland"}},
         {},
         ""},
        {"platform_argument",
         {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}},
         {"-platform", "wayland"},
         ""},
        {"platform_argument_joined",
         {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}},
         {"--platform=wayland"},
         ""},
        {"other_arguments", {{"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":1"}}, {"-style", "fusion"}, "xcb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<char*> argv{const_cast<char*>("Kalvor")};
        for (const char* a : c.args) argv.push_back(const_cast<char*>(a));
        const auto env = [&](const char* name) {
            const auto it = c.env.find(name);
            return it == c.env.end() ? QByteArray() : it->second;
        };
        EXPECT_EQ(ChosenQtPlatform(env, static_cast<int>(argv.size()), argv.data()),
                  QByteArray(c.chosen));
    }
}

}  // namespace
