#pragma once
// The box outline as plain data: a rounded rectangle with an optional call-out tail on one side,
// as the exact sequence of integer lines and arcs the GDI+ path receives, and the body rectangle
// (the box without the tail's band) in which the content is laid out.
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "render/render_error.h"

namespace cardel {

struct OutlineInput {
  // The client rectangle in device pixels; it is never scaled.
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  // Every other length is in pixels at 96 DPI and is scaled by dpiScale here.
  int16_t cornerLeftTop = 0;
  int16_t cornerRightTop = 0;
  int16_t cornerBottomRight = 0;
  int16_t cornerBottomLeft = 0;
  bool callOut = false;
  int32_t callOutPosition = 0;  // eCallOutPosition; any other value draws no tail
  int32_t callOutAlign = 0;     // eCallOutAlign; any other value starts the base at coordinate 0
  int32_t callOutLen = 0;
  int32_t callOutWidth = 0;
  int32_t callOutCustomPosition = 0;
  bool callOutRightTriangle = false;
  int16_t borderWidth = 0;
  int32_t borderPosition = 0;  // eBorderPosition
  // The outside border's stroke and the box shadow follow the border's outer edge, so their
  // corners grow by half the border.
  bool growRadiiByHalfBorder = false;
  // Only the shadow's tail tracks the border, whose width changes the tail's visible base.
  bool adjustTailForBorder = false;
  float dpiScale = 1.0f;
};

struct PathLine {
  int32_t x1, y1, x2, y2;
  friend bool operator==(const PathLine&, const PathLine&) = default;
};

// An elliptical arc in its bounding box; degrees, 0 pointing right, growing clockwise.
struct PathArc {
  int32_t x, y, width, height;
  float startAngle, sweepAngle;
  friend bool operator==(const PathArc&, const PathArc&) = default;
};

struct PathClose {
  friend bool operator==(const PathClose&, const PathClose&) = default;
};

// Inside one figure the path joins each element to the next with a straight line, which is how
// the sides between rounded corners are drawn.
using PathOp = std::variant<PathLine, PathArc, PathClose>;

struct BodyRect {
  int32_t x, y, width, height;
  friend bool operator==(const BodyRect&, const BodyRect&) = default;
};

struct OutlineGeometry {
  std::vector<PathOp> figure;  // one figure, ending in PathClose
  BodyRect body{};
};

struct OutlineResult {
  OutlineGeometry geometry;
  std::optional<RenderError> error;  // when set, there is no outline to draw
};

// The body is the client rectangle made inclusive (one less wide and high) and without the
// tail's band. Radii are limited to half the box; the tail's base to the straight part of its
// side. Any length past 16 bits (radii) or 32 bits (the rest) is Overflow.
OutlineResult BuildOutlinePath(const OutlineInput& input);

}  // namespace cardel
