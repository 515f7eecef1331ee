#include "toolkit/qt/folders/folder_hub.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace toolkit {

namespace {

// How long change reports are gathered before the folders are read again.
constexpr auto gathering_time = std::chrono::milliseconds(50);

}  // namespace

FolderHub::FolderHub() : m_watch([this](int watch) { watch_changed(watch); })
{
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, &m_context,
                     [this](Qt::ApplicationState state) {
                         if (state == Qt::ApplicationActive)
                             window_activated();
                     });
}

FolderHub::~FolderHub() = default;

void FolderHub::join(FolderFollower& follower) { m_followers.push_back(&follower); }

void FolderHub::leave(FolderFollower& follower)
{
    std::erase(m_followers, &follower);
    release_unless_held(follower.followed_watch());
}

bool FolderHub::holds(int watch) const
{
    return std::any_of(m_followers.begin(), m_followers.end(), [&](const FolderFollower* follower) {
        return follower->followed_watch() == watch;
    });
}

bool FolderHub::has_joined(const FolderFollower* follower) const
{
    return std::find(m_followers.begin(), m_followers.end(), follower) != m_followers.end();
}

void FolderHub::release_unless_held(int watch)
{
    if (watch >= 0 && !holds(watch))
        m_watch.release(watch);
}

void FolderHub::offer_files(const QByteArray& folder, FolderRead read)
{
    m_offered = OfferedFiles{folder, std::move(read)};
    // Once the event loop turns, the folder may have changed: read it again.
    QTimer::singleShot(0, &m_context, [this] { m_offered.reset(); });
}

std::optional<FolderRead> FolderHub::take_files(const QByteArray& folder)
{
    if (!m_offered || m_offered->folder != folder)
        return std::nullopt;
    std::optional<FolderRead> read = std::move(m_offered->read);
    m_offered.reset();
    return read;
}

void FolderHub::watch_changed(int watch)
{
    for (FolderFollower* follower : m_followers)
        if (follower->followed_watch() == watch) {
            follower->mark_stale();
            read_again_later(follower->followed_folder());
        }
}

void FolderHub::window_activated()
{
    for (FolderFollower* follower : m_followers)
        if (!follower->reports_changes() && !follower->followed_folder().isEmpty()) {
            follower->mark_stale();
            read_again_later(follower->followed_folder());
        }
}

void FolderHub::read_again_later(const QByteArray& folder)
{
    bool first = m_to_read.empty();
    m_to_read.insert(folder);
    if (!first)
        return;
    QTimer::singleShot(gathering_time, &m_context, [this] {
        QPointer<QObject> alive = &m_context;
        for (const QByteArray& each : std::exchange(m_to_read, {}))
            read_folder_later(each, watches(), [this, alive, each](FolderRead& read) {
                if (alive)
                    hand_out(each, read);
            });
    });
}

void FolderHub::hand_out(const QByteArray& folder, FolderRead& read)
{
    std::vector<FolderFollower*> showing;
    for (FolderFollower* follower : m_followers)
        if (follower->followed_folder() == folder)
            showing.push_back(follower);
    std::stable_partition(showing.begin(), showing.end(),
                          [](const FolderFollower* follower) { return follower->shows_folders(); });
    for (FolderFollower* follower : showing) {
        // An earlier list's move may have taken this one elsewhere, or away.
        if (!has_joined(follower) || follower->followed_folder() != folder)
            continue;
        if (read.error.empty())
            follower->take_change(read);
        else
            follower->lose_folder(read.error);
    }
    // A watch that no list took (each had moved on) goes back to the kernel.
    if (read.error.empty())
        release_unless_held(read.watch);
}

}  // namespace toolkit
