#pragma once
// The view loader's result copied into the public form, for comparison with
// parseCategories and loadKATFiles.

#include <span>
#include <vector>

#include <quillon_tests/kat_parser.hpp>

#include "kat_files_view.hpp"

namespace quillon_tests::testing_views {

inline std::vector<KatCategory> materialise(const detail::KatFileView& file) {
  auto copy = [](std::span<const detail::KatPropertyView> properties) {
    std::vector<KatProperty> out;
    for (const auto& [key, value] : properties) out.emplace_back(key, value);
    return out;
  };
  std::vector<KatCategory> out;
  for (const detail::KatCategoryView& category : file.categories()) {
    KatCategory& copied = out.emplace_back();
    copied.header = copy(category.header);
    for (const detail::KatRecordView& record : category.records) copied.records.push_back(copy(record));
  }
  return out;
}

}  // namespace quillon_tests::testing_views
