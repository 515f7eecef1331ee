#include "toolkit/qt/folders/name_order.h"

#include "toolkit/qt/core/utf8.h"

#include <QChar>
#include <QCollator>
#include <QString>

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <numeric>
#include <thread>
#include <unordered_map>

namespace toolkit {

namespace {

// Each name becomes one key of bytes whose memcmp order is the order of the
// names, up to the ties broken afterwards. A key is a run of tokens, each
// with a first byte that says what follows, so keys compare token by token:
//
//   0x01..0x42            an ASCII character that is no letter or digit,
//                         in code point order;
//   0x43 + 3 bytes        any other character that is no letter, by code
//                         point;
//   0x50 + length + digits  a run of ASCII digits without its leading zeros
//                         (one zero for a run of zeros), so shorter numbers
//                         come first and equal lengths compare digit by digit;
//   0x60 + rank           a letter, by its primary rank (below);
//   0xFF + 2 bytes        a letter whose rank does not fit one byte.
//
// A name's end is the end of its key, which sorts before any token.
constexpr unsigned char OtherCharacter = 0x43;
constexpr unsigned char Number = 0x50;
constexpr unsigned char Letter = 0x60;
constexpr unsigned char WideLetter = 0xFF;
constexpr unsigned one_byte_ranks = WideLetter - Letter;

constexpr bool is_digit(char32_t c) { return c >= U'0' && c <= U'9'; }
constexpr bool is_ascii_letter(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

// ASCII characters that are no letter or digit, numbered from 1 in code
// point order.
constexpr std::array<unsigned char, 128> ascii_other_weights = [] {
    std::array<unsigned char, 128> weights{};
    unsigned char next = 1;
    for (char32_t c = 0; c < 128; ++c)
        if (!is_digit(c) && !is_ascii_letter(c))
            weights[c] = next++;
    return weights;
}();

// Calls visit(code point, where it starts) for each character of a raw
// name; a byte that is not valid UTF-8 counts as U+FFFD, as it is shown.
template <class Visit> void for_each_character(std::string_view name, Visit&& visit)
{
    for_each_code_point(name, [&](char32_t c, const unsigned char* at, bool valid) {
        visit(valid ? c : char32_t(0xFFFD), at);
    });
}

char32_t folded(char32_t c) { return QChar::toCaseFolded(c); }

bool is_letter(char32_t c)
{
    return is_ascii_letter(c) || (c >= 0x80 && QChar::isLetterOrNumber(c));
}

// Every letter that occurs gets two ranks, by the locale's collation of the
// case-folded letters: a primary rank, which letters that differ only by
// accent share (e and é, where the language says so), and a secondary one,
// its place among all of them, for names whose primaries tie.
class LetterRanks {
public:
    // `others`: the letters beyond ASCII, as `letters_beyond_ascii` gives them.
    explicit LetterRanks(const std::vector<char32_t>& others)
    {
        std::vector<char32_t> letters;
        for (char32_t c = U'a'; c <= U'z'; ++c)
            letters.push_back(c);
        letters.insert(letters.end(), others.begin(), others.end());

        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        auto text = [](char32_t c, char32_t after = 0) {
            QString s = QString::fromUcs4(&c, 1);
            if (after)
                s += QChar(after);
            return s;
        };
        std::stable_sort(letters.begin(), letters.end(), [&](char32_t a, char32_t b) {
            return collator.compare(text(a), text(b)) < 0;
        });
        // Two neighbours share a primary when the letter after them decides
        // between them: "eb" after "éa", and "ea" before "éb".
        auto same_primary = [&](char32_t a, char32_t b) {
            return collator.compare(text(a, U'b'), text(b, U'a')) > 0 &&
                collator.compare(text(a, U'a'), text(b, U'b')) < 0;
        };
        std::uint16_t primary = 0;
        for (std::size_t i = 0; i < letters.size(); ++i) {
            if (i > 0 && !same_primary(letters[i - 1], letters[i]))
                ++primary;
            auto secondary = static_cast<std::uint16_t>(i);
            if (letters[i] < 128)
                m_ascii[letters[i]] = {primary, secondary};
            else
                m_other[letters[i]] = {primary, secondary};
        }
    }

    struct Ranks {
        std::uint16_t primary = 0;
        std::uint16_t secondary = 0;
    };

    // Of a letter as it occurs, in either case.
    Ranks of(char32_t letter) const
    {
        if (letter < 128)
            return m_ascii[letter | 0x20];
        auto found = m_other.find(folded(letter));
        return found == m_other.end() ? Ranks{} : found->second;
    }

private:
    std::array<Ranks, 128> m_ascii{};
    std::unordered_map<char32_t, Ranks> m_other;
};

// The letters beyond ASCII that occur in the names, case-folded, sorted and
// each once: what the ranks of a set of names depend on.
std::vector<char32_t> letters_beyond_ascii(const RawNames& names)
{
    std::vector<char32_t> letters;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (is_ascii(names[i]))
            continue;
        for_each_character(names[i], [&](char32_t c, const unsigned char*) {
            if (c >= 0x80 && is_letter(c))
                letters.push_back(folded(c));
        });
    }
    std::sort(letters.begin(), letters.end());
    letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
    return letters;
}

void append_code_point(std::string& key, unsigned char token, char32_t c)
{
    key += static_cast<char>(token);
    key += static_cast<char>((c >> 16) & 0xFF);
    key += static_cast<char>((c >> 8) & 0xFF);
    key += static_cast<char>(c & 0xFF);
}

// Calls token(kind, character or digits) for each token of a name.
template <class Digits, class Other>
void for_each_token(std::string_view name, Digits&& digits, Other&& other)
{
    std::size_t run_start = std::string_view::npos;
    auto end_run = [&](std::size_t at) {
        if (run_start != std::string_view::npos)
            digits(name.substr(run_start, at - run_start));
        run_start = std::string_view::npos;
    };
    const auto* begin = reinterpret_cast<const unsigned char*>(name.data());
    for_each_character(name, [&](char32_t c, const unsigned char* at) {
        auto offset = static_cast<std::size_t>(at - begin);
        if (is_digit(c)) {
            if (run_start == std::string_view::npos)
                run_start = offset;
            return;
        }
        end_run(offset);
        // Sharp s is two letters s, as German collation and case folding
        // both have it; every other letter is one.
        if (c == U'\u00DF' || c == U'\u1E9E') {
            other(U's');
            other(U's');
            return;
        }
        other(c);
    });
    end_run(name.size());
}

void append_key(std::string& key, std::string_view name, const LetterRanks& ranks)
{
    for_each_token(
        name,
        [&](std::string_view run) {
            std::size_t zeros = 0;
            while (zeros + 1 < run.size() && run[zeros] == '0')
                ++zeros;
            std::string_view value = run.substr(zeros);
            key += static_cast<char>(Number);
            key += static_cast<char>(std::min<std::size_t>(value.size(), 255));
            key += value;
        },
        [&](char32_t c) {
            if (c < 128 && !is_ascii_letter(c)) {
                key += static_cast<char>(ascii_other_weights[c]);
            } else if (!is_letter(c)) {
                append_code_point(key, OtherCharacter, c);
            } else {
                unsigned rank = ranks.of(c).primary;
                if (rank < one_byte_ranks) {
                    key += static_cast<char>(Letter + rank);
                } else {
                    key += static_cast<char>(WideLetter);
                    key += static_cast<char>(rank >> 8);
                    key += static_cast<char>(rank & 0xFF);
                }
            }
        });
}

// What decides between names whose keys are equal: the letters' secondary
// ranks and the digit runs' counts of leading zeros, in the order they come.
std::vector<std::uint16_t> tie_key(std::string_view name, const LetterRanks& ranks)
{
    std::vector<std::uint16_t> tie;
    for_each_token(
        name,
        [&](std::string_view run) {
            std::uint16_t zeros = 0;
            while (zeros + 1u < run.size() && run[zeros] == '0')
                ++zeros;
            tie.push_back(zeros);
        },
        [&](char32_t c) {
            if (is_letter(c))
                tie.push_back(ranks.of(c).secondary);
        });
    return tie;
}

struct SortItem {
    std::uint64_t prefix;  // The key's first eight bytes, big-endian.
    std::uint32_t position;
};

// Whether one name comes before another once their keys are equal.
bool tie_before(std::string_view a, std::string_view b, const LetterRanks& ranks)
{
    std::vector<std::uint16_t> tie_a = tie_key(a, ranks);
    std::vector<std::uint16_t> tie_b = tie_key(b, ranks);
    if (tie_a != tie_b)
        return tie_a < tie_b;
    return a < b;  // Raw bytes, as unsigned chars.
}

std::vector<std::uint32_t> order_by(const RawNames& names, const LetterRanks& ranks)
{
    const std::size_t count = names.size();

    // Every key in one block, freed once the order is known.
    std::string keys;
    std::vector<std::size_t> key_ends(count);
    for (std::size_t i = 0; i < count; ++i) {
        append_key(keys, names[i], ranks);
        key_ends[i] = keys.size();
    }
    auto key = [&](std::uint32_t position) {
        std::size_t begin = position == 0 ? 0 : key_ends[position - 1];
        return std::string_view(keys).substr(begin, key_ends[position] - begin);
    };

    std::vector<SortItem> items(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::string_view k = key(static_cast<std::uint32_t>(i));
        std::uint64_t prefix = 0;
        for (std::size_t b = 0; b < 8; ++b)
            prefix = (prefix << 8) | (b < k.size() ? static_cast<unsigned char>(k[b]) : 0u);
        items[i] = {prefix, static_cast<std::uint32_t>(i)};
    }

    auto before = [&](const SortItem& a, const SortItem& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        if (int order = key(a.position).compare(key(b.position)))
            return order < 0;
        return tie_before(names[a.position], names[b.position], ranks);
    };

    // Two cores sort a half each, and one merge joins them.
    if (count >= 1 << 16) {
        auto middle = items.begin() + static_cast<std::ptrdiff_t>(count / 2);
        std::thread first([&] { std::sort(items.begin(), middle, before); });
        std::sort(middle, items.end(), before);
        first.join();
        std::inplace_merge(items.begin(), middle, items.end(), before);
    } else {
        std::sort(items.begin(), items.end(), before);
    }

    std::vector<std::uint32_t> order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = items[i].position;
    return order;
}

// Equal names in equal order hash alike, however they were put in order.
std::size_t fingerprint_of(const OrderedNames& ordered)
{
    std::size_t hash = ordered.size();
    for (std::size_t place = 0; place < ordered.size(); ++place)
        hash = hash * 1099511628211u + std::hash<std::string_view>()(ordered.at(place));
    return hash;
}

}  // namespace

std::vector<std::uint32_t> name_order(const RawNames& names)
{
    return order_by(names, LetterRanks(letters_beyond_ascii(names)));
}

std::shared_ptr<const OrderedNames> put_in_order(RawNames names)
{
    auto ordered = std::make_shared<OrderedNames>();
    ordered->letters = letters_beyond_ascii(names);
    ordered->order = order_by(names, LetterRanks(ordered->letters));
    ordered->names = std::move(names);
    ordered->fingerprint = fingerprint_of(*ordered);
    return ordered;
}

std::shared_ptr<const OrderedNames> change_names(const OrderedNames& base,
                                                 const std::set<std::string, std::less<>>& changed,
                                                 const RawNames& present)
{
    auto dropped = [&](std::string_view name) { return changed.contains(name); };
    std::vector<char32_t> letters = letters_beyond_ascii(present);
    std::vector<char32_t> all_letters;
    std::set_union(base.letters.begin(), base.letters.end(), letters.begin(), letters.end(),
                   std::back_inserter(all_letters));
    if (all_letters != base.letters) {
        // A letter new to the folder may rank between others and move names
        // that did not change: everything is put in order again.
        RawNames names;
        for (std::size_t place = 0; place < base.size(); ++place)
            if (!dropped(base.at(place)))
                names.push_back(base.at(place));
        for (std::size_t i = 0; i < present.size(); ++i)
            names.push_back(present[i]);
        return put_in_order(std::move(names));
    }

    // The ranks are the base's: its order holds, and the names that came
    // go into it, each where it belongs.
    LetterRanks ranks(base.letters);
    struct Coming {
        std::string key;
        std::string_view name;
    };
    std::vector<Coming> coming;
    for (std::size_t i = 0; i < present.size(); ++i) {
        Coming each{{}, present[i]};
        append_key(each.key, each.name, ranks);
        coming.push_back(std::move(each));
    }
    auto before = [&](const std::string& key_a, std::string_view a, const std::string& key_b,
                      std::string_view b) {
        if (int order = key_a.compare(key_b))
            return order < 0;
        return tie_before(a, b, ranks);
    };
    std::sort(coming.begin(), coming.end(), [&](const Coming& a, const Coming& b) {
        return before(a.key, a.name, b.key, b.name);
    });

    // Where each name that came goes: the first place in the base whose
    // name comes after it. A few are looked up, many are merged in one pass.
    std::string base_key;
    auto comes_before_place = [&](const Coming& each, std::size_t place) {
        base_key.clear();
        append_key(base_key, base.at(place), ranks);
        return before(each.key, each.name, base_key, base.at(place));
    };
    std::vector<std::size_t> places(coming.size());
    if (coming.size() * 32 < base.size()) {
        for (std::size_t i = 0; i < coming.size(); ++i) {
            std::size_t low = i == 0 ? 0 : places[i - 1], high = base.size();
            while (low < high) {
                std::size_t middle = low + (high - low) / 2;
                if (comes_before_place(coming[i], middle))
                    high = middle;
                else
                    low = middle + 1;
            }
            places[i] = low;
        }
    } else {
        std::size_t place = 0;
        for (std::size_t i = 0; i < coming.size(); ++i) {
            while (place < base.size() && !comes_before_place(coming[i], place))
                ++place;
            places[i] = place;
        }
    }

    auto result = std::make_shared<OrderedNames>();
    result->letters = base.letters;
    std::size_t next = 0;
    for (std::size_t place = 0; place <= base.size(); ++place) {
        for (; next < coming.size() && places[next] == place; ++next)
            result->names.push_back(coming[next].name);
        if (place < base.size() && !dropped(base.at(place)))
            result->names.push_back(base.at(place));
    }
    result->order.resize(result->names.size());
    std::iota(result->order.begin(), result->order.end(), 0u);
    result->fingerprint = fingerprint_of(*result);
    return result;
}

}  // namespace toolkit
