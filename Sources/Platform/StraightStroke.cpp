#include "StraightStroke.h"

#include <QVarLengthArray>

#include <cmath>

namespace pendra {

namespace {

// 4/3·(√2 − 1): control points this far along the tangents make a cubic that
// follows a quarter circle.
constexpr double kappa = 0.5522847498307936;

double length(QPointF v)
{
    return std::hypot(v.x(), v.y());
}

double cross(QPointF a, QPointF b)
{
    return a.x() * b.y() - a.y() * b.x();
}

double dot(QPointF a, QPointF b)
{
    return a.x() * b.x() + a.y() * b.y();
}

// How far p lies from the line through a and b (from a, when they meet).
double offLine(QPointF p, QPointF a, QPointF b)
{
    const QPointF chord = b - a;
    const double span = length(chord);
    if (span < 1e-12)
        return length(p - a);
    return std::abs(cross(chord, p - a)) / span;
}

// The first of the candidates that is not too short to give a direction, as
// a unit vector; none when all are.
std::optional<QPointF> direction(std::initializer_list<QPointF> candidates)
{
    for (const QPointF& v : candidates) {
        const double l = length(v);
        if (l > 1e-9)
            return v / l;
    }
    return std::nullopt;
}

struct Piece {
    QPointF start;
    QPointF end;
    QPointF startTangent;
    QPointF endTangent;
};

// A half circle of radius r around centre from centre + normal·r to
// centre − normal·r, bulging along tangent: two quarter-circle cubics.
void halfCircle(StraightStroke::Builder& out, QPointF centre, QPointF tangent, QPointF normal, double r)
{
    const QPointF a = centre + normal * r;
    const QPointF b = centre + tangent * r;
    const QPointF c = centre - normal * r;
    out.cubicTo(a + tangent * (r * kappa), b + normal * (r * kappa), b);
    out.cubicTo(b - normal * (r * kappa), c + tangent * (r * kappa), c);
}

QPointF normalOf(QPointF tangent)
{
    return {-tangent.y(), tangent.x()};
}

class PathBuilder : public StraightStroke::Builder {
public:
    void moveTo(QPointF to) override { path.moveTo(to); }
    void lineTo(QPointF to) override { path.lineTo(to); }
    void cubicTo(QPointF c1, QPointF c2, QPointF to) override { path.cubicTo(c1, c2, to); }

    QPainterPath path;
};

} // namespace

std::optional<QPainterPath> StraightStroke::outline(const QPainterPath& path, double width, double scale)
{
    PathBuilder built;
    built.path.reserve(2 * path.elementCount() + 16);
    if (!trace(path, width, scale, built))
        return std::nullopt;
    built.path.closeSubpath();
    return std::move(built.path);
}

bool StraightStroke::trace(const QPainterPath& path, double width, double scale, Builder& out)
{
    const int count = path.elementCount();
    if (count < 2 || !(width > 0.0) || !(scale > 0.0) || !path.elementAt(0).isMoveTo())
        return false;
    const double allowed = straightness / scale;
    // How far one piece's end and the next one's start may point apart, in
    // radians: the painter's round join over such a turn bulges past the
    // straight line between the two by less than a ten-thousandth of the
    // width.
    constexpr double bend = 0.02;

    QVarLengthArray<Piece, 32> pieces;
    QPointF at = path.elementAt(0);
    for (int i = 1; i < count;) {
        const QPainterPath::Element& e = path.elementAt(i);
        Piece piece;
        piece.start = at;
        std::optional<QPointF> startTangent;
        std::optional<QPointF> endTangent;
        if (e.isLineTo()) {
            piece.end = e;
            startTangent = endTangent = direction({piece.end - at});
            i += 1;
        } else if (e.isCurveTo() && i + 2 < count) {
            const QPointF c1 = e;
            const QPointF c2 = path.elementAt(i + 1);
            piece.end = path.elementAt(i + 2);
            // Written so that a coordinate that is not a number fails too.
            if (!(offLine(c1, at, piece.end) <= allowed && offLine(c2, at, piece.end) <= allowed))
                return false;
            // Control points in order along the chord keep the curve from
            // doubling back on it.
            const QPointF chord = piece.end - at;
            const double along1 = dot(c1 - at, chord);
            const double along2 = dot(c2 - at, chord);
            if (!(along1 >= 0.0 && along1 <= along2 && along2 <= dot(chord, chord)))
                return false;
            startTangent = direction({c1 - at, c2 - at, piece.end - at});
            endTangent = direction({piece.end - c2, piece.end - c1, piece.end - at});
            i += 3;
        } else {
            // Another subpath, or a curve cut short.
            return false;
        }
        at = piece.end;
        // A piece with no length adds nothing to the outline.
        if (!startTangent || !endTangent)
            continue;
        piece.startTangent = *startTangent;
        piece.endTangent = *endTangent;
        if (!pieces.isEmpty()) {
            const QPointF before = pieces.back().endTangent;
            if (!(dot(before, piece.startTangent) > 0.0 && std::abs(cross(before, piece.startTangent)) <= bend))
                return false;
        }
        pieces.append(piece);
    }
    if (pieces.isEmpty())
        return false;

    const double r = width / 2.0;
    out.moveTo(pieces.front().start + normalOf(pieces.front().startTangent) * r);
    for (const Piece& p : pieces) {
        out.lineTo(p.start + normalOf(p.startTangent) * r);
        out.lineTo(p.end + normalOf(p.endTangent) * r);
    }
    const Piece& last = pieces.back();
    halfCircle(out, last.end, last.endTangent, normalOf(last.endTangent), r);
    for (qsizetype k = pieces.size() - 1; k >= 0; --k) {
        const Piece& p = pieces[k];
        out.lineTo(p.end - normalOf(p.endTangent) * r);
        out.lineTo(p.start - normalOf(p.startTangent) * r);
    }
    const Piece& first = pieces.front();
    halfCircle(out, first.start, -first.startTangent, -normalOf(first.startTangent), r);
    return true;
}

} // namespace pendra
