#include "toolkit/services.h"

#include "toolkit/qt/core/announce.h"
#include "toolkit/qt/core/replaceable.h"
#include "toolkit/qt/core/turns.h"
#include "toolkit/qt/core/utf8.h"
#include "toolkit/qt/desktop/clipboard_handoff.h"
#include "toolkit/qt/desktop/copied_text.h"

#include "toolkit/testing.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QWidget>

#include <QUrl>
#include <algorithm>
#include <cassert>
#include <deque>

namespace toolkit {

namespace {

// Lines too wide for the screen (a long path) lose their middle, so the box
// and its button always fit.
QString fitted(const QString& text, QWidget* over)
{
    QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen();
    int widest_px = screen ? screen->availableGeometry().width() * 2 / 3 : 800;
    QFontMetrics metrics(QApplication::font("QMessageBox"));
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = metrics.elidedText(line, Qt::ElideMiddle, widest_px);
    return lines.join(QLatin1Char('\n'));
}

// Window-modal and never waited for: the answer continues the work. One box
// is up at a time; the others wait for it.
class MessageBoxes {
public:
    void show(const std::string& text, std::function<void()> then)
    {
        m_waiting.push_back({text, std::move(then)});
        if (!m_up)
            show_next();
    }

private:
    void show_next()
    {
        if (m_waiting.empty())
            return;
        Message message = std::move(m_waiting.front());
        m_waiting.pop_front();
        QWidget* over = QApplication::activeWindow();
        QString whole = qt_text(message.text);
        QString shown = fitted(whole, over);
        auto* box = new QMessageBox(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                                    shown, QMessageBox::Ok, over);
        // What lost its middle to fit is there whole, to read and copy.
        if (shown != whole)
            box->setDetailedText(whole);
        box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(over ? Qt::WindowModal : Qt::ApplicationModal);
        // Deferred work waits its turn behind the box.
        Errand errand = Turns::instance().begin();
        m_up = true;
        QObject::connect(box, &QDialog::finished, box, [this, errand, then = message.then] {
            m_up = false;
            Turns::instance().finish(errand, [&] {
                if (then)
                    then();
            });
            show_next();
        });
        box->open();
    }

    struct Message {
        std::string text;
        std::function<void()> then;
    };
    std::deque<Message> m_waiting;
    bool m_up = false;
};

bool open_with_desktop(const std::string& address)
{
    // The address goes to the desktop's opener as one argument; no shell
    // ever parses it.
    return QDesktopServices::openUrl(QUrl(qt_text(address), QUrl::StrictMode));
}

void end_now()
{
    // The windows go at once, whatever work is still out. The event loop
    // runs on only while a clipboard manager takes the copied text; then it
    // returns, and the process ends without waiting for the work still out
    // (see `Application::run`). Hiding sends no Close event that could come
    // back.
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    hand_clipboard_over([] { QCoreApplication::exit(0); });
}

// A test's hook stands for a box dismissed at once.
void no_box(const std::string&) { }
Replaceable<MessageBoxHook> message_box{no_box};
Replaceable<OpenerHook> opener{open_with_desktop};
Replaceable<ProgramEndHook> program_end{end_now};

}  // namespace

void clear_clipboard() { QGuiApplication::clipboard()->clear(); }

void put_clipboard_text(std::string_view utf8_text)
{
    QGuiApplication::clipboard()->setMimeData(new CopiedText(utf8_text));
}

class ClipboardText {
public:
    QByteArray bytes;
};

struct ClipboardWriter::Storage {
    QByteArray bytes;
};

ClipboardWriter::ClipboardWriter(std::size_t expected) : m_storage(std::make_unique<Storage>())
{
    m_storage->bytes = QByteArray(static_cast<qsizetype>(expected), Qt::Uninitialized);
    m_at = m_storage->bytes.data();
    m_end = m_at + expected;
}

ClipboardWriter::~ClipboardWriter() = default;

void ClipboardWriter::grow(std::size_t more)
{
    QByteArray& bytes = m_storage->bytes;
    auto used = static_cast<qsizetype>(m_at - bytes.data());
    bytes.resize(std::max(bytes.size() * 2, used + static_cast<qsizetype>(more)));
    m_at = bytes.data() + used;
    m_end = bytes.data() + bytes.size();
}

std::string_view ClipboardWriter::written() const
{
    return {m_storage->bytes.constData(),
            static_cast<std::size_t>(m_at - m_storage->bytes.constData())};
}

std::shared_ptr<const ClipboardText> ClipboardWriter::finish() &&
{
    assert(is_valid_utf8(written()));
    QByteArray& bytes = m_storage->bytes;
    bytes.truncate(m_at - bytes.constData());
    m_at = m_end = nullptr;
    return std::make_shared<ClipboardText>(ClipboardText{std::move(bytes)});
}

void put_clipboard_text(const ClipboardText& text)
{
    QGuiApplication::clipboard()->setMimeData(new CopiedText(text.bytes, true));
}

std::string clipboard_text()
{
    // After clear() the clipboard may hold no data at all.
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return {};
    return utf8_of(data->text());
}

void show_message(std::string_view text, std::function<void()> then)
{
    if (!message_box.is_replaced()) {
        static MessageBoxes boxes;
        boxes.show(std::string(text), std::move(then));
        return;
    }
    message_box()(std::string(text));
    if (then)
        then();
}

void announce(std::string_view text)
{
    QWidget* window = QApplication::activeWindow();
    if (!window && !QApplication::topLevelWidgets().isEmpty())
        window = QApplication::topLevelWidgets().front();
    announce(window, qt_text(text));
}

std::string counted(std::int64_t count, std::string_view one, std::string_view many)
{
    if (count == 0)
        return "No " + std::string(many);
    return utf8_of(QLocale(QLocale::English).toString(static_cast<qlonglong>(count))) + ' ' +
        std::string(count == 1 ? one : many);
}

bool open_address(std::string_view address) { return opener()(std::string(address)); }

void end_program() { program_end()(); }

std::string system_root() { return "/"; }

MessageBoxHook replace_message_box(MessageBoxHook hook)
{
    return message_box.replace(std::move(hook));
}

OpenerHook replace_opener(OpenerHook hook) { return opener.replace(std::move(hook)); }

ProgramEndHook replace_program_end(ProgramEndHook hook)
{
    return program_end.replace(std::move(hook));
}

}  // namespace toolkit
