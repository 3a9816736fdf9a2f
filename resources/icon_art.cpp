// The program's icon, drawn in code at each size of the icon group: a
// teal disc with a white link-chain loop and a check mark, antialiased by
// sampling each pixel four times so the small sizes stay clean.
#include "platform/dialog_template.h"

#include <algorithm>
#include <cmath>

namespace ui {
namespace {

constexpr int kSizes[] = {48, 32, 16};

struct Rgba {
  double r, g, b, a;
};

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  double dx = bx - ax, dy = by - ay;
  double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// The colour at a point of the unit square (0..1 both ways).
Rgba Sample(double x, double y) {
  double r = std::hypot(x - 0.5, y - 0.5);
  if (r > 0.47) return {0, 0, 0, 0};
  // Disc: lighter towards the top left.
  double shade = 0.75 + 0.25 * (1.0 - (x + y) / 2.0);
  Rgba colour{0.05 * shade, 0.55 * shade, 0.60 * shade, 1.0};
  if (r > 0.43) return {0.02, 0.30, 0.34, 1.0};  // rim
  double stroke = 0.055;
  // A loop of chain in the upper left ...
  double loop = std::abs(std::hypot((x - 0.40) / 1.3, y - 0.38) - 0.13);
  // ... and a check mark over the lower right.
  double check = std::min(SegmentDistance(x, y, 0.36, 0.58, 0.48, 0.72), SegmentDistance(x, y, 0.48, 0.72, 0.74, 0.34));
  if (loop < stroke * 0.8 || check < stroke) return {1.0, 1.0, 1.0, 1.0};
  return colour;
}

std::uint32_t Pixel(int size, int px, int py) {
  Rgba sum{0, 0, 0, 0};
  constexpr double kOffsets[] = {0.25, 0.75};
  for (double ox : kOffsets)
    for (double oy : kOffsets) {
      Rgba s = Sample((px + ox) / size, (py + oy) / size);
      sum.r += s.r * s.a;
      sum.g += s.g * s.a;
      sum.b += s.b * s.a;
      sum.a += s.a;
    }
  if (sum.a == 0) return 0;
  auto channel = [&](double premultiplied) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(premultiplied / sum.a, 0.0, 1.0) * 255));
  };
  auto alpha = static_cast<std::uint32_t>(std::lround(sum.a / 4 * 255));
  return alpha << 24 | channel(sum.r) << 16 | channel(sum.g) << 8 | channel(sum.b);
}

}  // namespace

std::vector<IconImage> LoadIconGroup(std::string_view name) {
  std::vector<IconImage> images;
  if (name != "ICON_1") return images;
  for (int size : kSizes) {
    IconImage image;
    image.size = size;
    image.pixels.reserve(static_cast<std::size_t>(size) * size);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) image.pixels.push_back(Pixel(size, x, y));
    images.push_back(std::move(image));
  }
  return images;
}

}  // namespace ui
