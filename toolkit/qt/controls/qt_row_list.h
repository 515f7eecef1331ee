// What the folder and file lists share: a view of rows over a folder, which
// while IntegralHeight holds is drawn only as high as its whole rows, and
// which follows its folder live.
//
// Following: each read sets a kernel watch on the folder, and the list
// follows it through the window's `FolderHub`, which reads it again when it
// changes. The list takes the new entries in one step, keeping its
// highlight; a change is not a folder change and raises no event. A folder
// that can no longer be read has vanished: the list says so its own way (the
// folder list moves to the nearest ancestor that still exists).
//
// Paths cross this boundary as the file system's raw bytes, so a folder whose
// name is not valid UTF-8 can be shown and opened again.
#pragma once

#include "toolkit/qt/core/qt_control.h"
#include "toolkit/qt/folders/folder_follower.h"
#include "toolkit/qt/folders/folder_hub.h"

#include <QByteArray>

#include <optional>

class QListView;

namespace toolkit {

class QtRowList : public QtControl, public FolderFollower {
public:
    QtRowList(QListView* view, FolderHub& folders, std::string_view name,
              std::optional<std::int32_t> index, std::initializer_list<Event> raised);
    ~QtRowList() override;

    bool integral_height() const { return m_integral_height; }
    void set_integral_height(bool integral);
    // The folder listed, as raw bytes.
    std::string path() const;
    // A list must show one whole row.
    QSize smallest_usable_px() const override;
    void set_context_menu(const Menu& menu) override;
    void open_context_menu() override;

protected:
    int drawn_height_px(int height_px) const override;
    // A path as given, made absolute from the one listed now and clean.
    QByteArray resolve(const std::string& path) const;

    // The read a gesture made of `folder` and committed, if it is there to
    // take; throws `Error` when that read found the folder cannot be listed.
    std::optional<FolderRead> take_read(const QByteArray& folder);
    // Whether `folder` is the one listed and the list is known to hold its
    // entries as they are now, so that reading it again would change nothing.
    bool is_current(const QByteArray& folder) const;
    // Whether the list was pointed at `folder` and waits for its entries.
    bool is_awaiting(const QByteArray& folder) const { return folder == m_path && !m_shown; }
    // Takes the watch of a read of the folder now listed, and the entries
    // it found as the ones shown.
    void follow(const FolderRead& read);
    // Points the list at a folder not read yet: it shows its entries once
    // they are read.
    void await(const QByteArray& folder);

    // The folder listed changed; `read` holds its entries now.
    virtual void show_change(const FolderRead& read) = 0;
    // The part of a read this list shows: a change elsewhere costs it nothing.
    virtual const OrderedNames& shown_part(const FolderRead& read) const = 0;

    FolderHub& m_folders;
    QListView* m_view;
    QByteArray m_path;

private:
    const QByteArray& followed_folder() const final { return m_path; }
    int followed_watch() const final { return m_watch; }
    bool reports_changes() const final { return m_reports_changes; }
    void mark_stale() final { m_stale = true; }
    void take_change(const FolderRead& read) final;

    void show_menu(QPoint at);

    std::optional<Menu> m_menu;
    bool m_integral_height = true;
    int m_watch = -1;
    bool m_reports_changes = false;
    bool m_stale = false;
    // What the entries shown were read as; nothing while the list waits for them.
    std::optional<std::size_t> m_shown;
};

}  // namespace toolkit
