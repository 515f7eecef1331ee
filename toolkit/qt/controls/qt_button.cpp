#include "toolkit/qt/controls/qt_button.h"

#include "toolkit/qt/controls/readable.h"
#include "toolkit/qt/core/dispatch.h"
#include "toolkit/qt/core/utf8.h"

#include <QPointer>
#include <QPushButton>
#include <QShortcutEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimer>

namespace toolkit {

namespace {

// Kept clear between a caption and its button's edge.
constexpr int caption_margin_px = 2;

// The rectangle a button's caption is drawn in.
QRect caption_room(const QPushButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    QRect contents =
        button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    return contents.adjusted(caption_margin_px, 0, -caption_margin_px, 0);
}

// A push button whose access key clicks at once. Qt's own animates the
// click and runs it 100 ms later, a wait the user pays on every Alt+S and
// during which another key may slip in ahead of it; here the button looks
// pressed for that time while the click has already run.
class AccessKeyButton final : public QPushButton {
public:
    explicit AccessKeyButton(QWidget* parent) : QPushButton(parent)
    {
        m_release.setSingleShot(true);
        m_release.setInterval(100);
        QObject::connect(&m_release, &QTimer::timeout, this, [this] { setDown(false); });
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::Shortcut)
            return QPushButton::event(event);
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        // A key two buttons share moves the focus, as Qt does.
        if (shortcut->isAmbiguous() || !isEnabled())
            return QPushButton::event(event);
        setDown(true);
        m_release.start();
        QPointer<AccessKeyButton> alive(this);
        emit clicked(false);
        // A handler that disabled the button for its run took the look away.
        if (alive && isEnabled() && m_release.isActive())
            setDown(true);
        return true;
    }
    // A theme's font may be too wide for the designed button: the caption
    // is then drawn smaller, never cut at both ends.
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        QFont fitted = font_to_fit(font(), option.text, caption_room(*this).width());
        if (fitted != font()) {
            painter.setFont(fitted);
            option.fontMetrics = QFontMetrics(fitted);
        }
        painter.drawControl(QStyle::CE_PushButton, option);
    }

private:
    QTimer m_release;
};

constexpr Property button_properties[] = {
    {prop::Caption, get_via<&QtButton::caption>, set_via<&QtButton::set_caption>},
};

}  // namespace

QtButton::QtButton(QWidget* parent, std::string_view name, std::optional<std::int32_t> index)
    : QtControl(new AccessKeyButton(parent), name, index, {Event::Click}),
      m_button(static_cast<QPushButton*>(widget()))
{
    QObject::connect(m_button, &QPushButton::clicked, m_button, [this] { act(Event::Click); });
}

std::string QtButton::caption() const { return utf8_of(m_button->text()); }

void QtButton::set_caption(std::string caption) { m_button->setText(qt_text(caption)); }

// The caption at the smallest size it is drawn at.
QSize QtButton::smallest_usable_px() const
{
    QFontMetrics smallest(font_to_fit(m_button->font(), m_button->text(), 0));
    QSize caption = smallest.size(Qt::TextShowMnemonic, m_button->text());
    QRect room = caption_room(*m_button);
    return {caption.width() + m_button->width() - room.width(),
            caption.height() + m_button->height() - room.height()};
}

std::span<const Property> QtButton::own_properties() const { return button_properties; }

}  // namespace toolkit
