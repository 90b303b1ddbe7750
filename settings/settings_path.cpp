#include "settings/settings_path.h"

std::string cut_exe_path(const std::string& exe_path) { return exe_path.substr(0, exe_path.find(".exe")); }

std::string exe_name_part(const std::string& cut_path)
{
    const std::size_t slash = cut_path.rfind('\\');
    if (slash == std::string::npos) return "\\" + cut_path;
    return cut_path.substr(slash);
}

SettingsLocation settings_location(const std::string& exe_path, bool have_app_data, const std::string& app_data)
{
    const std::string cut = cut_exe_path(exe_path);
    if (!have_app_data) return {std::string(), cut + ".ini"};
    const std::string name = exe_name_part(cut);
    const std::string folder = app_data + name;
    return {folder, folder + name + ".ini"};
}
