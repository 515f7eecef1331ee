#include "toolkit/qt/core/announce.h"

#include "toolkit/qt/core/accessible_factory.h"

#include <QAccessibleWidget>
#include <QWidget>

#include <algorithm>
#include <cstdint>

namespace toolkit {

namespace {

// Takes no room and draws nothing: only a screen reader meets it.
class Announcer final : public QWidget {
public:
    explicit Announcer(QWidget* window) : QWidget(window)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        resize(0, 0);
    }
    QString message;
    std::uint64_t said = 0;  // Which message this was, counted from the first.
};

class AnnouncerAccessible final : public QAccessibleWidget {
public:
    explicit AnnouncerAccessible(Announcer* announcer)
        : QAccessibleWidget(announcer, QAccessible::Notification), m_announcer(announcer)
    {
    }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? m_announcer->message : QString();
    }

private:
    Announcer* m_announcer;
};

QAccessibleInterface* announcer_accessible(const QString&, QObject* object)
{
    auto* announcer = dynamic_cast<Announcer*>(object);
    return announcer ? new AnnouncerAccessible(announcer) : nullptr;
}

}  // namespace

void announce(QWidget* window, const QString& text)
{
    if (!window || !QAccessible::isActive())
        return;
    install_accessible_factory<announcer_accessible>();
    // A screen reader reads a message's text after it hears it shown, and
    // by then another message may be out: each message is an object of its
    // own, and a few of the last stay to be read, reused oldest first.
    constexpr int kept = 8;
    QList<Announcer*> announcers;
    for (QObject* child : window->children())
        if (auto* announcer = dynamic_cast<Announcer*>(child))
            announcers.append(announcer);
    Announcer* next = nullptr;
    if (announcers.size() < kept) {
        next = new Announcer(window);
    } else {
        next = *std::min_element(announcers.begin(), announcers.end(),
                                 [](Announcer* a, Announcer* b) { return a->said < b->said; });
        next->hide();
    }
    static std::uint64_t said = 0;
    next->said = ++said;
    next->message = text;
    next->show();
}

}  // namespace toolkit
