// Ordering names the way file managers show them.
//
// Two names are compared from the start. Where both hold a run of digits,
// the runs compare by value (file2 before file10). Elsewhere characters
// compare by kind first, spaces and punctuation before digits before
// letters, then within their kind: punctuation by code point, letters as the
// user's locale collates them, ignoring case. So "report.pdf" comes before
// "report2.pdf", and "queen_x" before "queens". Names still equal then
// differ in accents, in leading zeros (fewer first) or in case; the raw bytes
// break any remaining tie, so the order never depends on the order the file
// system returned.
//
//   std::vector<std::uint32_t> order = name_order(listing.files);
//   std::string_view first = listing.files[order[0]];
#pragma once

#include "toolkit/qt/folders/folder_reader.h"

#include <cstdint>
#include <vector>

namespace toolkit {

// The positions of `names` in their order.
std::vector<std::uint32_t> name_order(const RawNames& names);

}  // namespace toolkit
