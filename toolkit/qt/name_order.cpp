#include "name_order.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>

#include <algorithm>
#include <numeric>
#include <optional>

namespace toolkit {

namespace {

// A name cut into runs of digits and runs of anything else. Text runs are
// compared by collation keys made once per entry; digit runs by value.
struct NameKey {
    struct Piece {
        QString digits;  // Without leading zeros; empty for a text piece.
        std::optional<QCollatorSortKey> text;
    };
    std::vector<Piece> pieces;
};

bool is_digit(QChar c) { return c >= u'0' && c <= u'9'; }

// Calls visit(run, is_number) for each run of a name, in order; a number
// comes without its leading zeros.
template <class Visit>
void for_each_run(QStringView name, Visit&& visit)
{
    qsizetype start = 0;
    while (start < name.size()) {
        bool number = is_digit(name[start]);
        qsizetype end = start;
        while (end < name.size() && is_digit(name[end]) == number)
            ++end;
        if (number)
            while (start + 1 < end && name[start] == u'0')
                ++start;
        visit(name.mid(start, end - start), number);
        start = end;
    }
}

NameKey make_key(const QString& name, const QCollator& collator)
{
    NameKey key;
    for_each_run(name, [&](QStringView run, bool number) {
        if (number)
            key.pieces.push_back({run.toString(), std::nullopt});
        else  // Folded first: the C locale's collation would tell case apart.
            key.pieces.push_back({QString(), collator.sortKey(run.toString().toCaseFolded())});
    });
    return key;
}

int compare_pieces(const NameKey::Piece& a, const NameKey::Piece& b)
{
    bool a_number = !a.text;
    bool b_number = !b.text;
    if (a_number != b_number)
        return a_number ? -1 : 1;  // Digits come before letters, as in collation.
    if (!a_number)
        return a.text->compare(*b.text);
    if (a.digits.size() != b.digits.size())
        return a.digits.size() < b.digits.size() ? -1 : 1;
    return a.digits.compare(b.digits);
}

int compare_keys(const NameKey& a, const NameKey& b)
{
    std::size_t common = std::min(a.pieces.size(), b.pieces.size());
    for (std::size_t i = 0; i < common; ++i)
        if (int order = compare_pieces(a.pieces[i], b.pieces[i]))
            return order;
    if (a.pieces.size() != b.pieces.size())
        return a.pieces.size() < b.pieces.size() ? -1 : 1;
    return 0;
}

// The same order as compare_keys under the C locale, as one string: a digit
// run is a 1 byte, its length in four bytes and its digits; a text run is a 2
// byte and its folded UTF-16 code units, high byte first, ended by two zero
// bytes (no name holds a NUL). Digits thus come before text, shorter numbers
// before longer ones, and a run that is a prefix of another comes first.
std::string flat_key(const QString& name)
{
    QString folded = name.toCaseFolded();
    std::string key;
    key.reserve(static_cast<std::size_t>(folded.size()) * 2 + 8);
    for_each_run(folded, [&](QStringView run, bool number) {
        if (number) {
            auto length = static_cast<std::uint32_t>(run.size());
            key += '\x01';
            for (int shift = 24; shift >= 0; shift -= 8)
                key += static_cast<char>((length >> shift) & 0xFF);
            for (QChar digit : run)
                key += static_cast<char>(digit.unicode());
        } else {
            key += '\x02';
            for (QChar unit : run) {
                key += static_cast<char>(unit.unicode() >> 8);
                key += static_cast<char>(unit.unicode() & 0xFF);
            }
            key += '\0';
            key += '\0';
        }
    });
    return key;
}

}  // namespace

void sort_by_name(std::vector<FolderEntry>& entries)
{
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    auto by_raw_name = [&](std::size_t a, std::size_t b) {
        return entries[a].raw_name < entries[b].raw_name;
    };

    if (QLocale().language() == QLocale::C) {
        // The C locale collates by code unit, so one flat key per name,
        // compared byte by byte, says all: the fast road for big folders.
        std::vector<std::string> keys;
        keys.reserve(entries.size());
        for (const FolderEntry& entry : entries)
            keys.push_back(flat_key(entry.display_name));
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            if (int by_key = keys[a].compare(keys[b]))
                return by_key < 0;
            return by_raw_name(a, b);
        });
    } else {
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::vector<NameKey> keys;
        keys.reserve(entries.size());
        for (const FolderEntry& entry : entries)
            keys.push_back(make_key(entry.display_name, collator));
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            if (int by_key = compare_keys(keys[a], keys[b]))
                return by_key < 0;
            return by_raw_name(a, b);
        });
    }

    std::vector<FolderEntry> sorted;
    sorted.reserve(entries.size());
    for (std::size_t position : order)
        sorted.push_back(std::move(entries[position]));
    entries = std::move(sorted);
}

}  // namespace toolkit
