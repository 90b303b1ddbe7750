#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "settings/mail_settings.h"
#include "settings/settings_file.h"
#include "settings/value_rules.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/test_helpers.h"

namespace {

std::string file_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void put_file(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool file_exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void remove_file(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

// A folder of the test's own under the temporary folder, removed with its files.
class TempFolder {
public:
    TempFolder()
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        static int counter = 0;
        path_ = std::string(temp) + "tulvo-settings-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TempFolder()
    {
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) remove_file(path_ + "\\" + found.cFileName);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path_.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string file(const char* name) const { return path_ + "\\" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

MailSettings sample_settings()
{
    MailSettings s;
    s.use_mapi = true;
    s.recipient = "boss@example.com";
    s.subject = "\xC2\xFB\xEA\xEB\xFE\xF7\xE5\xED\xE8\xE5"; // Выключение in code page 1251
    s.body = "Computer goes off.\r\n\xCF\xEE\xEA\xE0!";
    s.smtp_server = "mail.example.com";
    s.smtp_port = 2525;
    s.sender_mailbox = "pc@example.com";
    s.smtp_login = "user";
    s.smtp_password = "p@ss w0rd";
    return s;
}

void expect_same(const MailSettings& actual, const MailSettings& expected, const std::string& where)
{
    EXPECT_EQ(actual.use_mapi, expected.use_mapi) << where;
    EXPECT_EQ(actual.recipient, expected.recipient) << where;
    EXPECT_EQ(actual.subject, expected.subject) << where;
    EXPECT_EQ(actual.body, expected.body) << where;
    EXPECT_EQ(actual.smtp_server, expected.smtp_server) << where;
    EXPECT_EQ(actual.smtp_port, expected.smtp_port) << where;
    EXPECT_EQ(actual.sender_mailbox, expected.sender_mailbox) << where;
    EXPECT_EQ(actual.smtp_login, expected.smtp_login) << where;
    EXPECT_EQ(actual.smtp_password, expected.smtp_password) << where;
}

MailSettings read_back(const std::string& path)
{
    MailSettings s;
    s.use_mapi = true;
    s.recipient = s.subject = s.body = s.smtp_server = s.sender_mailbox = s.smtp_login = s.smtp_password = "stale";
    s.smtp_port = -1;
    read_settings_file(path, s);
    return s;
}

// What a load gives is what the save writes and the next load gives again.
MailSettings expect_load_save_load_stable(const std::string& path, const std::string& where)
{
    const MailSettings loaded = read_back(path);
    write_settings_file(path, loaded);
    expect_same(read_back(path), loaded, where + " after writing back");
    return loaded;
}

const char empty_file_content[] =
    "[MAIL]\r\nUseMAPI=No\r\nMailAdr=\r\nMailSubj=\r\nMailMessage=\r\nSmtpAdr=\r\nSmtpPort=0\r\n"
    "SmtpMailBox=\r\nSmtpLogin=\r\nSmtpPassword=\r\n";

std::string section_with(const char* key, const std::string& value)
{
    return "[MAIL]\r\n" + std::string(key) + "=" + value + "\r\n";
}

} // namespace

TEST(SettingsFile, SavedFileHoldsNineKeysOfSectionMail)
{
    TempFolder folder;
    const std::string path = folder.file("t.ini");
    write_settings_file(path, MailSettings());
    EXPECT_EQ(file_bytes(path), empty_file_content);

    write_settings_file(path, sample_settings());
    EXPECT_EQ(file_bytes(path), "[MAIL]\r\nUseMAPI=Yes\r\nMailAdr=boss@example.com\r\n"
                                "MailSubj=\xC2\xFB\xEA\xEB\xFE\xF7\xE5\xED\xE8\xE5\r\n"
                                "MailMessage=Q29tcHV0ZXIgZ29lcyBvZmYuDQrP7urgIQ==\r\nSmtpAdr=mail.example.com\r\n"
                                "SmtpPort=2525\r\nSmtpMailBox=pc@example.com\r\nSmtpLogin=dXNlcg==\r\n"
                                "SmtpPassword=cEBzcyB3MHJk\r\n");
    expect_same(read_back(path), sample_settings(), "sample");
}

TEST(SettingsFile, MissingFileAndKeysLoadDefaults)
{
    TempFolder folder;
    expect_same(read_back(folder.file("none.ini")), MailSettings(), "missing file");
    const std::string path = folder.file("other.ini");
    put_file(path, "[OTHER]\r\nMailAdr=x@y\r\n[MAIL]\r\nSmtpAdr=host\r\n");
    MailSettings expected;
    expected.smtp_server = "host";
    expect_same(read_back(path), expected, "one key");
}

TEST(SettingsFile, FlagLoadsTrueOnlyForYesAndIsWrittenBackAsYesOrNo)
{
    TempFolder folder;
    const std::string path = folder.file("flag.ini");
    const struct {
        const char* stored;
        bool loaded;
        const char* written;
    } cases[] = {{"Yes", true, "Yes"}, {"yes", false, "No"}, {"YES", false, "No"},
                 {"No", false, "No"},  {"", false, "No"},    {"1", false, "No"}};
    for (const auto& c : cases) {
        put_file(path, section_with("UseMAPI", c.stored));
        EXPECT_EQ(expect_load_save_load_stable(path, c.stored).use_mapi, c.loaded) << c.stored;
        EXPECT_EQ(stored_setting(path, "UseMAPI"), c.written) << c.stored;
    }
}

TEST(SettingsFile, PortLoadsItsLeadingNumberAndNonNumericAsZero)
{
    TempFolder folder;
    const std::string path = folder.file("port.ini");
    const struct {
        const char* stored;
        std::int32_t loaded;
        const char* written;
    } cases[] = {{"25", 25, "25"}, {"abc", 0, "0"},  {"", 0, "0"},          {"25x", 25, "25"},
                 {"-7", -7, "-7"}, {"0x19", 0, "0"}, {"  465 ", 465, "465"}};
    for (const auto& c : cases) {
        put_file(path, section_with("SmtpPort", c.stored));
        EXPECT_EQ(expect_load_save_load_stable(path, c.stored).smtp_port, c.loaded) << c.stored;
        EXPECT_EQ(stored_setting(path, "SmtpPort"), c.written) << c.stored;
    }
}

TEST(SettingsFile, Base64ValuesThatDoNotDecodeLoadEmptyAndAreWrittenBackEmpty)
{
    TempFolder folder;
    const std::string path = folder.file("b64.ini");
    const struct {
        const char* stored;
        const char* loaded;
    } cases[] = {{"Hello, world", ""}, {"YWJ", ""}, {"YW Jj", ""}, {"AAAA", ""}, {"QUJDAERF", "ABC"}, {"YWJj", "abc"}};
    for (const char* key : {"MailMessage", "SmtpLogin", "SmtpPassword"}) {
        for (const auto& c : cases) {
            put_file(path, section_with(key, c.stored));
            const MailSettings loaded = expect_load_save_load_stable(path, std::string(key) + " " + c.stored);
            const std::string& field = std::string(key) == "MailMessage" ? loaded.body
                                       : std::string(key) == "SmtpLogin" ? loaded.smtp_login
                                                                         : loaded.smtp_password;
            EXPECT_EQ(field, c.loaded) << key << " " << c.stored;
        }
    }
    put_file(path, section_with("MailMessage", "not base64!"));
    write_settings_file(path, read_back(path));
    EXPECT_EQ(stored_setting(path, "MailMessage"), "");
}

TEST(SettingsFile, LongestFieldsSurviveSaveAndLoad)
{
    TempFolder folder;
    const std::string path = folder.file("long.ini");
    MailSettings s = sample_settings();
    // 99 characters with line breaks and Cyrillic bytes of code page 1251.
    s.body = "\xC2\xED\xE8\xEC\xE0\xED\xE8\xE5!\r\n\xCA\xEE\xEC\xEF\xFC\xFE\xF2\xE5\xF0 "
             "\xE2\xFB\xEA\xEB\xFE\xF7\xE8\xF2\xF1\xFF.\r\n";
    s.body += std::string(99 - s.body.size(), '\xFF');
    ASSERT_EQ(s.body.size(), 99u);
    s.smtp_login = std::string(98, 'l') + "\xDF";
    s.smtp_password = std::string(99, '\xE9');
    s.recipient = std::string(99, 'r');
    s.subject = std::string(99, '\xF2');
    s.smtp_server = std::string(99, 's');
    s.sender_mailbox = std::string(99, 'm');
    s.smtp_port = -2147483647 - 1;
    write_settings_file(path, s);
    EXPECT_EQ(stored_setting(path, "MailMessage").size(), 132u);
    EXPECT_EQ(stored_setting(path, "SmtpPort"), "-2147483648");
    expect_same(read_back(path), s, "99 characters");
}

TEST(SettingsFile, EveryValueOfUpTo99CharactersReadsBackAsWritten)
{
    TempFolder folder;
    const std::string path = folder.file("round-trip.ini");
    MailSettings quoted;
    quoted.recipient = " lead@example.com";
    quoted.subject = "\"Alarm\"";
    quoted.smtp_server = "host ";
    quoted.sender_mailbox = "'me'";
    write_settings_file(path, quoted);
    expect_same(read_back(path), quoted, "quoted");
    // Blanks, quotes, "=", ";", Latin and Cyrillic letters (code page 1251).
    const std::string alphabet = std::string(" \t\"'=;aZ") + "\xC0\xDF\xE0\xFF";
    std::mt19937 random(20261209);
    for (int round = 0; round < 100; ++round) {
        std::string value(random() % 100, ' ');
        for (char& c : value) c = alphabet[random() % alphabet.size()];
        // Every round also tries the longest value, beginning and ending with a blank or a quote.
        std::string longest(99, alphabet[random() % alphabet.size()]);
        longest.front() = alphabet[random() % 4];
        longest.back() = alphabet[random() % 4];
        MailSettings s = sample_settings();
        s.recipient = value;
        s.subject = longest;
        s.smtp_server = std::string(value.rbegin(), value.rend());
        s.sender_mailbox = value + value.substr(0, 99 - value.size());
        s.body = value;
        s.smtp_login = longest;
        write_settings_file(path, s);
        expect_same(read_back(path), s, "[" + value + "] [" + longest + "]");
        if (HasFailure()) break;
    }
}

TEST(SettingsFile, ReadOnlyFileIsLeftUnchangedSilently)
{
    MessageBoxWatcher watcher;
    TempFolder folder;
    const std::string path = folder.file("ro.ini");
    write_settings_file(path, sample_settings());
    const std::string before = file_bytes(path);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        GTEST_SKIP() << "read-only files are writable here (Wine run as root); see the locked-file case";
    }
    write_settings_file(path, MailSettings());
    write_settings_file(path, MailSettings());
    EXPECT_EQ(file_bytes(path), before);
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST(SettingsFile, LockedFileIsLeftUnchangedSilently)
{
    MessageBoxWatcher watcher;
    TempFolder folder;
    const std::string path = folder.file("locked.ini");
    write_settings_file(path, sample_settings());
    const std::string before = file_bytes(path);
    const HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    MailSettings attempted;
    attempted.smtp_server = "attempted";
    write_settings_file(path, attempted);
    write_settings_file(path, attempted);
    CloseHandle(lock);
    EXPECT_EQ(file_bytes(path), before);
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST(SettingsFile, UnwritableLocationFailsSilently)
{
    MessageBoxWatcher watcher;
    TempFolder folder;
    const std::string path = folder.file("missing\\deeper\\x.ini");
    write_settings_file(path, sample_settings());
    EXPECT_FALSE(file_exists(path));
    EXPECT_FALSE(file_exists(folder.file("missing")));
    expect_same(read_back(path), MailSettings(), "missing folder");
    // A folder in place of the file.
    const std::string taken = folder.file("taken.ini");
    ASSERT_TRUE(CreateDirectoryA(taken.c_str(), nullptr));
    write_settings_file(taken, sample_settings());
    expect_same(read_back(taken), MailSettings(), "folder in place of the file");
    RemoveDirectoryA(taken.c_str());
    EXPECT_TRUE(watcher.boxes().empty());
}

// The fault pass: hostile files load without crash or hang, and what was loaded or set
// is what a save writes back.
TEST(SettingsFileFaults, TenMegabyteFileLoadsAndKeepsTheSettings)
{
    TempFolder folder;
    const std::string path = folder.file("big.ini");
    write_settings_file(path, sample_settings());
    std::string big = file_bytes(path) + "[FILLER]\r\n";
    const std::string line = "Key=" + std::string(90, 'v') + "\r\n";
    while (big.size() < 10u * 1024 * 1024) big += line;
    big += std::string(1024 * 1024, 'z');
    put_file(path, big);
    expect_same(read_back(path), sample_settings(), "10 MB");
    MailSettings changed = sample_settings();
    changed.smtp_server = "other.example.com";
    write_settings_file(path, changed);
    expect_same(read_back(path), changed, "10 MB after save");
}

TEST(SettingsFileFaults, BinaryGarbageLoadsAndTheSavedSettingsReadBack)
{
    TempFolder folder;
    const std::string path = folder.file("garbage.ini");
    std::mt19937 random(1234);
    for (int round = 0; round < 8; ++round) {
        std::string garbage(64 * 1024, '\0');
        for (char& c : garbage) c = static_cast<char>(random());
        if (round % 2) garbage += "\r\n" + section_with("SmtpAdr", "kept.example.com");
        put_file(path, garbage);
        const std::string where = "garbage round " + std::to_string(round);
        const MailSettings loaded = expect_load_save_load_stable(path, where);
        if (round % 2) {
            EXPECT_EQ(loaded.smtp_server, "kept.example.com") << where;
        }
        write_settings_file(path, sample_settings());
        expect_same(read_back(path), sample_settings(), where + " after saving the sample");
    }
}

TEST(SettingsFileFaults, RepeatedKeysAndSectionsLoadTheFirstAndKeepWhatIsSaved)
{
    TempFolder folder;
    const std::string path = folder.file("repeated.ini");
    put_file(path, "[MAIL]\r\nSmtpAdr=first\r\nSmtpAdr=second\r\nSmtpPort=25\r\nSmtpPort=26\r\n"
                   "[mail]\r\nSmtpAdr=third\r\nUseMAPI=Yes\r\n[MAIL]\r\nMailAdr=fourth\r\n");
    const MailSettings loaded = expect_load_save_load_stable(path, "repeated");
    EXPECT_EQ(loaded.smtp_server, "first");
    EXPECT_EQ(loaded.smtp_port, 25);
    write_settings_file(path, sample_settings());
    expect_same(read_back(path), sample_settings(), "repeated, sample saved");
}

TEST(SettingsFileFaults, ValueOfTenThousandCharactersLoadsItsFirst99)
{
    TempFolder folder;
    const std::string path = folder.file("long.ini");
    const std::string long_text(10000, 'a');
    std::string long_body;
    for (int i = 0; i < 10000; ++i) long_body += static_cast<char>('A' + i % 26);
    put_file(path, section_with("MailAdr", long_text) + "MailMessage=" + base64_of_text(long_body) + "\r\n");
    const MailSettings loaded = expect_load_save_load_stable(path, "10,000 characters");
    EXPECT_EQ(loaded.recipient, long_text.substr(0, 99));
    EXPECT_EQ(loaded.body, long_body.substr(0, 99));
    EXPECT_EQ(stored_setting(path, "MailAdr"), long_text.substr(0, 99));
}

// load_settings itself, on the folder of this test program under application data.
class SettingsFileLoad : public testing::Test {
protected:
    void SetUp() override
    {
        char exe[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        std::string name = exe;
        name = name.substr(name.rfind('\\') + 1);
        name = name.substr(0, name.size() - 4); // "tests_settings_file" of "tests_settings_file.exe"
        char app_data[MAX_PATH] = {};
        ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, app_data, CSIDL_APPDATA, TRUE));
        folder_ = std::string(app_data) + "\\" + name;
        file_ = folder_ + "\\" + name + ".ini";
        clean();
        saved_ = mail_settings;
    }
    void TearDown() override
    {
        clean();
        mail_settings = saved_;
    }
    void clean()
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        SetCurrentDirectoryA(temp);
        remove_file(file_);
        RemoveDirectoryA(folder_.c_str());
    }
    std::string folder_;
    std::string file_;
    MailSettings saved_;
};

TEST_F(SettingsFileLoad, FirstRunCreatesFolderLoadsDefaultsAndSaveWritesNineKeys)
{
    MessageBoxWatcher watcher;
    ASSERT_FALSE(file_exists(folder_));
    mail_settings = sample_settings();
    load_settings();
    EXPECT_TRUE(file_exists(folder_));
    EXPECT_FALSE(file_exists(file_));
    expect_same(mail_settings, MailSettings(), "first run");
    save_settings();
    EXPECT_EQ(file_bytes(file_), empty_file_content);
    // Saved again during firing and at exit: each save writes the record as it stands.
    mail_settings = sample_settings();
    save_settings();
    save_settings();
    expect_same(read_back(file_), sample_settings(), "saved twice");
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST_F(SettingsFileLoad, ExistingFolderBecomesCurrentAndItsFileLoads)
{
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    write_settings_file(file_, sample_settings());
    load_settings();
    expect_same(mail_settings, sample_settings(), "existing file");
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(lstrcmpiA(current, folder_.c_str()), 0) << current;
    mail_settings.smtp_port = 587;
    save_settings();
    EXPECT_EQ(stored_setting(file_, "SmtpPort"), "587");
}
