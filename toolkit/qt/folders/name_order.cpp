#include "toolkit/qt/folders/name_order.h"

#include "toolkit/qt/core/utf8.h"

#include <QChar>
#include <QCollator>
#include <QString>

#include <algorithm>
#include <array>
#include <bit>
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
    // `others`: the letters beyond ASCII, as `characters_of` finds them.
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

// What the characters of a set of names tell: the letters beyond ASCII
// that occur, case-folded, sorted and each once (what the ranks depend on),
// and whether every name is valid UTF-8.
struct Characters {
    std::vector<char32_t> letters;
    bool all_utf8 = true;
};

Characters characters_of(const RawNames& names)
{
    Characters found;
    // Most folders hold nothing but ASCII: one pass over the block says so.
    if (is_ascii(names.bytes()))
        return found;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (is_ascii(names[i]))
            continue;
        for_each_code_point(names[i], [&](char32_t c, const unsigned char*, bool valid) {
            if (!valid)
                found.all_utf8 = false;
            else if (c >= 0x80 && is_letter(c))
                found.letters.push_back(folded(c));
        });
    }
    std::sort(found.letters.begin(), found.letters.end());
    found.letters.erase(std::unique(found.letters.begin(), found.letters.end()),
                        found.letters.end());
    return found;
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

// A run of digits: its length without leading zeros, then its digits.
void append_number(std::string& key, std::string_view run)
{
    std::size_t zeros = 0;
    while (zeros + 1 < run.size() && run[zeros] == '0')
        ++zeros;
    std::string_view value = run.substr(zeros);
    key += static_cast<char>(Number);
    key += static_cast<char>(std::min<std::size_t>(value.size(), 255));
    key += value;
}

void append_key(std::string& key, std::string_view name, const LetterRanks& ranks)
{
    for_each_token(
        name, [&](std::string_view run) { append_number(key, run); },
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

// Whether one name comes before another once their keys are equal.
bool tie_before(std::string_view a, std::string_view b, const LetterRanks& ranks)
{
    std::vector<std::uint16_t> tie_a = tie_key(a, ranks);
    std::vector<std::uint16_t> tie_b = tie_key(b, ranks);
    if (tie_a != tie_b)
        return tie_a < tie_b;
    return a < b;  // Raw bytes, as unsigned chars.
}

// Keys for names, with the tokens of every ASCII character worked out once:
// nearly every name is ASCII and then takes a table lookup per byte.
class KeyMaker {
public:
    explicit KeyMaker(const LetterRanks& ranks) : m_ranks(ranks)
    {
        for (std::size_t c = 0; c < m_ascii.size(); ++c) {
            std::string token;
            char character = static_cast<char>(c);
            append_key(token, std::string_view(&character, 1), ranks);
            m_ascii[c].size = static_cast<unsigned char>(token.size());
            std::copy(token.begin(), token.end(), m_ascii[c].bytes);
        }
    }

    void append(std::string& key, std::string_view name) const
    {
        std::size_t start = key.size();
        for (std::size_t i = 0; i < name.size();) {
            auto c = static_cast<unsigned char>(name[i]);
            if (c >= 0x80) {
                // Beyond ASCII: the general road, from the name's start.
                key.resize(start);
                append_key(key, name, m_ranks);
                return;
            }
            if (!is_digit(c)) {
                key.append(m_ascii[c].bytes, m_ascii[c].size);
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < name.size() && is_digit(static_cast<unsigned char>(name[end])))
                ++end;
            append_number(key, name.substr(i, end - i));
            i = end;
        }
    }

private:
    struct Token {
        char bytes[4];
        unsigned char size;
    };
    const LetterRanks& m_ranks;
    std::array<Token, 128> m_ascii{};
};

// Enough names to be worth a second core.
constexpr std::size_t many_names = 1 << 16;

// Calls work(begin, end) for the two halves of [0, count) on two cores at
// once when there are many, or once for all of them.
template <class Work> void in_halves(std::size_t count, Work&& work)
{
    if (count < many_names) {
        work(std::size_t{0}, count);
        return;
    }
    std::size_t half = count / 2;
    std::thread first([&] { work(std::size_t{0}, half); });
    work(half, count);
    first.join();
}

// Every name's key, made in two blocks at once, each freed with the order.
class Keys {
public:
    Keys(const RawNames& names, const LetterRanks& ranks)
        : m_half(names.size() < many_names ? names.size() : names.size() / 2)
    {
        KeyMaker maker(ranks);
        in_halves(names.size(), [&](std::size_t begin, std::size_t end) {
            RawNames& keys = begin == 0 ? m_first : m_second;
            std::size_t bytes = names.ends()[end - 1] - (begin == 0 ? 0 : names.ends()[begin - 1]);
            keys.reserve(end - begin, bytes + bytes / 4);
            std::string key;
            for (std::size_t i = begin; i < end; ++i) {
                key.clear();
                maker.append(key, names[i]);
                keys.push_back(key);
            }
        });
    }

    std::string_view operator[](std::size_t position) const
    {
        return position < m_half ? m_first[position] : m_second[position - m_half];
    }

private:
    RawNames m_first;
    RawNames m_second;
    std::size_t m_half;
};

struct SortItem {
    std::uint64_t prefix;  // Eight bytes of the key from the depth sorted at, big-endian.
    std::uint32_t position;
};

// Sorts by key eight bytes at a time, most significant first, as a radix
// sort would: a run of items whose eight bytes tie is sorted again by the
// next eight. The comparisons stay on whole numbers, and each key is read
// once per depth it needs, rather than once per comparison.
class KeySorter {
public:
    KeySorter(const RawNames& names, const Keys& keys, const LetterRanks& ranks)
        : m_names(names), m_keys(keys), m_ranks(ranks)
    {
    }

    // The key's eight bytes from `depth`, padded with zeros. A key that
    // ends pads to less than any longer key that shares its bytes, since
    // the padding can only stand where such a key's token would start.
    std::uint64_t prefix(std::uint32_t position, std::size_t depth) const
    {
        std::string_view key = m_keys[position];
        if (depth >= key.size())
            return 0;
        const char* at = key.data() + depth;
        std::size_t left = key.size() - depth;
        std::uint64_t value = 0;
        if (left >= 8) {
            std::memcpy(&value, at, 8);
            return std::endian::native == std::endian::little ? __builtin_bswap64(value) : value;
        }
        for (std::size_t b = 0; b < 8; ++b)
            value = (value << 8) | (b < left ? static_cast<unsigned char>(at[b]) : 0u);
        return value;
    }

    // Items whose keys agree before `depth`, prefixes loaded at `depth`.
    void sort(SortItem* begin, SortItem* end, std::size_t depth) const
    {
        std::sort(begin, end,
                  [](const SortItem& a, const SortItem& b) { return a.prefix < b.prefix; });
        for (SortItem* run = begin; run != end;) {
            SortItem* run_end = run + 1;
            while (run_end != end && run_end->prefix == run->prefix)
                ++run_end;
            if (run_end - run > 1)
                settle_tie(run, run_end, depth);
            run = run_end;
        }
    }

private:
    // Items whose keys agree through `depth` + 8: those whose keys end there
    // come first, then the rest are sorted on by their next eight bytes.
    void settle_tie(SortItem* begin, SortItem* end, std::size_t depth) const
    {
        std::size_t next = depth + 8;
        SortItem* longer = std::partition(
            begin, end, [&](const SortItem& item) { return m_keys[item.position].size() <= next; });
        std::sort(begin, longer, [&](const SortItem& a, const SortItem& b) {
            std::size_t size_a = m_keys[a.position].size(), size_b = m_keys[b.position].size();
            if (size_a != size_b)
                return size_a < size_b;
            return tie_before(m_names[a.position], m_names[b.position], m_ranks);
        });
        if (end - longer < 2)
            return;
        for (SortItem* item = longer; item != end; ++item)
            item->prefix = prefix(item->position, next);
        sort(longer, end, next);
    }

    const RawNames& m_names;
    const Keys& m_keys;
    const LetterRanks& m_ranks;
};

std::vector<std::uint32_t> order_by(const RawNames& names, const LetterRanks& ranks)
{
    const std::size_t count = names.size();
    if (count == 0)
        return {};
    Keys keys(names, ranks);
    KeySorter sorter(names, keys, ranks);
    std::vector<SortItem> items(count);
    in_halves(count, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            items[i] = {sorter.prefix(static_cast<std::uint32_t>(i), 0),
                        static_cast<std::uint32_t>(i)};
    });

    SortItem* begin = items.data();
    SortItem* end = begin + count;
    // Two cores each sort the items on one side of a middle prefix; the
    // sides need no merge, and items that tie stay on one side.
    SortItem* middle = begin;
    if (count >= many_names) {
        std::vector<std::uint64_t> sample;
        for (std::size_t i = 0; i < count; i += count / 1024)
            sample.push_back(items[i].prefix);
        std::nth_element(sample.begin(), sample.begin() + sample.size() / 2, sample.end());
        std::uint64_t pivot = sample[sample.size() / 2];
        middle =
            std::partition(begin, end, [&](const SortItem& item) { return item.prefix <= pivot; });
    }
    if (middle != begin && middle != end) {
        std::thread first([&] { sorter.sort(begin, middle, 0); });
        sorter.sort(middle, end, 0);
        first.join();
    } else {
        sorter.sort(begin, end, 0);
    }

    std::vector<std::uint32_t> order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = items[i].position;
    return order;
}

// Equal names in equal order hash alike, however they were put in order:
// laid out in order, they are the same bytes ending at the same places.
std::size_t fingerprint_of(const RawNames& names)
{
    std::span<const std::uint32_t> ends = names.ends();
    std::string_view end_bytes(reinterpret_cast<const char*>(ends.data()), ends.size_bytes());
    return (std::hash<std::string_view>()(names.bytes()) * 1099511628211u) ^
        std::hash<std::string_view>()(end_bytes);
}

std::shared_ptr<const OrderedNames> ordered_from(RawNames names, std::vector<char32_t> letters,
                                                 bool all_utf8)
{
    auto ordered = std::make_shared<OrderedNames>();
    ordered->names = std::move(names);
    ordered->letters = std::move(letters);
    ordered->all_utf8 = all_utf8;
    ordered->fingerprint = fingerprint_of(ordered->names);
    return ordered;
}

}  // namespace

std::vector<std::uint32_t> name_order(const RawNames& names)
{
    return order_by(names, LetterRanks(characters_of(names).letters));
}

std::shared_ptr<const OrderedNames> put_in_order(RawNames names)
{
    Characters characters = characters_of(names);
    RawNames in_order;
    {
        std::vector<std::uint32_t> order = order_by(names, LetterRanks(characters.letters));
        // Each core gathers half the names, read from all over the block;
        // the second half then joins the first in one straight copy.
        RawNames second_half;
        in_halves(order.size(), [&](std::size_t begin, std::size_t end) {
            RawNames& gathered = begin == 0 ? in_order : second_half;
            // The first half has room for all, so the second joins it in place.
            std::size_t bytes = names.bytes().size();
            gathered.reserve(begin == 0 ? order.size() : end - begin,
                             begin == 0 ? bytes : bytes / 2 + bytes / 8);
            for (std::size_t place = begin; place < end; ++place)
                gathered.push_back(names[order[place]]);
        });
        in_order.append(second_half);
    }
    return ordered_from(std::move(in_order), std::move(characters.letters), characters.all_utf8);
}

std::shared_ptr<const OrderedNames> change_names(const OrderedNames& base,
                                                 const std::set<std::string, std::less<>>& changed,
                                                 const RawNames& present)
{
    auto dropped = [&](std::string_view name) { return changed.contains(name); };
    Characters characters = characters_of(present);
    std::vector<char32_t> all_letters;
    std::set_union(base.letters.begin(), base.letters.end(), characters.letters.begin(),
                   characters.letters.end(), std::back_inserter(all_letters));
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

    RawNames names;
    names.reserve(base.size() + coming.size(), base.names.bytes().size());
    std::size_t next = 0;
    for (std::size_t place = 0; place <= base.size(); ++place) {
        for (; next < coming.size() && places[next] == place; ++next)
            names.push_back(coming[next].name);
        if (place < base.size() && !dropped(base.at(place)))
            names.push_back(base.at(place));
    }
    // A name that was not UTF-8 may have gone; keeping the flag down only
    // costs the names a check each.
    return ordered_from(std::move(names), base.letters, base.all_utf8 && characters.all_utf8);
}

}  // namespace toolkit
