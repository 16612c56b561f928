// The rows of the preferences dialog, in page order: each setting's row as
// the setting table describes it, and the two rows that store nothing.
#include <algorithm>
#include <cmath>
#include <vector>

#include "gui/preferences_model.h"

namespace pic2jpg {
namespace {

constexpr const char* const kRle[] = {"RLE"};

// Numbers and sliders show the range of their setting (gamma in hundredths),
// lists their entries, check boxes 0 and 1.
void TakeRange(const SettingField& field, PreferencesRow* row) {
  if (row->kind == RowKind::kList) row->max = static_cast<int>(row->items.size()) - 1;
  if (row->kind == RowKind::kCheck) row->max = 1;
  if (row->kind != RowKind::kNumber && row->kind != RowKind::kSlider) return;
  if (!field.range.limited) return;
  const double scale = row->scale == RowScale::kHundredths ? 100.0 : 1.0;
  row->min = static_cast<int>(std::lround(field.range.min * scale));
  row->max = static_cast<int>(std::lround(field.range.max * scale));
}

PreferencesRow RowOf(const SettingField& field) {
  const DialogRow& shown = field.row;
  PreferencesRow row;
  row.page = PreferencesPageOf(field.group);
  row.area = field.format.empty() ? shown.area : field.format;
  row.caption = shown.caption;
  row.kind = shown.kind;
  row.key = field.key;
  row.items = shown.items;
  row.scale = shown.scale;
  row.unit = shown.unit;
  row.unit_key = shown.unit_key;
  row.list_key = shown.list_key;
  TakeRange(field, &row);
  return row;
}

// A row that only shows what the program does.
PreferencesRow Shown(int page, std::string_view area, std::string_view caption, RowKind kind,
                     std::span<const char* const> items = {}) {
  PreferencesRow row;
  row.page = page;
  row.area = area;
  row.caption = caption;
  row.kind = kind;
  row.items = items;
  row.max = static_cast<int>(items.size()) - 1;
  return row;
}

std::vector<PreferencesRow> BuildRows() {
  // The language list heads the General page; PCX is written with RLE only.
  std::vector<PreferencesRow> rows = {Shown(0, "", "Language", RowKind::kLanguage)};
  for (const SettingField& field : SettingFields()) {
    if (field.row.kind != RowKind::kNone) rows.push_back(RowOf(field));
  }
  rows.push_back(Shown(kOutputPage, "pcx", "Compression", RowKind::kList, kRle));
  // By page, then by pane in the order the table first names it (the page's
  // own rows first, a format's depth first in its pane).
  auto pane_order = [&rows](const PreferencesRow& row) {
    if (row.area.empty()) return -1;
    for (size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].page == row.page && rows[i].area == row.area) {
        return static_cast<int>(i);
      }
    }
    return static_cast<int>(rows.size());
  };
  std::vector<std::pair<int, int>> order;
  for (const PreferencesRow& row : rows) order.emplace_back(row.page, pane_order(row));
  std::vector<size_t> index(rows.size());
  for (size_t i = 0; i < index.size(); ++i) index[i] = i;
  std::stable_sort(index.begin(), index.end(),
                   [&order](size_t a, size_t b) { return order[a] < order[b]; });
  std::vector<PreferencesRow> sorted;
  for (size_t i : index) sorted.push_back(rows[i]);
  return sorted;
}

}  // namespace

std::span<const PreferencesRow> PreferencesRows() {
  static const std::vector<PreferencesRow> kRows = BuildRows();
  return kRows;
}

}  // namespace pic2jpg
