#include "settings/settings_file.h"

#include <windows.h>

#include <shlobj.h>

#include <cstring>

#include "text/ansi_text.h"
#include "platform/system_calls.h"
#include "settings/settings_path.h"
#include "settings/value_rules.h"
#include "text/wide_text.h"
#include "text/decimal_text.h"

namespace {

// Paths are UTF-8 and go to Windows through the wide calls, so that a profile folder
// named outside the ANSI code page (C:\Users\Иван on a Western Windows) is found;
// keys and values stay text of the code page, and the file is written in it.
const wchar_t section[] = L"MAIL";

// A field holds at most MAIL_FIELD_LIMIT (99) characters, which Base64 makes 132; the
// Base64 keys are read with room for that so that a long body, login or password
// survives. A longer stored value is cut at a group boundary and still decodes.
constexpr std::size_t base64_read_size = base64_length_for(MAIL_FIELD_LIMIT) + 1;

// A plain field of 99 characters that begins or ends with a blank or a quote is
// written inside quotes: the read takes room for those two, which the profile
// reader strips again, and for the terminator.
constexpr std::size_t plain_read_size = MAIL_FIELD_LIMIT + 3;

constexpr std::size_t longest_field = MAIL_FIELD_LIMIT;

// Computed by load_settings, used by every save.
std::string settings_file_path;

// At most size - 1 characters of the stored value, in the code page.
std::string read_value(const std::string& path, const char* key, std::size_t size)
{
    std::wstring stored(size, L'\0');
    const DWORD length = GetPrivateProfileStringW(section, wide_of_ansi(key).c_str(), L"", &stored[0],
                                                  static_cast<DWORD>(size), wide_of_utf8(path).c_str());
    stored.resize(length);
    return ansi_of_wide(stored);
}

std::string read_plain(const std::string& path, const char* key)
{
    return cut_at_character(read_value(path, key, plain_read_size), longest_field, system_code_page());
}

std::string read_base64(const std::string& path, const char* key)
{
    const std::string stored = read_value(path, key, base64_read_size);
    return cut_at_character(text_of_base64(stored.c_str(), stored.size()), longest_field, system_code_page());
}

void write_value(const std::string& path, const char* key, const std::string& value)
{
    system_profile_write(section, wide_of_ansi(key).c_str(), wide_of_ansi(value).c_str(), wide_of_utf8(path).c_str());
}

std::string app_data_folder(bool& obtained)
{
    wchar_t folder[MAX_PATH] = {};
    obtained = SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, TRUE) == TRUE;
    return utf8_of_wide(folder);
}

std::string running_exe_path()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return utf8_of_wide(std::wstring(path, length < MAX_PATH ? length : MAX_PATH - 1));
}

} // namespace

void read_settings_file(const std::string& path, MailSettings& settings)
{
    settings.use_mapi = flag_from_text(read_plain(path, "UseMAPI").c_str());
    settings.recipient = read_plain(path, "MailAdr");
    settings.subject = read_plain(path, "MailSubj");
    settings.body = read_base64(path, "MailMessage");
    settings.smtp_server = read_plain(path, "SmtpAdr");
    settings.smtp_port = integer_from_text(read_plain(path, "SmtpPort").c_str());
    settings.sender_mailbox = read_plain(path, "SmtpMailBox");
    settings.smtp_login = read_base64(path, "SmtpLogin");
    settings.smtp_password = read_base64(path, "SmtpPassword");
}

void write_settings_file(const std::string& path, const MailSettings& settings)
{
    write_value(path, "UseMAPI", flag_text(settings.use_mapi));
    write_value(path, "MailAdr", profile_value(settings.recipient));
    write_value(path, "MailSubj", profile_value(settings.subject));
    write_value(path, "MailMessage", base64_of_text(settings.body));
    write_value(path, "SmtpAdr", profile_value(settings.smtp_server));
    write_value(path, "SmtpPort", decimal_text(settings.smtp_port));
    write_value(path, "SmtpMailBox", profile_value(settings.sender_mailbox));
    write_value(path, "SmtpLogin", base64_of_text(settings.smtp_login));
    write_value(path, "SmtpPassword", base64_of_text(settings.smtp_password));
}

void load_settings()
{
    bool have_app_data = false;
    const std::string app_data = app_data_folder(have_app_data);
    const SettingsLocation location = settings_location(running_exe_path(), have_app_data, app_data);
    // Entering the folder tells whether it exists; a failed creation shows only in
    // the later writes failing, silently.
    const std::wstring folder = wide_of_utf8(location.folder);
    if (!folder.empty() && !SetCurrentDirectoryW(folder.c_str())) CreateDirectoryW(folder.c_str(), nullptr);
    settings_file_path = location.file;
    read_settings_file(settings_file_path, mail_settings);
}

const std::string& settings_path() { return settings_file_path; }

void save_settings()
{
    if (settings_file_path.empty()) return;
    write_settings_file(settings_file_path, mail_settings);
}
