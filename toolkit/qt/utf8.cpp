#include "utf8.h"

#include <QFile>

namespace toolkit {

QString qt_text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string utf8_of(const QString& text) { return text.toStdString(); }

QByteArray bytes_of(std::string_view raw)
{
    return QByteArray(raw.data(), static_cast<qsizetype>(raw.size()));
}

std::string string_of(const QByteArray& raw)
{
    return std::string(raw.constData(), static_cast<std::size_t>(raw.size()));
}

QString display_path(const QByteArray& raw) { return QFile::decodeName(raw); }

}  // namespace toolkit
