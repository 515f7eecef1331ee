#include "toolkit/qt/folders/raw_paths.h"

#include <QList>

#include <vector>

namespace toolkit {

QByteArray join_path(const QByteArray& folder, const QByteArray& name)
{
    if (folder.endsWith('/'))
        return folder + name;
    return folder + '/' + name;
}

QByteArray clean_path(const QByteArray& path, const QByteArray& base)
{
    QByteArray absolute = path.startsWith('/') ? path : join_path(base, path);
    std::vector<QByteArray> parts;
    for (const QByteArray& part : absolute.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    QByteArray clean;
    for (const QByteArray& part : parts)
        clean += '/' + part;
    return clean.isEmpty() ? QByteArray("/") : clean;
}

}  // namespace toolkit
