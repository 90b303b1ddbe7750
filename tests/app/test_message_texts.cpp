#include <gtest/gtest.h>

#include "app/message_texts.h"
#include "app/resource.h"
#include "text/text_scratch.h"
#include "tests/support/message_box_watcher.h"

namespace {

// The one place that spells the texts: everything else compares with the string table.
const wchar_t* const expected_texts[] = {
    L"Чтобы увидеть окно снова запустите программу ",
    L"Свойства",
    L"Почта",
    L"Выполнить действие сейчас?",
    L"У вас недостаточно прав для использования этой программы",
    L"MAPI не установлена на вашем компьютере",
    L"Не могу использовать интерфейс MAPI",
    L"Неправильный адрес получателя ",
    L"Не могу послать сообщение через MAPI ",
    L"Поддержка сети не установлена на этом компьютере",
    L"Ошибка сети",
    L"Не могу соединиться с сервером SMTP",
    L"Не могу послать сообщение через SMTP",
    L"Неправильный логин/пароль SMTP",
    L"Неправильное имя ящика ",
    L"Адрес получателя не принимается",
};

} // namespace

TEST(MessageTexts, AnsiCodePageIsCyrillic)
{
    // The texts reach the program in the ANSI code page; the tests run with 1251.
    EXPECT_EQ(GetACP(), 1251u);
}

TEST(MessageTexts, EveryTextLoadsCharacterForCharacter)
{
    for (int n = 1; n <= 16; ++n) {
        const std::wstring loaded = load_text(n);
        EXPECT_EQ(loaded, expected_texts[n - 1]) << "text " << n;
        EXPECT_LT(loaded.size(), static_cast<std::size_t>(TEXT_SCRATCH_SIZE));
    }
}

TEST(MessageTexts, FourTextsEndWithTheirOwnSpace)
{
    for (int n : {IDS_HIDE_HINT, IDS_BAD_RECIPIENT, IDS_MAPI_SEND_FAILED, IDS_SMTP_BAD_MAILBOX})
        EXPECT_EQ(std::wstring(load_text(n)).back(), L' ') << n;
    EXPECT_NE(std::wstring(load_text(IDS_SMTP_RECIPIENT_REFUSED)).back(), L' ');
}

TEST(MessageTexts, UnknownNumberLoadsEmpty)
{
    load_text(IDS_TAB_MAIL);
    EXPECT_EQ(std::wstring(load_text(0)), L"");
    EXPECT_EQ(std::wstring(load_text(17)), L"");
}

TEST(MessageTexts, ShowTextUsesEmptyCaptionAndGivenStyle)
{
    MessageBoxWatcher watcher(IDCANCEL);
    EXPECT_EQ(show_text(nullptr, IDS_ACT_NOW, MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(show_text(nullptr, IDS_NO_RIGHTS, MB_ICONERROR), IDOK);
    const auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, L"");
    EXPECT_EQ(boxes[0].text, text_of(IDS_ACT_NOW));
    EXPECT_TRUE(boxes[0].question_icon);
    EXPECT_TRUE(boxes[0].has_cancel);
    EXPECT_EQ(boxes[1].caption, L"");
    EXPECT_TRUE(boxes[1].error_icon);
    EXPECT_FALSE(boxes[1].has_cancel);
}

TEST(MessageTexts, ValueFollowsTextDirectlyConvertedFromTheAnsiCodePage)
{
    MessageBoxWatcher watcher;
    show_text_with_value(nullptr, IDS_SMTP_RECIPIENT_REFUSED, "boss@example.org");
    show_text_with_value(nullptr, IDS_BAD_RECIPIENT, "mail.example.org");
    show_text_with_value(nullptr, IDS_SMTP_BAD_MAILBOX, cp1251("ящик").c_str());
    const auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, L"Адрес получателя не принимаетсяboss@example.org");
    EXPECT_EQ(boxes[1].text, L"Неправильный адрес получателя mail.example.org");
    EXPECT_EQ(boxes[2].text, L"Неправильное имя ящика ящик");
    for (const SeenBox& box : boxes) {
        EXPECT_EQ(box.caption, L"");
        EXPECT_TRUE(box.error_icon);
    }
}
