#include "render/outline.h"

#include <new>

#include "common/cardel_interfaces.h"
#include "common/checked_int.h"

namespace cardel {
namespace {


// The radius is doubled in 16 bits, so a radius over 16383 fails even on a huge box.
int16_t Doubled16(int16_t radius) { return Narrow16(int32_t{radius} * 2); }

CheckedInt Twice(CheckedInt radius) { return radius + radius; }

// Height first, then width with the possibly reduced radius, so a corner never spans more than
// half of either side.
int16_t ClampRadius(int16_t radius, CheckedInt width, CheckedInt height) {
  if (Doubled16(radius) > height.value()) radius = Narrow16(height.Half().value());
  if (Doubled16(radius) > width.value()) radius = Narrow16(width.Half().value());
  return radius;
}

// The shadow's tail follows the border: a centred border shows half its width beyond the
// outline, an outside one all of it, and an inside one hides half of it.
CheckedInt BaseWidthForBorder(CheckedInt cw, const OutlineInput& in) {
  const float border = static_cast<float>(in.borderWidth) * in.dpiScale;
  switch (in.borderPosition) {
    case bpCenter: return CheckedInt::Round(static_cast<double>(cw.value()) + border / 2);
    case bpOutside: return CheckedInt::Round(static_cast<double>(cw.value()) + border);
    case bpInside: return CheckedInt::Round(static_cast<double>(cw.value()) - border / 2);
    default: return cw;
  }
}

struct Box {
  CheckedInt x, y, width, height;
  CheckedInt rLT, rRT, rBR, rBL;
};

struct Tail {
  CheckedInt width;   // cw: the base
  CheckedInt length;  // cl: how far the tip stands out
  CheckedInt tip;     // where the tip stands along the base; 0 for a right-angled tail
  bool on;
  int32_t position;
  int32_t align;
  int32_t customPosition;
  float scale;

  bool On(int32_t side) const { return on && position == side; }

  // Where the base starts along a side that runs from origin over extent, between the corners of
  // radius first (at origin) and second. A custom position is measured from the body's edge.
  CheckedInt BaseStart(CheckedInt origin, CheckedInt extent, CheckedInt first, CheckedInt second) const {
    switch (align) {
      case coFirstCorner: return origin + first;
      case coMidle: return origin + first + (extent - first - second).Half() - width.Half();
      case coSecondCorner: return origin + extent - width - second;
      case coCustomPosition: return CheckedInt::Round(static_cast<double>(customPosition) * scale + origin.value());
      default: return 0;
    }
  }

  // How far along the base the tip stands. A right-angled tail stands over the base's start
  // while that start lies in the first half of the side's extent (an absolute coordinate against
  // a relative half, so on an offset box the switch comes early), and over its far end after.
  CheckedInt TipOffset(CheckedInt start, CheckedInt extent) const {
    if (extent.value() / 2.0 >= start.value() || tip != 0) return tip;
    return width;
  }
};

class FigureBuilder {
 public:
  void Line(CheckedInt x1, CheckedInt y1, CheckedInt x2, CheckedInt y2) {
    ops_.push_back(PathLine{x1.value(), y1.value(), x2.value(), y2.value()});
  }
  // A zero-length line pins a square corner, so the join into a tail runs along the side.
  void Anchor(CheckedInt x, CheckedInt y) { Line(x, y, x, y); }
  void Corner(CheckedInt left, CheckedInt top, CheckedInt radius, float startAngle) {
    if (radius == 0) return;
    const int32_t diameter = Twice(radius).value();
    ops_.push_back(PathArc{left.value(), top.value(), diameter, diameter, startAngle, 90.0f});
  }
  std::vector<PathOp> Close() {
    ops_.push_back(PathClose{});
    return std::move(ops_);
  }

 private:
  std::vector<PathOp> ops_;
};

// Sides run clockwise from the top-left corner; a side with rounded corners at both ends gets no
// element of its own, the path's join draws it.
void TopSide(FigureBuilder& f, const Box& b, const Tail& t) {
  if (t.On(coTop)) {
    const CheckedInt a = t.BaseStart(b.x, b.width, b.rLT, b.rRT);
    const CheckedInt along = t.TipOffset(a, b.width);
    if (b.rLT == 0) f.Anchor(b.x, b.y);
    f.Line(a, b.y, a + along, b.y - t.length);
    f.Line(a + along, b.y - t.length, a + t.width, b.y);
  } else if (b.rLT == 0) {
    f.Line(b.x, b.y, b.x + b.width - b.rRT, b.y);
  }
}

void RightSide(FigureBuilder& f, const Box& b, const Tail& t) {
  const CheckedInt right = b.x + b.width;
  if (t.On(coRight)) {
    const CheckedInt start = t.BaseStart(b.y, b.height, b.rRT, b.rBR);
    const CheckedInt along = t.TipOffset(start, b.height);
    if (b.rRT == 0) f.Anchor(right, b.y);
    f.Line(right, start, right + t.length, start + along);
    f.Line(right + t.length, start + along, right, start + t.width);
  } else if (b.rRT == 0) {
    f.Line(right, b.y, right, b.y + b.height - b.rBR);
  }
}

void BottomSide(FigureBuilder& f, const Box& b, const Tail& t) {
  const CheckedInt bottom = b.y + b.height;
  if (t.On(coBottom)) {
    const CheckedInt a = t.BaseStart(b.x, b.width, b.rBL, b.rBR);
    const CheckedInt along = t.TipOffset(a, b.width);
    if (b.rBR == 0) f.Anchor(b.x + b.width, bottom);
    f.Line(a + t.width, bottom, a + along, bottom + t.length);
    f.Line(a + along, bottom + t.length, a, bottom);
  } else if (b.rBR == 0) {
    f.Line(b.x + b.width, bottom, b.x + b.rBL, bottom);
  }
}

void LeftSide(FigureBuilder& f, const Box& b, const Tail& t) {
  if (t.On(coLeft)) {
    const CheckedInt start = t.BaseStart(b.y, b.height, b.rLT, b.rBL);
    const CheckedInt along = t.TipOffset(start, b.height);
    if (b.rBL == 0) f.Anchor(b.x, b.y + b.height);
    f.Line(b.x, start + t.width, b.x - t.length, start + along);
    f.Line(b.x - t.length, start + along, b.x, start);
  } else if (b.rBL == 0) {
    f.Line(b.x, b.y + b.height, b.x, b.y + b.rLT);
  }
}

// The tail takes a band of its length off the body, so its tip ends on the client rectangle's
// edge; its base may not reach into the rounded corners of its side. The radii keep the limits
// they got from the whole box.
void CarveTailBand(Box& b, Tail& t) {
  if (!t.on) return;
  auto capBase = [&t](CheckedInt straight) {
    if (t.width > straight) t.width = straight;
  };
  switch (t.position) {
    case coLeft:
      b.x = b.x + t.length;
      b.width = b.width - t.length;
      capBase(b.height - b.rLT - b.rBL);
      break;
    case coTop:
      b.y = b.y + t.length;
      b.height = b.height - t.length;
      capBase(b.width - b.rLT - b.rRT);
      break;
    case coRight:
      b.width = b.width - t.length;
      capBase(b.height - b.rRT - b.rBR);
      break;
    case coBottom:
      b.height = b.height - t.length;
      capBase(b.width - b.rBL - b.rBR);
      break;
    default: break;
  }
}

OutlineGeometry Build(const OutlineInput& in) {
  const double scale = in.dpiScale;
  Box box;
  box.x = in.x;
  box.y = in.y;
  box.width = CheckedInt(in.width) - 1;
  box.height = CheckedInt(in.height) - 1;

  Tail tail{};
  tail.on = in.callOut;
  tail.position = in.callOutPosition;
  tail.align = in.callOutAlign;
  tail.customPosition = in.callOutCustomPosition;
  tail.scale = in.dpiScale;
  tail.width = CheckedInt::Round(in.callOutWidth * scale);
  tail.length = CheckedInt::Round(in.callOutLen * scale);
  // Fixed from the requested width: narrowing the base later leaves the tip where it was asked.
  tail.tip = in.callOutRightTriangle ? CheckedInt(0) : CheckedInt::Round(tail.width.value() / 2.0);
  if (in.adjustTailForBorder) tail.width = BaseWidthForBorder(tail.width, in);

  const CheckedInt halfBorder = in.growRadiiByHalfBorder ? CheckedInt::Round(in.borderWidth / 2.0) : CheckedInt(0);
  auto radius = [&](int16_t corner) -> CheckedInt {
    const auto scaled = RoundToInt16((CheckedInt(corner) + halfBorder).value() * scale);
    if (!scaled) throw ArithmeticOverflow{};
    return ClampRadius(*scaled, box.width, box.height);
  };
  box.rLT = radius(in.cornerLeftTop);
  box.rRT = radius(in.cornerRightTop);
  box.rBR = radius(in.cornerBottomRight);
  box.rBL = radius(in.cornerBottomLeft);

  CarveTailBand(box, tail);

  FigureBuilder f;
  f.Corner(box.x, box.y, box.rLT, 180.0f);
  TopSide(f, box, tail);
  f.Corner(box.x + box.width - Twice(box.rRT), box.y, box.rRT, 270.0f);
  RightSide(f, box, tail);
  f.Corner(box.x + box.width - Twice(box.rBR), box.y + box.height - Twice(box.rBR), box.rBR, 0.0f);
  BottomSide(f, box, tail);
  f.Corner(box.x, box.y + box.height - Twice(box.rBL), box.rBL, 90.0f);
  LeftSide(f, box, tail);

  OutlineGeometry geometry;
  geometry.figure = f.Close();
  geometry.body = {box.x.value(), box.y.value(), box.width.value(), box.height.value()};
  return geometry;
}

}  // namespace

namespace {

// GDI+ works in single precision, whose whole numbers are exact only up to 2^24; far beyond that
// some implementations fault while filling. Such an outline is as absurd as one that leaves 32 bits.
constexpr int64_t kMaxCoordinate = int64_t{1} << 24;

bool WithinGdiplusRange(const OutlineGeometry& geometry) {
  auto fits = [](int64_t v) { return v >= -kMaxCoordinate && v <= kMaxCoordinate; };
  for (const PathOp& op : geometry.figure) {
    if (const auto* line = std::get_if<PathLine>(&op)) {
      if (!fits(line->x1) || !fits(line->y1) || !fits(line->x2) || !fits(line->y2)) return false;
    } else if (const auto* arc = std::get_if<PathArc>(&op)) {
      if (!fits(arc->x) || !fits(arc->y) || !fits(int64_t{arc->x} + arc->width) ||
          !fits(int64_t{arc->y} + arc->height))
        return false;
    }
  }
  return true;
}

}  // namespace

OutlineResult BuildOutlinePath(const OutlineInput& input) {
  try {
    OutlineGeometry geometry = Build(input);
    if (!WithinGdiplusRange(geometry)) return {{}, RenderError::Overflow};
    return {std::move(geometry), std::nullopt};
  } catch (const ArithmeticOverflow&) {
    return {{}, RenderError::Overflow};
  } catch (const std::bad_alloc&) {
    return {{}, RenderError::OutOfMemory};
  }
}

}  // namespace cardel
