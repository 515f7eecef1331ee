#include "toolkit/qt/folders/folder_hub.h"

#include "toolkit/qt/core/turns.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace toolkit {

namespace {

// How long change reports are gathered before the folders are read again.
constexpr auto gathering_time = std::chrono::milliseconds(50);

// How often a folder on a file system without change reports is read again
// while the window is active. Each read is compared on its own thread with
// what is shown, so an unchanged folder costs the window nothing.
constexpr auto poll_time = std::chrono::seconds(2);

}  // namespace

FolderHub::FolderHub()
    : m_watch([this](int watch, FolderChange change) { watch_changed(watch, std::move(change)); })
{
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, &m_context,
                     [this](Qt::ApplicationState state) {
                         if (state == Qt::ApplicationActive) {
                             read_shown_again(false);
                             m_poll.start();
                         } else {
                             m_poll.stop();
                         }
                     });
    m_poll.setInterval(poll_time);
    QObject::connect(&m_poll, &QTimer::timeout, &m_context, [this] { read_shown_again(false); });
    if (qGuiApp->applicationState() == Qt::ApplicationActive)
        m_poll.start();

    // The kernel marks the mount table changed: a folder shown may have been
    // unmounted, lazily or not, or mounted over.
    int table = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (table >= 0) {
        m_mounts = std::make_unique<QSocketNotifier>(table, QSocketNotifier::Exception);
        QObject::connect(m_mounts.get(), &QSocketNotifier::activated, &m_context,
                         [this] { read_shown_again(true); });
    }
}

FolderHub::~FolderHub()
{
    if (!m_mounts)
        return;
    auto table = static_cast<int>(m_mounts->socket());
    m_mounts.reset();
    ::close(table);
}

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
    if (watch < 0 || holds(watch))
        return;
    m_watch.release(watch);
    // Nobody follows that folder any more: its entries go too.
    std::erase_if(m_known, [&](const auto& known) { return known.second.watch == watch; });
}

void FolderHub::read(const QByteArray& folder, ReadDone done)
{
    auto [out, first] = m_out.try_emplace(folder);
    out->second.push_back(std::move(done));
    if (!first)
        return;
    start_folder_read(folder, watches(), &m_context,
                      [this, folder](FolderRead read) { read_done(folder, std::move(read)); });
}

void FolderHub::read_done(const QByteArray& folder, FolderRead read)
{
    if (read.error.empty() && read.watch >= 0)
        m_known.insert_or_assign(folder, read);
    else
        m_known.erase(folder);
    auto out = m_out.find(folder);
    std::vector<ReadDone> waiting = std::move(out->second);
    m_out.erase(out);
    // Each waiter gives the watch back to the kernel if it is not taken.
    for (std::size_t at = 0; at < waiting.size(); ++at)
        waiting[at](at + 1 == waiting.size() ? std::move(read) : read);
    if (auto changed = m_changed_while_out.extract(folder))
        read_again_later(folder, std::move(changed.mapped()));
}

void FolderHub::offer(const QByteArray& folder, FolderRead read)
{
    m_offered = OfferedRead{folder, std::move(read)};
    // Once the event loop turns, the folder may have changed: read it again.
    QTimer::singleShot(0, &m_context, [this] {
        if (m_offered)
            release_unless_held(m_offered->read.watch);
        m_offered.reset();
    });
}

std::optional<FolderRead> FolderHub::take(const QByteArray& folder)
{
    if (!m_offered || m_offered->folder != folder)
        return std::nullopt;
    std::optional<FolderRead> read = std::move(m_offered->read);
    m_offered.reset();
    return read;
}

void FolderHub::fill(const QByteArray& folder) { refresh(folder, FolderChange::everything()); }

void FolderHub::refresh(const QByteArray& folder, FolderChange change)
{
    auto hand = [this, folder](FolderRead read) {
        Turns::instance().take([this, folder, read = std::move(read)] { hand_out(folder, read); });
    };
    auto known = m_known.find(folder);
    if (change.whole || known == m_known.end() || m_out.contains(folder)) {
        read(folder, std::move(hand));
        return;
    }
    m_out[folder].push_back(std::move(hand));
    start_folder_update(folder, known->second, std::move(change.names), watches(), &m_context,
                        [this, folder](FolderRead read) { read_done(folder, std::move(read)); });
}

void FolderHub::watch_changed(int watch, FolderChange change)
{
    for (FolderFollower* follower : m_followers)
        if (watch < 0 || follower->followed_watch() == watch) {
            follower->mark_stale();
            read_again_later(follower->followed_folder(),
                             watch < 0 ? FolderChange::everything() : change);
        }
}

namespace {

// More names than this in one batch are read whole: one read costs less.
constexpr std::size_t most_names = 1 << 16;

void gather(std::map<QByteArray, FolderChange>& changes, const QByteArray& folder,
            FolderChange change)
{
    FolderChange& gathered = changes[folder];
    gathered.whole = gathered.whole || change.whole;
    if (!gathered.whole)
        gathered.names.merge(change.names);
    if (gathered.whole || gathered.names.size() > most_names) {
        gathered.whole = true;
        gathered.names.clear();
    }
}

}  // namespace

void FolderHub::read_shown_again(bool all)
{
    // A read out when a mount changed may have read what is no longer
    // there: whoever takes it gets the folder read again after it.
    if (all)
        for (const auto& [folder, waiting] : m_out)
            gather(m_changed_while_out, folder, FolderChange::everything());
    for (FolderFollower* follower : m_followers)
        // A folder without reports that is being read will be up to date:
        // only a mount or unmount can make a read out wrong.
        if ((all ||
             (!follower->reports_changes() && !m_out.contains(follower->followed_folder()))) &&
            !follower->followed_folder().isEmpty()) {
            follower->mark_stale();
            read_again_later(follower->followed_folder());
        }
}

void FolderHub::read_again_later(const QByteArray& folder, FolderChange change)
{
    // A read out now may have started before the change: one more follows it.
    if (m_out.contains(folder)) {
        gather(m_changed_while_out, folder, std::move(change));
        return;
    }
    bool first = m_to_read.empty();
    gather(m_to_read, folder, std::move(change));
    if (!first)
        return;
    QTimer::singleShot(gathering_time, &m_context, [this] {
        for (auto& [each, change] : std::exchange(m_to_read, {}))
            if (!m_out.contains(each))
                refresh(each, std::move(change));
            else
                gather(m_changed_while_out, each, std::move(change));
    });
}

void FolderHub::hand_out(const QByteArray& folder, const FolderRead& read)
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
    release_unless_held(read.watch);
}

}  // namespace toolkit
