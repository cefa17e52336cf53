#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QStringList>

class QLabel;

namespace pendra {

// The text sizes and shades the studio uses, derived from the application's
// font and palette so that the window follows the desktop's theme.
namespace StudioStyle {

QFont footnote(const QFont& base);
QFont caption(const QFont& base);
QFont caption2(const QFont& base);
QFont header(const QFont& base);

// Text of lesser importance: notes, captions, hints.
QColor secondary(const QPalette& palette);
// Text of least importance: the version line, placeholders.
QColor tertiary(const QPalette& palette);
// The faint fill behind tiles.
QColor quaternaryFill(const QPalette& palette);
QColor accent(const QPalette& palette);
// The inset background that rows lie on.
QColor card(const QPalette& palette);
QColor separator(const QPalette& palette);

// Gives a label a font and a text colour.
void style(QLabel& label, const QFont& font, const QColor& colour);

// Breaks text into at most maxLines lines of the given width; the last line
// is elided when the text needs more.
QStringList wrappedLines(const QString& text, const QFont& font, double width, int maxLines);

} // namespace StudioStyle

} // namespace pendra
