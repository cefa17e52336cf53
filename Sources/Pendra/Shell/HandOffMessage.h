#pragma once

#include <QByteArray>

#include <optional>

namespace pendra {

// The one line a later start sends the running program: open the studio, with
// the activation token the desktop gave the later start's launch, so that the
// running program may bring its window to the front as the launch asked.
class HandOffMessage {
public:
    static constexpr int longestLine = 256;

    static QByteArray openStudio(const QByteArray& token = {});
    // The token of an open-studio line (empty when it came without one); none
    // for any other line, including a token with characters no desktop uses.
    static std::optional<QByteArray> studioToken(const QByteArray& line);
    // The token this process was launched with, if any.
    static QByteArray launchToken();
};

} // namespace pendra
