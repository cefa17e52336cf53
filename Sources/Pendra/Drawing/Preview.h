#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace pendra {

// `pendra --preview out.png [width] [height]`: renders one frame of a rail
// with every shipped charm into a PNG, without any display.
namespace Preview {

struct Request {
    QString path;
    qint64 width = 1400;
    qint64 height = 340;
    friend bool operator==(const Request&, const Request&) = default;
};

// The request the arguments make, none when they ask for no preview.
std::optional<Request> parse(const QStringList& arguments);

// A decimal integer with an optional sign and nothing else.
std::optional<qint64> readInteger(const QString& text);

// Renders the request; answers the process's exit status, having written the
// success line or the failure message.
int render(const Request& request);

// Runs the preview when the command line asks for one, answering the exit
// status; none when the program should start normally. Must be called before
// any application object exists.
std::optional<int> runIfAsked(int argc, char** argv);

} // namespace Preview

} // namespace pendra
