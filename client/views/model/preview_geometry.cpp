// Pixel geometry of the small board.
#include "client/views/model/preview_geometry.h"

#include "client/board/model/board_rules.h"

namespace {
constexpr PreviewGeometry kNineteen = {19,
                                       10,
                                       4,
                                       5,
                                       185,
                                       9,
                                       {{{34, 34},
                                         {34, 94},
                                         {34, 154},
                                         {94, 34},
                                         {94, 94},
                                         {94, 154},
                                         {154, 34},
                                         {154, 94},
                                         {154, 154}}}};
constexpr PreviewGeometry kThirteen = {
    13, 14, 2, 11, 179, 5, {{{52, 52}, {52, 136}, {136, 52}, {136, 136}, {94, 94}}}};
constexpr PreviewGeometry kNine = {
    9, 20, 4, 15, 175, 5, {{{54, 54}, {54, 134}, {134, 54}, {134, 134}, {94, 94}}}};

// Every grid line is a point's centre, and every star sits on a crossing.
constexpr bool LinesMatchPoints(const PreviewGeometry& g) {
  if (g.FirstLine != g.Pitch - g.Offset - 1) return false;
  if (g.LastLine != g.Size * g.Pitch - g.Offset - 1) return false;
  for (int i = 0; i < g.StarCount; ++i) {
    if ((g.Stars[i].Left + 1 - g.FirstLine) % g.Pitch != 0) return false;
    if ((g.Stars[i].Top + 1 - g.FirstLine) % g.Pitch != 0) return false;
  }
  return true;
}
static_assert(LinesMatchPoints(kNineteen) && LinesMatchPoints(kThirteen) &&
              LinesMatchPoints(kNine));
}  // namespace

const PreviewGeometry& PreviewGeometryOf(int size) {
  if (size == 19) return kNineteen;
  if (size == 13) return kThirteen;
  return kNine;
}

PreviewSpot PreviewSpotOf(const PreviewGeometry& geometry, int point) {
  return {PointColumn(point) * geometry.Pitch - geometry.Offset,
          PointRow(point) * geometry.Pitch - geometry.Offset};
}
