#include "toolkit/qt/window/folder_gestures.h"

#include "toolkit/qt/controls/qt_drive_list.h"
#include "toolkit/qt/controls/qt_folder_list.h"
#include "toolkit/qt/core/dispatch.h"
#include "toolkit/qt/core/utf8.h"
#include "toolkit/qt/desktop/pasted_text.h"
#include "toolkit/qt/folders/folder_hub.h"
#include "toolkit/qt/folders/off_thread.h"
#include "toolkit/qt/folders/raw_paths.h"

#include "toolkit/services.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <climits>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <memory>

namespace toolkit {

namespace {

// A file:// address on this machine, as the raw bytes it names: the
// percent-encoding keeps names that are not UTF-8 exact.
std::optional<QByteArray> local_path(const QUrl& address)
{
    if (!address.isValid() || address.scheme() != QLatin1String("file"))
        return std::nullopt;
    if (!address.host().isEmpty() && address.host() != QLatin1String("localhost"))
        return std::nullopt;
    QByteArray path = QByteArray::fromPercentEncoding(address.path(QUrl::FullyEncoded).toLatin1());
    if (!path.startsWith('/'))
        return std::nullopt;
    return path;
}

std::optional<QByteArray> path_in(const QString& line)
{
    if (line.startsWith(QLatin1String("file:")))
        return local_path(QUrl(line, QUrl::StrictMode));
    if (line.startsWith(QLatin1Char('/')))
        return QFile::encodeName(line);
    if (line == QLatin1String("~") || line.startsWith(QLatin1String("~/")))
        return QFile::encodeName(QDir::homePath() + line.mid(1));
    return std::nullopt;
}

// Text that is one line and no longer than the system allows a path to be:
// anything else (a pasted document, a megabyte of one line) is no path, and
// is refused before anything is asked of the disk.
std::optional<QByteArray> typed_path(const QString& text)
{
    // Even percent-encoded, a path cannot take more than three characters a byte.
    if (text.size() > 3 * PATH_MAX)
        return std::nullopt;
    QString line = text.trimmed();
    if (line.isEmpty() || line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r')))
        return std::nullopt;
    std::optional<QByteArray> path = path_in(line);
    if (path && path->size() >= PATH_MAX)
        return std::nullopt;
    return path;
}

// The drop must never ask the source to move or delete what it dragged:
// the folder is only opened, so the drop is a copy, or else a link.
bool take_as_copy(QDropEvent* drop)
{
    for (Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction})
        if (drop->possibleActions() & action) {
            drop->setDropAction(action);
            drop->accept();
            return true;
        }
    drop->ignore();
    return false;
}

// Said when a paste opens nothing.
std::string why_no_path(const Pasted& pasted)
{
    QString text = pasted.text.trimmed();
    if (pasted.outcome == Pasted::Outcome::TooLong || text.size() > 3 * PATH_MAX)
        return "Not opened: the clipboard's text is too long to be a path.";
    if (pasted.outcome != Pasted::Outcome::Read || (text.isEmpty() && pasted.addresses.isEmpty()))
        return "Nothing to paste: the clipboard holds no text.";
    if (!pasted.addresses.isEmpty() || text.contains(QLatin1String("://")))
        return "Not opened: a web address is not a folder on this computer.";
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return "Not opened: the clipboard holds more than one line.";
    return "Not opened: a folder's path starts with / or ~/.";
}

}  // namespace

std::optional<QByteArray> carried_path(const QMimeData& data, bool text_too)
{
    if (data.hasUrls()) {
        for (const QUrl& address : data.urls())
            if (std::optional<QByteArray> path = local_path(address))
                return path;
        return std::nullopt;
    }
    if (text_too && data.hasText())
        return typed_path(data.text());
    return std::nullopt;
}

std::optional<QByteArray> pasted_path(const Pasted& pasted)
{
    if (pasted.outcome != Pasted::Outcome::Read)
        return std::nullopt;
    QMimeData data;
    if (!pasted.addresses.isEmpty())
        data.setUrls(pasted.addresses);
    else
        data.setText(pasted.text);
    return carried_path(data, true);
}

FolderGestures::FolderGestures(QWidget* window, FolderHub& hub, QtFolderList& folders,
                               QtDriveList* drives, std::vector<QWidget*> paste_targets)
    : QObject(window), m_window(window), m_hub(hub), m_folders(folders), m_drives(drives),
      m_paste_targets(std::move(paste_targets))
{
    window->setAcceptDrops(true);
    QApplication::instance()->installEventFilter(this);
}

bool FolderGestures::eventFilter(QObject* receiver, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget || widget->window() != m_window)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        // Anything else goes on: the text box's editor takes dragged text.
        if (!carried_path(*drag->mimeData(), false))
            return false;
        take_as_copy(drag);
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        std::optional<QByteArray> path = carried_path(*drop->mimeData(), false);
        if (!path)
            return false;
        if (take_as_copy(drop)) {
            Errand errand = Turns::instance().begin();
            // Not inside the drop's own delivery: the source waits for it.
            QTimer::singleShot(0, this, [this, path = *path, errand] { open(path, errand); });
        }
        return true;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->matches(QKeySequence::Paste))
            return false;
        bool in_list =
            std::any_of(m_paste_targets.begin(), m_paste_targets.end(), [&](QWidget* target) {
                return target == widget || target->isAncestorOf(widget);
            });
        if (!in_list)
            return false;
        paste();
        return true;
    }
    default: return false;
    }
}

void FolderGestures::paste()
{
    Errand errand = Turns::instance().begin();
    read_pasted(this, [this, errand](const Pasted& pasted) {
        if (!Turns::instance().is_out(errand))
            return;
        if (pasted.outcome == Pasted::Outcome::NoAnswer) {
            Turns::instance().finish(errand, [] {
                show_message("The program that holds the clipboard did not answer.");
            });
            return;
        }
        std::optional<QByteArray> path = pasted_path(pasted);
        if (!path) {
            // Nothing opens, and nothing on screen says so: a screen reader does.
            Turns::instance().finish(errand, [&] { announce(why_no_path(pasted)); });
            return;
        }
        open(*path, errand);
    });
}

void FolderGestures::open(const QByteArray& path, Errand errand)
{
    // Whether it is a file is asked off the window's thread, as any question
    // to a disk that may be slow. A path asked of again while its question
    // is still out (pasted again on a hung share) joins that question
    // instead of leaving one more thread stuck in the kernel.
    auto [asking, first] = m_questions_out.try_emplace(path);
    asking->second.push_back(errand);
    if (!first)
        return;
    auto is_file = std::make_shared<std::atomic<bool>>(false);
    run_off_thread(
        [is_file, path] {
            struct stat status { };
            *is_file = ::stat(path.constData(), &status) == 0 && !S_ISDIR(status.st_mode);
        },
        this,
        [this, is_file, path] {
            auto asked = m_questions_out.extract(path);
            for (Errand errand : asked.mapped())
                if (Turns::instance().is_out(errand))
                    open_folder(*is_file ? clean_path(path + "/..", "/") : path, errand);
        });
}

void FolderGestures::open_folder(const QByteArray& folder, Errand errand)
{
    m_hub.read(folder, [this, folder, errand](FolderRead read) {
        int watch = read.watch;
        Turns::instance().finish(errand, [&] {
            m_hub.offer(folder, std::move(read));
            dispatch([&] {
                m_folders.set(prop::Path, string_of(folder));
                if (m_drives)
                    m_drives->show_volume_of(bytes_of(get_text(m_folders, prop::Path)));
            });
        });
        m_hub.release_unless_held(watch);
    });
}

}  // namespace toolkit
