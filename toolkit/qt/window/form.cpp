#include "toolkit/form.h"

#include "toolkit/qt/controls/qt_drive_list.h"
#include "toolkit/qt/controls/qt_file_list.h"
#include "toolkit/qt/controls/qt_folder_list.h"
#include "toolkit/qt/core/control_factory.h"
#include "toolkit/qt/core/dispatch.h"
#include "toolkit/qt/core/event_table.h"
#include "toolkit/qt/core/property_table.h"
#include "toolkit/qt/core/turns.h"
#include "toolkit/qt/core/units.h"
#include "toolkit/qt/core/utf8.h"
#include "toolkit/qt/folders/folder_hub.h"
#include "toolkit/qt/folders/off_thread.h"
#include "toolkit/qt/window/bitmaps.h"
#include "toolkit/qt/window/folder_gestures.h"
#include "toolkit/qt/window/form_widget.h"

#include "toolkit/services.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>

#include <algorithm>
#include <cmath>

namespace toolkit {

struct Form::Impl {
    // Outlives the lists, which leave it as they go.
    FolderHub folders;
    std::string name;
    FormWidget widget;
    std::vector<std::unique_ptr<QtControl>> controls;
    EventTable events{Event::Load, Event::Resize, Event::MouseMove};
    FolderGestures* gestures = nullptr;  // Owned by the widget.
};

namespace {

const QWidget& widget_of(const Object& form)
{
    return static_cast<const Form&>(form).impl().widget;
}

Value name_of(const Object& form) { return static_cast<const Form&>(form).impl().name; }
Value caption_of(const Object& form) { return utf8_of(widget_of(form).windowTitle()); }
Value client_width(const Object& form) { return units::twips_from_px(widget_of(form).width()); }
Value client_height(const Object& form) { return units::twips_from_px(widget_of(form).height()); }
Value outer_left(const Object& form)
{
    return units::twips_from_px(widget_of(form).frameGeometry().x());
}
Value outer_top(const Object& form)
{
    return units::twips_from_px(widget_of(form).frameGeometry().y());
}
Value outer_width(const Object& form)
{
    return units::twips_from_px(widget_of(form).frameGeometry().width());
}
Value outer_height(const Object& form)
{
    return units::twips_from_px(widget_of(form).frameGeometry().height());
}

// The window is measured by name, never sized by name: the user sizes it.
constexpr Property window_properties[] = {
    {prop::Name, name_of, nullptr},
    {prop::Caption, caption_of, nullptr},
    {prop::ScaleWidth, client_width, nullptr},
    {prop::ScaleHeight, client_height, nullptr},
    {prop::Left, outer_left, nullptr},
    {prop::Top, outer_top, nullptr},
    {prop::Width, outer_width, nullptr},
    {prop::Height, outer_height, nullptr},
};

// The window shrinks with its controls in proportion: it goes no smaller
// than the size at which the control that needs it most is still usable,
// and never below its designed size for that.
void set_smallest_size(QWidget& window, const std::vector<std::unique_ptr<QtControl>>& controls)
{
    double width_share = 0, height_share = 0;
    for (const auto& control : controls) {
        QSize needed = control->smallest_usable_px();
        int width_px = units::px_from_twips(control->width());
        int height_px = units::px_from_twips(control->height());
        if (width_px > 0)
            width_share = std::max(width_share, double(needed.width()) / width_px);
        if (height_px > 0)
            height_share = std::max(height_share, double(needed.height()) / height_px);
    }
    window.setMinimumSize(int(std::ceil(window.width() * std::clamp(width_share, 0.0, 1.0))),
                          int(std::ceil(window.height() * std::clamp(height_share, 0.0, 1.0))));
}

}  // namespace

Form::Form(std::string_view name, std::string_view caption, float client_width_twips,
           float client_height_twips, std::span<const ControlDesign> controls)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->name = std::string(name);
    QWidget& widget = m_impl->widget;
    widget.setObjectName(qt_text(name));
    widget.setWindowTitle(qt_text(caption));
    widget.resize(units::px_from_twips(client_width_twips),
                  units::px_from_twips(client_height_twips));
    m_impl->widget.on_resize = [this] { dispatch(m_impl->events[Event::Resize]); };
    m_impl->widget.on_move = [this] { dispatch(m_impl->events[Event::MouseMove]); };
    // Closing the window ends the program the one way Exit does, so the
    // clipboard is handed over either way.
    m_impl->widget.on_close = [] { end_program(); };
    Turns::instance().cover(&widget);
    for (const ControlDesign& design : controls)
        add_control(design);
    set_smallest_size(widget, m_impl->controls);
}

// Controls go before the window's widget, which deletes their widgets.
Form::~Form() { m_impl->controls.clear(); }

Object& Form::add_control(const ControlDesign& design)
{
    m_impl->controls.push_back(make_control(&m_impl->widget, m_impl->folders, design));
    return *m_impl->controls.back();
}

Object& Form::control(std::string_view name)
{
    for (auto& control : m_impl->controls)
        if (control->name() == name)
            return *control;
    throw Error(m_impl->name + " has no control " + std::string(name) + ".");
}

void Form::set_icon(const Icon& icon)
{
    // Task bars, switchers and docks ask for sizes of their own.
    QIcon sizes;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        sizes.addPixmap(QPixmap::fromImage(draw_icon(icon, size)));
    m_impl->widget.setWindowIcon(sizes);
}

void Form::set_context_menu(std::string_view control_name, const Menu& menu)
{
    static_cast<QtControl&>(control(control_name)).set_context_menu(menu);
}

void Form::set_menu_keys(std::string_view keys, std::string_view control_name)
{
    auto& opened = static_cast<QtControl&>(control(control_name));
    auto* shortcut = new QShortcut(QKeySequence(qt_text(keys)), &m_impl->widget);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, shortcut,
                     [&opened] { dispatch([&opened] { opened.open_context_menu(); }); });
}

void Form::run_in_background(std::function<void()> work, Handler then)
{
    run_off_thread(std::move(work), &m_impl->widget, [then = std::move(then)] { dispatch(then); });
}

void Form::set_mouse_pointer(std::string_view control_name, const Pointer& pointer)
{
    static_cast<QtControl&>(control(control_name)).widget()->setCursor(draw_pointer(pointer));
}

void Form::show()
{
    raise(m_impl->events[Event::Load]);

    // Keyboard order follows the design's tab indexes; focus starts on the
    // first control in it.
    std::vector<QtControl*> by_tab;
    for (auto& control : m_impl->controls)
        if (control->widget()->focusPolicy() != Qt::NoFocus)
            by_tab.push_back(control.get());
    std::stable_sort(by_tab.begin(), by_tab.end(),
                     [](QtControl* a, QtControl* b) { return a->tab_index() < b->tab_index(); });
    for (std::size_t i = 1; i < by_tab.size(); ++i)
        QWidget::setTabOrder(by_tab[i - 1]->widget(), by_tab[i]->widget());

    // A window with a folder list opens a folder dropped on it, or pasted
    // into one of its lists.
    QtFolderList* folders = nullptr;
    QtDriveList* drives = nullptr;
    std::vector<QWidget*> lists;
    for (auto& control : m_impl->controls) {
        if (auto* list = dynamic_cast<QtFolderList*>(control.get()); list && !folders)
            folders = list;
        if (auto* list = dynamic_cast<QtDriveList*>(control.get()); list && !drives)
            drives = list;
        if (dynamic_cast<QtFolderList*>(control.get()) ||
            dynamic_cast<QtDriveList*>(control.get()) || dynamic_cast<QtFileList*>(control.get()))
            lists.push_back(control->widget());
    }
    if (folders && !m_impl->gestures)
        m_impl->gestures =
            new FolderGestures(&m_impl->widget, m_impl->folders, *folders, drives, lists);

    // Without a window manager a new window would sit at 0,0.
    QWidget& widget = m_impl->widget;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        widget.move(area.center() - QPoint(widget.width() / 2, widget.height() / 2));
    }
    widget.show();
    if (!by_tab.empty())
        by_tab.front()->widget()->setFocus();
}

Value Form::get(std::string_view property) const
{
    return get_property(*this, {window_properties}, property);
}

void Form::set(std::string_view property, const Value& value)
{
    set_property(*this, {window_properties}, property, value);
}

void Form::on(Event event, Handler handler, Turn turn)
{
    m_impl->events.connect(*this, event, std::move(handler), turn);
}

std::vector<Object*> Form::controls()
{
    std::vector<Object*> all;
    for (auto& control : m_impl->controls)
        all.push_back(control.get());
    return all;
}

}  // namespace toolkit
