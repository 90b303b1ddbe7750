#include <gtest/gtest.h>

#include "app/message_texts.h"
#include "app/resource.h"
#include "app/text_scratch.h"
#include "tests/support/message_box_watcher.h"

namespace {

const char* const expected_texts[] = {
    "Чтобы увидеть окно снова запустите программу ",
    "Свойства",
    "Почта",
    "Выполнить действие сейчас?",
    "У вас недостаточно прав для использования этой программы",
    "MAPI не установлена на вашем компьютере",
    "Не могу использовать интерфейс MAPI",
    "Неправильный адрес получателя ",
    "Не могу послать сообщение через MAPI ",
    "Поддержка сети не установлена на этом компьютере",
    "Ошибка сети",
    "Не могу соединиться с сервером SMTP",
    "Не могу послать сообщение через SMTP",
    "Неправильный логин/пароль SMTP",
    "Неправильное имя ящика ",
    "Адрес получателя не принимается",
};

} // namespace

TEST(MessageTexts, AnsiCodePageIsCyrillic)
{
    // The texts reach the program in the ANSI code page; the tests run with 1251.
    EXPECT_EQ(GetACP(), 1251u);
}

TEST(MessageTexts, EveryTextLoadsByteForByte)
{
    for (int n = 1; n <= 16; ++n) {
        const std::string loaded = load_text(n);
        EXPECT_EQ(loaded, cp1251(expected_texts[n - 1])) << "text " << n;
        EXPECT_LT(loaded.size(), static_cast<std::size_t>(TEXT_SCRATCH_SIZE));
    }
}

TEST(MessageTexts, FourTextsEndWithTheirOwnSpace)
{
    for (int n : {IDS_HIDE_HINT, IDS_BAD_RECIPIENT, IDS_MAPI_SEND_FAILED, IDS_SMTP_BAD_MAILBOX})
        EXPECT_EQ(std::string(load_text(n)).back(), ' ') << n;
    EXPECT_NE(std::string(load_text(IDS_SMTP_RECIPIENT_REFUSED)).back(), ' ');
}

TEST(MessageTexts, UnknownNumberLoadsEmpty)
{
    load_text(IDS_TAB_MAIL);
    EXPECT_STREQ(load_text(0), "");
    EXPECT_STREQ(load_text(17), "");
}

TEST(MessageTexts, ShowTextUsesEmptyCaptionAndGivenStyle)
{
    MessageBoxWatcher watcher(IDCANCEL);
    EXPECT_EQ(show_text(nullptr, IDS_ACT_NOW, MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(show_text(nullptr, IDS_NO_RIGHTS, MB_ICONERROR), IDOK);
    const auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "");
    EXPECT_EQ(boxes[0].text, cp1251("Выполнить действие сейчас?"));
    EXPECT_TRUE(boxes[0].question_icon);
    EXPECT_TRUE(boxes[0].has_cancel);
    EXPECT_EQ(boxes[1].caption, "");
    EXPECT_TRUE(boxes[1].error_icon);
    EXPECT_FALSE(boxes[1].has_cancel);
}

TEST(MessageTexts, ValueFollowsTextDirectly)
{
    MessageBoxWatcher watcher;
    show_text_with_value(nullptr, IDS_SMTP_RECIPIENT_REFUSED, "boss@example.org");
    show_text_with_value(nullptr, IDS_BAD_RECIPIENT, "mail.example.org");
    const auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, cp1251("Адрес получателя не принимаетсяboss@example.org"));
    EXPECT_EQ(boxes[1].text, cp1251("Неправильный адрес получателя mail.example.org"));
    for (const SeenBox& box : boxes) {
        EXPECT_EQ(box.caption, "");
        EXPECT_TRUE(box.error_icon);
    }
}
