#pragma once

#include <QString>

namespace pendra {

// What the program knows about itself and the machine it runs on.
namespace About {

QString version();
QString build();
// The kernel release as three integers, "6.1.0"; missing parts count as 0.
QString system();
// The machine's product name from DMI, "PC" when there is none.
QString model();

// The pure parts, for the values read from the system.
QString versionOr(const QString& value, const QString& fallback);
QString threeNumbers(const QString& release);
QString modelFrom(const QByteArray& productName);

} // namespace About

} // namespace pendra
