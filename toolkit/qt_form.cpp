#include "toolkit/form.h"

#include "toolkit/qt_dispatch.h"
#include "toolkit/qt_lists.h"
#include "toolkit/qt_simple_controls.h"
#include "toolkit/qt_text_box.h"
#include "toolkit/qt_units.h"

#include <QBitmap>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <map>

namespace toolkit {

namespace {

// The window's own client area: it reports size changes and pointer moves
// over its bare area, never over a control.
class FormWidget final : public QWidget {
public:
    FormWidget() { setMouseTracking(true); }
    std::function<void()> on_resize;
    std::function<void()> on_move;

protected:
    void resizeEvent(QResizeEvent*) override
    {
        if (on_resize)
            on_resize();
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        // Some controls let moves through to their window; those are not
        // moves over the bare area.
        if (!childAt(event->position().toPoint()) && on_move)
            on_move();
    }
};

std::unique_ptr<QtControl> make_control(QWidget* parent, const ControlDesign& design)
{
    switch (design.kind) {
    case ControlKind::TextBox: return std::make_unique<QtTextBox>(parent, design.name, design.index);
    case ControlKind::FolderList:
        return std::make_unique<QtFolderList>(parent, design.name, design.index);
    case ControlKind::DriveList: return std::make_unique<QtDriveList>(parent, design.name, design.index);
    case ControlKind::FileList: return std::make_unique<QtFileList>(parent, design.name, design.index);
    case ControlKind::CommandButton: return std::make_unique<QtButton>(parent, design.name, design.index);
    case ControlKind::Label: return std::make_unique<QtLabel>(parent, design.name, design.index);
    case ControlKind::Line: return std::make_unique<QtLine>(parent, design.name, design.index);
    }
    throw Error("Unknown kind of control.");
}

QImage draw_icon_image(const Icon& icon)
{
    int size = static_cast<int>(icon.rows.size());
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < size; ++y) {
        std::string_view row = icon.rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < size && x < static_cast<int>(row.size()); ++x) {
            auto colour = std::find_if(icon.palette.begin(), icon.palette.end(),
                                       [&](const IconColour& c) { return c.key == row[x]; });
            if (colour != icon.palette.end())
                image.setPixel(x, y, 0xFF000000u | colour->rgb);
        }
    }
    return image;
}

QCursor draw_pointer(const Pointer& pointer)
{
    int size = static_cast<int>(pointer.rows.size());
    // In a cursor, bitmap 1 is black and 0 white where the mask is 1.
    QImage bits(size, size, QImage::Format_Mono);
    QImage mask(size, size, QImage::Format_Mono);
    for (QImage* image : {&bits, &mask}) {
        image->setColor(0, qRgb(255, 255, 255));
        image->setColor(1, qRgb(0, 0, 0));
        image->fill(0);
    }
    for (int y = 0; y < size; ++y) {
        std::string_view row = pointer.rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < size && x < static_cast<int>(row.size()); ++x) {
            if (row[x] != 'k' && row[x] != 'w')
                continue;
            mask.setPixel(x, y, 1);
            bits.setPixel(x, y, row[x] == 'k' ? 1 : 0);
        }
    }
    return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), pointer.hot_x, pointer.hot_y);
}

}  // namespace

struct Form::Impl {
    std::string name;
    FormWidget widget;
    std::vector<std::unique_ptr<QtControl>> controls;
    std::map<Event, Handler> handlers;

    const Handler& handler(Event event) const
    {
        static const Handler none;
        auto found = handlers.find(event);
        return found == handlers.end() ? none : found->second;
    }
};

Form::Form(std::string_view name, std::string_view caption, float client_width_twips,
           float client_height_twips)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->name = std::string(name);
    QWidget& widget = m_impl->widget;
    widget.setObjectName(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    widget.setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    widget.resize(units::px_from_twips(client_width_twips), units::px_from_twips(client_height_twips));
    m_impl->widget.on_resize = [this] { dispatch(m_impl->handler(Event::Resize)); };
    m_impl->widget.on_move = [this] { dispatch(m_impl->handler(Event::MouseMove)); };
}

// Controls go before the window's widget, which deletes their widgets.
Form::~Form() { m_impl->controls.clear(); }

Object& Form::add_control(const ControlDesign& design)
{
    auto control = make_control(&m_impl->widget, design);
    if (control->is_line()) {
        static_cast<QtLine&>(*control).set_ends(design.left_twips, design.top_twips, design.width_twips,
                                                 design.height_twips);
    } else {
        control->move(design.left_twips, design.top_twips, design.width_twips, design.height_twips);
        if (!design.caption.empty())
            control->set(prop::Caption, std::string(design.caption));
        if (design.fore_colour)
            control->set(prop::ForeColor, *design.fore_colour);
    }
    control->set_tab_index(design.tab_index);
    if (!design.spoken_name.empty())
        control->set_spoken_name(design.spoken_name);
    // A control added to a window already on screen appears with it.
    control->widget()->show();
    m_impl->controls.push_back(std::move(control));
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
    m_impl->widget.setWindowIcon(QIcon(QPixmap::fromImage(draw_icon_image(icon))));
}

void save_icon_png(const Icon& icon, const std::string& path)
{
    if (!draw_icon_image(icon).save(QString::fromStdString(path), "PNG"))
        throw Error("Cannot write " + path + ".");
}

void Form::set_mouse_pointer(std::string_view control_name, const Pointer& pointer)
{
    static_cast<QtControl&>(control(control_name)).widget()->setCursor(draw_pointer(pointer));
}

void Form::show()
{
    raise(m_impl->handler(Event::Load));

    // Keyboard order follows the design's tab indexes; focus starts on the
    // first control in it.
    std::vector<QtControl*> by_tab;
    for (auto& control : m_impl->controls)
        if (control->widget()->focusPolicy() != Qt::NoFocus)
            by_tab.push_back(control.get());
    std::stable_sort(by_tab.begin(), by_tab.end(), [](QtControl* a, QtControl* b) {
        return a->tab_index() < b->tab_index();
    });
    for (std::size_t i = 1; i < by_tab.size(); ++i)
        QWidget::setTabOrder(by_tab[i - 1]->widget(), by_tab[i]->widget());

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
    const QWidget& widget = m_impl->widget;
    if (property == prop::Name)
        return m_impl->name;
    if (property == prop::Caption)
        return widget.windowTitle().toStdString();
    if (property == prop::ScaleWidth)
        return units::twips_from_px(widget.width());
    if (property == prop::ScaleHeight)
        return units::twips_from_px(widget.height());
    QRect outer = widget.frameGeometry();
    if (property == prop::Left)
        return units::twips_from_px(outer.x());
    if (property == prop::Top)
        return units::twips_from_px(outer.y());
    if (property == prop::Width)
        return units::twips_from_px(outer.width());
    if (property == prop::Height)
        return units::twips_from_px(outer.height());
    fail_missing(property);
}

void Form::set(std::string_view property, const Value& value)
{
    QWidget& widget = m_impl->widget;
    if (property == prop::Caption) {
        auto* caption = std::get_if<std::string>(&value);
        if (!caption)
            throw Error(m_impl->name + ".Caption: a text is needed.");
        widget.setWindowTitle(QString::fromStdString(*caption));
        return;
    }
    if (property == prop::Name || property == prop::ScaleWidth || property == prop::ScaleHeight)
        throw Error(m_impl->name + "." + std::string(property) + ": the property is read-only.");
    if (property != prop::Left && property != prop::Top && property != prop::Width &&
        property != prop::Height)
        fail_missing(property);

    const float* twips = std::get_if<float>(&value);
    const std::int32_t* whole = std::get_if<std::int32_t>(&value);
    if (!twips && !whole)
        throw Error(m_impl->name + "." + std::string(property) + ": a number is needed.");
    int px = units::px_from_twips(twips ? *twips : static_cast<float>(*whole));
    QRect outer = widget.frameGeometry();
    QSize frame = outer.size() - widget.size();
    if (property == prop::Left)
        widget.move(px, outer.y());
    else if (property == prop::Top)
        widget.move(outer.x(), px);
    else if (property == prop::Width && px >= frame.width())
        widget.resize(px - frame.width(), widget.height());
    else if (property == prop::Height && px >= frame.height())
        widget.resize(widget.width(), px - frame.height());
    else
        throw Error(m_impl->name + "." + std::string(property) + ": invalid property value.");
}

void Form::on(Event event, Handler handler)
{
    if (event != Event::Load && event != Event::Resize && event != Event::MouseMove)
        Object::on(event, std::move(handler));
    m_impl->handlers[event] = std::move(handler);
}

std::vector<Object*> Form::controls()
{
    std::vector<Object*> all;
    for (auto& control : m_impl->controls)
        all.push_back(control.get());
    return all;
}

}  // namespace toolkit
