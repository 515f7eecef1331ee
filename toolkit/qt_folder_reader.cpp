#include "toolkit/qt_folder_reader.h"

#include "toolkit/object.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QFile>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <numeric>
#include <optional>
#include <sys/stat.h>

namespace toolkit {

namespace {

[[noreturn]] void fail_folder(const QByteArray& folder, int error_number)
{
    throw Error("Cannot open the folder \"" + display_path(folder).toStdString() +
                "\": " + std::strerror(error_number) + ".");
}

// Owns an open directory stream.
class DirectoryStream {
public:
    explicit DirectoryStream(const QByteArray& folder) : m_dir(opendir(folder.constData()))
    {
        if (!m_dir)
            fail_folder(folder, errno);
    }
    ~DirectoryStream() { closedir(m_dir); }
    DirectoryStream(const DirectoryStream&) = delete;
    DirectoryStream& operator=(const DirectoryStream&) = delete;

    DIR* get() const { return m_dir; }

private:
    DIR* m_dir;
};

std::optional<EntryKind> kind_of(int dir_fd, const dirent& entry)
{
    switch (entry.d_type) {
    case DT_REG: return EntryKind::File;
    case DT_DIR: return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN: break;
    default: return std::nullopt;  // Devices, pipes and sockets are not files.
    }
    struct stat status {};
    if (fstatat(dir_fd, entry.d_name, &status, 0) != 0)
        return std::nullopt;  // A dangling link points at nothing.
    if (S_ISREG(status.st_mode))
        return EntryKind::File;
    if (S_ISDIR(status.st_mode))
        return EntryKind::Folder;
    return std::nullopt;
}

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

QString display_path(const QByteArray& path) { return QFile::decodeName(path); }

QByteArray bytes_of(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string string_of(const QByteArray& bytes)
{
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QByteArray join_path(const QByteArray& folder, const QByteArray& name)
{
    if (folder.endsWith('/'))
        return folder + name;
    return folder + '/' + name;
}

void check_listable(const QByteArray& folder) { DirectoryStream stream(folder); }

std::vector<FolderEntry> read_folder(const QByteArray& folder, EntryKind wanted)
{
    DirectoryStream stream(folder);
    int dir_fd = dirfd(stream.get());
    std::vector<FolderEntry> entries;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(stream.get());
        if (!entry) {
            if (errno != 0)
                fail_folder(folder, errno);
            break;
        }
        if (entry->d_name[0] == '.')
            continue;  // Hidden, or the folder itself or its parent.
        if (kind_of(dir_fd, *entry) != wanted)
            continue;
        QByteArray raw(entry->d_name);
        QString display = QFile::decodeName(raw);
        entries.push_back({std::move(raw), std::move(display)});
    }
    return entries;
}

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
