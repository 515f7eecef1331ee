// Text put on the clipboard as bytes, converted only for a program that
// asks for it in another form. Another program reading UTF-8 (as X11 and
// Wayland programs do) gets the bytes themselves, shared, not copied, with
// no UTF-16 text made on the way: a million names cost one copy of them
// however often they are pasted.
//
//   QGuiApplication::clipboard()->setMimeData(new CopiedText(bytes));
#pragma once

#include <QByteArray>
#include <QMimeData>

#include <string_view>

namespace toolkit {

class CopiedText final : public QMimeData {
public:
    // A byte that is not valid UTF-8 reaches other programs as U+FFFD.
    explicit CopiedText(std::string_view bytes);
    // Bytes already copied and checked, shared.
    CopiedText(QByteArray bytes, bool utf8) : m_bytes(std::move(bytes)), m_utf8(utf8) { }

    QStringList formats() const override;
    bool hasFormat(const QString& type) const override;

protected:
    QVariant retrieveData(const QString& type, QMetaType wanted) const override;

private:
    QByteArray m_bytes;
    bool m_utf8 = true;
};

}  // namespace toolkit
