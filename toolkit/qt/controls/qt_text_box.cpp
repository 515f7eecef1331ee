#include "toolkit/qt/controls/qt_text_box.h"

#include "toolkit/qt/controls/text_view.h"
#include "toolkit/qt/core/menus.h"
#include "toolkit/qt/core/utf8.h"

#include <QMenu>
#include <QVBoxLayout>

namespace toolkit {

namespace {

constexpr Property text_box_properties[] = {
    {prop::Text, get_via<&QtTextBox::text>, set_via<&QtTextBox::set_text>},
};

}  // namespace

QtTextBox::QtTextBox(QWidget* parent, std::string_view name, std::optional<std::int32_t> index)
    : QtControl(new QWidget(parent), name, index, {}), m_view(new TextView(widget()))
{
    auto* fill = new QVBoxLayout(widget());
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(m_view);
    // In the keyboard order itself, though the focus goes on to the view.
    widget()->setFocusPolicy(Qt::StrongFocus);
    widget()->setFocusProxy(m_view);
}

std::string QtTextBox::text() const { return m_view->buffer().bytes(); }

void QtTextBox::set_text(std::string text) { m_view->set_text(std::move(text)); }

QWidget* QtTextBox::spoken_widget() const { return m_view; }

void QtTextBox::set_context_menu(const Menu& menu)
{
    m_view->extend_menu = [menu](QMenu& editing) { editing.addMenu(make_menu(menu, &editing)); };
}

void QtTextBox::open_context_menu() { m_view->open_menu_at_caret(); }

std::span<const Property> QtTextBox::own_properties() const { return text_box_properties; }

}  // namespace toolkit
