#include "render/inset_polygon.h"

#include <cmath>
#include <optional>

namespace cardel {
namespace {

struct Side {
  double px, py;  // a point on the moved side
  double dx, dy;  // unit direction of the original side
};

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// Where two moved sides meet; a side continuing its predecessor's line meets it at its own start.
std::pair<double, double> Meet(const Side& a, const Side& b) {
  const double denominator = Cross(a.dx, a.dy, b.dx, b.dy);
  if (std::fabs(denominator) < 1e-9) return {b.px, b.py};
  const double t = Cross(b.px - a.px, b.py - a.py, b.dx, b.dy) / denominator;
  return {a.px + t * a.dx, a.py + t * a.dy};
}

}  // namespace

std::vector<FloatPoint> InsetPolygon(std::span<const FloatPoint> polygon, float distance) {
  std::vector<FloatPoint> points;
  for (const FloatPoint& p : polygon)
    if (points.empty() || std::hypot(p.x - points.back().x, p.y - points.back().y) > 1e-4) points.push_back(p);
  while (points.size() > 1 && std::hypot(points.front().x - points.back().x, points.front().y - points.back().y) <= 1e-4)
    points.pop_back();
  if (points.size() < 3) return {};

  double area = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const FloatPoint& a = points[i];
    const FloatPoint& b = points[(i + 1) % points.size()];
    area += Cross(a.x, a.y, b.x, b.y);
  }
  if (std::fabs(area) < 1e-9) return {};
  // The inside lies to the left of each side when the signed area is positive, to the right otherwise.
  const double inward = area > 0 ? 1.0 : -1.0;

  std::vector<Side> sides;
  for (size_t i = 0; i < points.size(); ++i) {
    const FloatPoint& a = points[i];
    const FloatPoint& b = points[(i + 1) % points.size()];
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    const double dx = (b.x - a.x) / length, dy = (b.y - a.y) / length;
    sides.push_back({a.x - inward * dy * distance, a.y + inward * dx * distance, dx, dy});
  }

  // Drop one turned-around side at a time: each removal changes where its neighbours meet.
  for (;;) {
    const size_t n = sides.size();
    if (n < 3) return {};
    std::optional<size_t> turned;
    for (size_t i = 0; i < n && !turned; ++i) {
      const auto [sx, sy] = Meet(sides[(i + n - 1) % n], sides[i]);
      const auto [ex, ey] = Meet(sides[i], sides[(i + 1) % n]);
      if ((ex - sx) * sides[i].dx + (ey - sy) * sides[i].dy < -1e-6) turned = i;
    }
    if (!turned) break;
    sides.erase(sides.begin() + static_cast<std::ptrdiff_t>(*turned));
  }

  std::vector<FloatPoint> inset;
  for (size_t i = 0; i < sides.size(); ++i) {
    const auto [x, y] = Meet(sides[(i + sides.size() - 1) % sides.size()], sides[i]);
    inset.push_back({static_cast<float>(x), static_cast<float>(y)});
  }
  double insetArea = 0;
  for (size_t i = 0; i < inset.size(); ++i) {
    const FloatPoint& a = inset[i];
    const FloatPoint& b = inset[(i + 1) % inset.size()];
    insetArea += Cross(a.x, a.y, b.x, b.y);
  }
  // A polygon turned inside out: the distance is more than the outline has room for.
  if (insetArea * area <= 0) return {};
  return inset;
}

}  // namespace cardel
