#include "HandOffMessage.h"

#include <gtest/gtest.h>

namespace pendra {
namespace {

TEST(HandOffMessage, ReadsWhatItWritesAndNothingElse)
{
    struct Case {
        const char* name;
        QByteArray line;
        std::optional<QByteArray> token;
    } cases[] = {
        {"plain", "open-studio\n", QByteArray()},
        {"wayland token", "open-studio 4b7e1c2a-9d3f\n", QByteArray("4b7e1c2a-9d3f")},
        {"x11 startup id", "open-studio gnome-shell/app.pendra.Pendra/12-0-host_TIME1234\n",
         QByteArray("gnome-shell/app.pendra.Pendra/12-0-host_TIME1234")},
        {"no newline", "open-studio", std::nullopt},
        {"two spaces", "open-studio  x\n", std::nullopt},
        {"empty token", "open-studio \n", std::nullopt},
        {"space in token", "open-studio a b\n", std::nullopt},
        {"control character", "open-studio a\tb\n", std::nullopt},
        {"other command", "quit\n", std::nullopt},
        {"prefix only", "open-studiox\n", std::nullopt},
        {"too long", "open-studio " + QByteArray(300, 'a') + "\n", std::nullopt},
        {"nul", QByteArray("open-studio a\0b\n", 16), std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HandOffMessage::studioToken(c.line), c.token) << c.name;

    for (const QByteArray& token : {QByteArray(), QByteArray("abc_TIME9"), QByteArray(200, 'x')})
        EXPECT_EQ(HandOffMessage::studioToken(HandOffMessage::openStudio(token)), token) << token.constData();
    EXPECT_EQ(HandOffMessage::openStudio("bad token\n"), "open-studio\n") << "an unusable token is left out";
    EXPECT_EQ(HandOffMessage::openStudio(QByteArray(300, 'x')), "open-studio\n");
}

} // namespace
} // namespace pendra
