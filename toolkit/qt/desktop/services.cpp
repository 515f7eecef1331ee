#include "toolkit/services.h"

#include "toolkit/qt/core/replaceable.h"
#include "toolkit/qt/core/utf8.h"

#include "toolkit/testing.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

namespace toolkit {

namespace {

void show_message_box(const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), qt_text(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool open_with_desktop(const std::string& address)
{
    // The address goes to the desktop's opener as one argument; no shell
    // ever parses it.
    return QDesktopServices::openUrl(QUrl(qt_text(address), QUrl::StrictMode));
}

void end_now()
{
    // Closing the windows first keeps any further event from reaching a
    // handler; the event loop then returns and the program ends.
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

Replaceable<MessageBoxHook> message_box{show_message_box};
Replaceable<OpenerHook> opener{open_with_desktop};
Replaceable<ProgramEndHook> program_end{end_now};

}  // namespace

void clear_clipboard() { QGuiApplication::clipboard()->clear(); }

void put_clipboard_text(std::string_view utf8_text)
{
    QGuiApplication::clipboard()->setText(qt_text(utf8_text));
}

std::string clipboard_text()
{
    // After clear() the clipboard may hold no data at all.
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return {};
    return utf8_of(data->text());
}

void show_message(std::string_view text) { message_box()(std::string(text)); }

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
