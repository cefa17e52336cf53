#include "StudioStyle.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace pendra::StudioStyle {

namespace {

QFont scaled(const QFont& base, double factor)
{
    QFont font = base;
    if (base.pointSizeF() > 0)
        font.setPointSizeF(std::max(7.0, base.pointSizeF() * factor));
    else
        font.setPixelSize(std::max(9, int(std::lround(base.pixelSize() * factor))));
    return font;
}

QColor withAlpha(QColor colour, double alpha)
{
    colour.setAlphaF(float(alpha));
    return colour;
}

} // namespace

QFont footnote(const QFont& base)
{
    return scaled(base, 0.88);
}

QFont caption(const QFont& base)
{
    return scaled(base, 0.85);
}

QFont caption2(const QFont& base)
{
    return scaled(base, 0.8);
}

QFont header(const QFont& base)
{
    QFont font = base;
    font.setWeight(QFont::DemiBold);
    return font;
}

QColor secondary(const QPalette& palette)
{
    return withAlpha(palette.color(QPalette::WindowText), 0.6);
}

QColor tertiary(const QPalette& palette)
{
    return withAlpha(palette.color(QPalette::WindowText), 0.38);
}

QColor quaternaryFill(const QPalette& palette)
{
    return withAlpha(palette.color(QPalette::WindowText), 0.06);
}

QColor accent(const QPalette& palette)
{
    return palette.color(QPalette::Highlight);
}

QColor card(const QPalette& palette)
{
    return palette.color(QPalette::Base);
}

QColor separator(const QPalette& palette)
{
    return withAlpha(palette.color(QPalette::WindowText), 0.1);
}

void style(QLabel& label, const QFont& font, const QColor& colour)
{
    label.setFont(font);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

QStringList wrappedLines(const QString& text, const QFont& font, double width, int maxLines)
{
    Q_ASSERT(maxLines > 0);
    QStringList lines;
    if (text.isEmpty() || width <= 0)
        return lines;
    const QFontMetricsF metrics(font);
    QTextLayout layout(text, font);
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        if (lines.size() == maxLines - 1) {
            const QString rest = text.mid(line.textStart()).trimmed();
            lines << metrics.elidedText(rest, Qt::ElideRight, width);
            break;
        }
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

} // namespace pendra::StudioStyle
