#include "engine/cleanup/table_reading_order.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <tuple>

namespace ocr::engine {
namespace {

int Width(const PixelBox& box) {
  return box.right - box.left;
}
int Height(const PixelBox& box) {
  return box.bottom - box.top;
}

// Rules of one table span about the same columns: their ends agree within a twentieth of
// their length, or a few pixels for short ones.
bool SameExtent(const PixelBox& a, const PixelBox& b) {
  const int slack = std::max(8, std::max(Width(a), Width(b)) / 20);
  return std::abs(a.left - b.left) <= slack && std::abs(a.right - b.right) <= slack;
}

// Frames side by side in one row overlap vertically by half the shorter one at least.
bool SameRow(const PixelBox& a, const PixelBox& b) {
  const int overlap = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return 2 * overlap >= std::min(Height(a), Height(b));
}

bool OverlapAcross(const PixelBox& a, const PixelBox& b) {
  return std::min(a.right, b.right) > std::max(a.left, b.left);
}

void RowsFromRules(std::vector<PixelBox> rules, int& tables, std::vector<TableRow>& rows) {
  std::sort(rules.begin(), rules.end(),
            [](const PixelBox& a, const PixelBox& b) { return a.top < b.top; });
  std::vector<bool> used(rules.size(), false);
  for (size_t i = 0; i < rules.size(); ++i) {
    if (used[i]) continue;
    std::vector<size_t> stack{i};
    for (size_t j = i + 1; j < rules.size(); ++j) {
      if (!used[j] && SameExtent(rules[i], rules[j]) && rules[j].top > rules[stack.back()].top) {
        stack.push_back(j);
      }
    }
    if (stack.size() < 3) continue;
    for (const size_t k : stack) used[k] = true;
    for (size_t k = 0; k + 1 < stack.size(); ++k) {
      const PixelBox& above = rules[stack[k]];
      const PixelBox& below = rules[stack[k + 1]];
      rows.push_back({{std::min(above.left, below.left), above.bottom,
                       std::max(above.right, below.right), below.top},
                      tables});
    }
    ++tables;
  }
}

void RowsFromFrames(std::vector<PixelBox> frames, int& tables, std::vector<TableRow>& rows) {
  std::sort(frames.begin(), frames.end(), [](const PixelBox& a, const PixelBox& b) {
    return std::tie(a.top, a.left) < std::tie(b.top, b.left);
  });
  // Rows of two or more frames side by side.
  std::vector<PixelBox> framedRows;
  std::vector<bool> used(frames.size(), false);
  for (size_t i = 0; i < frames.size(); ++i) {
    if (used[i]) continue;
    PixelBox row = frames[i];
    int cells = 1;
    for (size_t j = i + 1; j < frames.size(); ++j) {
      if (used[j] || !SameRow(frames[i], frames[j])) continue;
      used[j] = true;
      ++cells;
      row = {std::min(row.left, frames[j].left), std::min(row.top, frames[j].top),
             std::max(row.right, frames[j].right), std::max(row.bottom, frames[j].bottom)};
    }
    if (cells >= 2) framedRows.push_back(row);
  }
  // Tables: such rows one below the other, over the same columns.
  for (size_t i = 0; i < framedRows.size();) {
    size_t end = i + 1;
    while (end < framedRows.size() && OverlapAcross(framedRows[end - 1], framedRows[end]) &&
           framedRows[end].top >= framedRows[end - 1].top) {
      ++end;
    }
    if (end - i >= 2) {
      for (size_t k = i; k < end; ++k) rows.push_back({framedRows[k], tables});
      ++tables;
    }
    i = end;
  }
}

std::optional<size_t> RowOf(const PixelBox& line, const std::vector<TableRow>& rows) {
  const int x = (line.left + line.right) / 2;
  const int y = (line.top + line.bottom) / 2;
  for (size_t r = 0; r < rows.size(); ++r) {
    const PixelBox& box = rows[r].box;
    if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) return r;
  }
  return std::nullopt;
}

}  // namespace

std::vector<TableRow> FindTableRows(const std::vector<PixelBox>& rules,
                                    const std::vector<PixelBox>& frames) {
  std::vector<TableRow> rows;
  int tables = 0;
  RowsFromRules(rules, tables, rows);
  RowsFromFrames(frames, tables, rows);
  std::stable_sort(rows.begin(), rows.end(),
                   [](const TableRow& a, const TableRow& b) { return a.box.top < b.box.top; });
  return rows;
}

std::vector<size_t> ReadingOrder(const std::vector<PixelBox>& lines,
                                 const std::vector<TableRow>& rows) {
  std::vector<size_t> order(lines.size());
  std::iota(order.begin(), order.end(), size_t{0});
  if (rows.empty()) return order;

  std::vector<std::optional<size_t>> rowOf(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) rowOf[i] = RowOf(lines[i], rows);

  // A cell: the lines of one row whose spans across overlap, joined transitively; known by
  // its left edge.
  std::vector<int> cellLeft(lines.size(), 0);
  std::vector<std::vector<size_t>> inRow(rows.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    if (rowOf[i]) inRow[*rowOf[i]].push_back(i);
  }
  for (std::vector<size_t>& members : inRow) {
    std::sort(members.begin(), members.end(),
              [&](size_t a, size_t b) { return lines[a].left < lines[b].left; });
    int left = 0;
    int right = 0;
    for (size_t k = 0; k < members.size(); ++k) {
      const PixelBox& line = lines[members[k]];
      if (k == 0 || line.left >= right) {
        left = line.left;
        right = line.right;
      } else {
        right = std::max(right, line.right);
      }
      cellLeft[members[k]] = left;
    }
  }

  std::vector<size_t> result;
  result.reserve(lines.size());
  std::vector<bool> tableDone(rows.size(), false);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!rowOf[i]) {
      result.push_back(i);
      continue;
    }
    const int table = rows[*rowOf[i]].table;
    if (tableDone[static_cast<size_t>(table)]) continue;
    tableDone[static_cast<size_t>(table)] = true;
    std::vector<size_t> members;
    for (size_t j = 0; j < lines.size(); ++j) {
      if (rowOf[j] && rows[*rowOf[j]].table == table) members.push_back(j);
    }
    std::stable_sort(members.begin(), members.end(), [&](size_t a, size_t b) {
      return std::make_tuple(rows[*rowOf[a]].box.top, cellLeft[a], lines[a].top) <
             std::make_tuple(rows[*rowOf[b]].box.top, cellLeft[b], lines[b].top);
    });
    result.insert(result.end(), members.begin(), members.end());
  }
  return result;
}

}  // namespace ocr::engine
