#include <gtest/gtest.h>

#include "settings/settings_path.h"

namespace {

const char app_data[] = "C:\\Users\\u\\AppData\\Roaming";

struct PathCase {
    const char* exe;
    bool have_app_data;
    const char* folder;
    const char* file;
};

const PathCase path_cases[] = {
    {"C:\\Tools\\Timer.exe", true, "C:\\Users\\u\\AppData\\Roaming\\Timer",
     "C:\\Users\\u\\AppData\\Roaming\\Timer\\Timer.ini"},
    // The cut is case-sensitive: an upper-case extension stays in the name.
    {"C:\\Apps\\Off.EXE", true, "C:\\Users\\u\\AppData\\Roaming\\Off.EXE",
     "C:\\Users\\u\\AppData\\Roaming\\Off.EXE\\Off.EXE.ini"},
    // The first ".exe" counts, even inside a folder name.
    {"C:\\My.exe.files\\Timer.exe", true, "C:\\Users\\u\\AppData\\Roaming\\My",
     "C:\\Users\\u\\AppData\\Roaming\\My\\My.ini"},
    {"C:\\Tools\\Timer.exe", false, "", "C:\\Tools\\Timer.ini"},
    {"C:\\Apps\\Off.EXE", false, "", "C:\\Apps\\Off.EXE.ini"},
    {"C:\\My.exe.files\\Timer.exe", false, "", "C:\\My.ini"},
    {"C:\\Tools\\Timer.exe.bak", true, "C:\\Users\\u\\AppData\\Roaming\\Timer",
     "C:\\Users\\u\\AppData\\Roaming\\Timer\\Timer.ini"},
    {"\\\\server\\share\\Таймер.exe", true, "C:\\Users\\u\\AppData\\Roaming\\Таймер",
     "C:\\Users\\u\\AppData\\Roaming\\Таймер\\Таймер.ini"},
    // Without any backslash the folder still lies below application data.
    {"Timer.exe", true, "C:\\Users\\u\\AppData\\Roaming\\Timer", "C:\\Users\\u\\AppData\\Roaming\\Timer\\Timer.ini"},
};

} // namespace

TEST(SettingsPath, FollowsTheExecutableNameTable)
{
    for (const PathCase& c : path_cases) {
        const SettingsLocation location = settings_location(c.exe, c.have_app_data, app_data);
        EXPECT_EQ(location.folder, c.folder) << c.exe << " app data " << c.have_app_data;
        EXPECT_EQ(location.file, c.file) << c.exe << " app data " << c.have_app_data;
    }
}

TEST(SettingsPath, CutRemovesFirstExeAndEverythingAfter)
{
    EXPECT_EQ(cut_exe_path("C:\\a.exe\\b.exe"), "C:\\a");
    EXPECT_EQ(cut_exe_path("C:\\a.Exe"), "C:\\a.Exe");
    EXPECT_EQ(cut_exe_path("C:\\a.ex"), "C:\\a.ex");
    EXPECT_EQ(cut_exe_path(""), "");
}

TEST(SettingsPath, NamePartStartsAtLastBackslash)
{
    EXPECT_EQ(exe_name_part("C:\\Tools\\Timer"), "\\Timer");
    EXPECT_EQ(exe_name_part("C:\\Tools\\"), "\\");
    EXPECT_EQ(exe_name_part("Timer"), "\\Timer");
}
