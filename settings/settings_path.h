// Where the settings file lives, derived from the running executable's path.
#ifndef TULVO_SETTINGS_PATH_H
#define TULVO_SETTINGS_PATH_H

#include <string>

struct SettingsLocation {
    std::string folder; // the folder to make under application data; empty for the fallback
    std::string file;
};

// The executable path cut at the first ".exe" (case-sensitive), or whole without one.
std::string cut_exe_path(const std::string& exe_path);

// The name part of a cut executable path: from its last backslash on, that backslash
// included ("\Timer"). A path without a backslash is taken whole behind one.
std::string exe_name_part(const std::string& cut_path);

// With application data: <app_data>\Name\Name.ini in the folder <app_data>\Name.
// Without (have_app_data false): the cut executable path + ".ini", no folder.
SettingsLocation settings_location(const std::string& exe_path, bool have_app_data, const std::string& app_data);

#endif
