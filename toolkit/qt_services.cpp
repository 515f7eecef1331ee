#include "toolkit/services.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace toolkit {

namespace {

QString qt_text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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

MessageBoxHook& message_box_hook()
{
    static MessageBoxHook hook = show_message_box;
    return hook;
}

OpenerHook& opener_hook()
{
    static OpenerHook hook = open_with_desktop;
    return hook;
}

ProgramEndHook& program_end_hook()
{
    static ProgramEndHook hook = end_now;
    return hook;
}

}  // namespace

void clear_clipboard()
{
    QGuiApplication::clipboard()->clear();
}

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
    return data->text().toStdString();
}

void show_message(std::string_view text) { message_box_hook()(std::string(text)); }

bool open_address(std::string_view address) { return opener_hook()(std::string(address)); }

void end_program() { program_end_hook()(); }

std::string system_root() { return "/"; }

MessageBoxHook replace_message_box(MessageBoxHook hook)
{
    return std::exchange(message_box_hook(), hook ? std::move(hook) : show_message_box);
}

OpenerHook replace_opener(OpenerHook hook)
{
    return std::exchange(opener_hook(), hook ? std::move(hook) : open_with_desktop);
}

ProgramEndHook replace_program_end(ProgramEndHook hook)
{
    return std::exchange(program_end_hook(), hook ? std::move(hook) : end_now);
}

}  // namespace toolkit
