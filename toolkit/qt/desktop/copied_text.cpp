#include "toolkit/qt/desktop/copied_text.h"

#include "toolkit/qt/core/utf8.h"

namespace toolkit {

namespace {

const QString plain_text = QStringLiteral("text/plain");

}  // namespace

CopiedText::CopiedText(std::string_view bytes)
    : m_bytes(bytes_of(bytes)), m_utf8(is_valid_utf8(bytes))
{
}

QStringList CopiedText::formats() const { return {plain_text}; }

bool CopiedText::hasFormat(const QString& type) const { return type == plain_text; }

QVariant CopiedText::retrieveData(const QString& type, QMetaType wanted) const
{
    if (type != plain_text)
        return {};
    if (wanted.id() == QMetaType::QByteArray && m_utf8)
        return m_bytes;
    return display_name(
        std::string_view(m_bytes.constData(), static_cast<std::size_t>(m_bytes.size())));
}

}  // namespace toolkit
