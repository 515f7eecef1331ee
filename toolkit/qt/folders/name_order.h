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
//   std::shared_ptr<const OrderedNames> files = put_in_order(std::move(listing.files));
//   std::string_view first = files->at(0);
#pragma once

#include "toolkit/qt/folders/folder_reader.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace toolkit {

// The positions of `names` in their order.
std::vector<std::uint32_t> name_order(const RawNames& names);

// Names laid out in their order, put so off the window's thread and shared,
// never changed, by every list that shows them. Kept in their order, the
// names are read front to back by whoever goes through them all.
struct OrderedNames {
    RawNames names;
    // Equal for equal names in equal order: a cheap test of "nothing changed".
    std::size_t fingerprint = 0;
    // The letters beyond ASCII among the names, which their order depends on.
    std::vector<char32_t> letters;
    // Whether every name is valid UTF-8, and so shows exactly as it is.
    bool all_utf8 = true;

    std::size_t size() const { return names.size(); }
    // The name at a place in the order.
    std::string_view at(std::size_t place) const { return names[place]; }
};

std::shared_ptr<const OrderedNames> put_in_order(RawNames names);

// `base` with the names in `changed` taken out and those of them in
// `present` put in, each where it belongs: the cost of the change, not of
// the folder, unless the change brings a letter the folder did not hold.
std::shared_ptr<const OrderedNames> change_names(const OrderedNames& base,
                                                 const std::set<std::string, std::less<>>& changed,
                                                 const RawNames& present);

}  // namespace toolkit
