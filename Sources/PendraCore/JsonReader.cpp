#include "JsonReader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>

namespace pendra {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isNumberByte(char c)
{
    return isDigit(c) || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

// The parts of a token that follows JSON's number grammar exactly:
// -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
struct NumberToken {
    bool negative = false;
    std::string_view whole;    // digits before the point
    std::string_view fraction; // digits after it
    bool exponentNegative = false;
    std::string_view exponent;
};

bool splitNumber(std::string_view token, NumberToken& out)
{
    std::size_t at = 0;
    auto digits = [&](std::string_view& part) {
        const std::size_t start = at;
        while (at < token.size() && isDigit(token[at]))
            ++at;
        part = token.substr(start, at - start);
        return !part.empty();
    };
    if (at < token.size() && token[at] == '-') {
        out.negative = true;
        ++at;
    }
    if (!digits(out.whole) || (out.whole.size() > 1 && out.whole[0] == '0'))
        return false;
    if (at < token.size() && token[at] == '.') {
        ++at;
        if (!digits(out.fraction))
            return false;
    }
    if (at < token.size() && (token[at] == 'e' || token[at] == 'E')) {
        ++at;
        if (at < token.size() && (token[at] == '+' || token[at] == '-'))
            out.exponentNegative = token[at++] == '-';
        if (!digits(out.exponent))
            return false;
    }
    return at == token.size();
}

// The power of ten of the token's leading significant digit, saturated far
// beyond any double's range; nothing when every digit is zero.
bool leadingPower(const NumberToken& number, std::int64_t& power)
{
    constexpr std::int64_t far = std::int64_t(1) << 40;
    std::int64_t exponent = 0;
    for (const char c : number.exponent) {
        exponent = exponent * 10 + (c - '0');
        if (exponent > far) {
            exponent = far;
            break;
        }
    }
    if (number.exponentNegative)
        exponent = -exponent;

    const std::size_t firstWhole = number.whole.find_first_not_of('0');
    if (firstWhole != std::string_view::npos) {
        power = exponent + std::int64_t(number.whole.size() - firstWhole) - 1;
        return true;
    }
    const std::size_t firstFraction = number.fraction.find_first_not_of('0');
    if (firstFraction == std::string_view::npos)
        return false;
    power = exponent - std::int64_t(firstFraction) - 1;
    return true;
}

// Whether Qt refuses this one number on its own; only asked about the rare
// token that the standard library finds out of range.
bool qtRefuses(std::string_view token)
{
    QByteArray probe;
    probe.reserve(qsizetype(token.size()) + 2);
    probe += '[';
    probe.append(token.data(), qsizetype(token.size()));
    probe += ']';
    QJsonParseError error;
    QJsonDocument::fromJson(probe, &error);
    return error.error == QJsonParseError::IllegalNumber;
}

// The replacement for a number token, or nothing when it can stay.
std::string_view replacement(std::string_view token)
{
    NumberToken number;
    if (!splitNumber(token, number))
        return {};
    double value = 0.0;
    const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    if (result.ec != std::errc::result_out_of_range || !qtRefuses(token))
        return {};
    std::int64_t power = 0;
    if (!leadingPower(number, power))
        return {};
    if (power > 0)
        return number.negative ? "-1.7976931348623157e308" : "1.7976931348623157e308";
    // Qt keeps no sign on a zero.
    return "0";
}

} // namespace

QJsonDocument JsonReader::parse(const QByteArray& text, QJsonParseError* error)
{
    QJsonParseError first;
    QJsonDocument document = QJsonDocument::fromJson(text, &first);
    if (first.error != QJsonParseError::IllegalNumber) {
        if (error)
            *error = first;
        return document;
    }
    // Only text that Qt refused for a number pays for the second pass.
    return QJsonDocument::fromJson(saturateNumbers(text), error);
}

QByteArray JsonReader::saturateNumbers(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    const char* const data = text.constData();
    const qsizetype size = text.size();
    qsizetype at = 0;
    while (at < size) {
        const char c = data[at];
        if (c == '"') {
            // Copy the string whole, so that digits inside it are never touched.
            const qsizetype start = at++;
            while (at < size && data[at] != '"')
                at += data[at] == '\\' ? 2 : 1;
            at = std::min(at + 1, size);
            out.append(data + start, at - start);
        } else if (c == '-' || isDigit(c)) {
            const qsizetype start = at;
            while (at < size && isNumberByte(data[at]))
                ++at;
            const std::string_view token(data + start, std::size_t(at - start));
            const std::string_view better = replacement(token);
            if (better.empty())
                out.append(token.data(), qsizetype(token.size()));
            else
                out.append(better.data(), qsizetype(better.size()));
        } else {
            out += c;
            ++at;
        }
    }
    return out;
}

} // namespace pendra
