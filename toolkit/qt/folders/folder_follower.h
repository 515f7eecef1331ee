// What a list that shows a folder is to the window's `FolderHub`: the folder
// it shows, the watch it holds, and what it does when the folder changes or
// goes away.
#pragma once

#include "toolkit/qt/folders/folder_source.h"

#include <QByteArray>

#include <string>

namespace toolkit {

class FolderFollower {
public:
    // The folder shown, raw bytes; empty before the first.
    virtual const QByteArray& followed_folder() const = 0;
    // The watch taken with the folder's last read; -1 for none.
    virtual int followed_watch() const = 0;
    // Whether that folder's file system reports changes to the kernel.
    virtual bool reports_changes() const = 0;
    // The entries shown may be out of date: a change was reported or the
    // file system cannot report one.
    virtual void mark_stale() = 0;
    // Followers that show folders hear of a change first, so that when the
    // folder has vanished, the others have a folder to follow already.
    virtual bool shows_folders() const = 0;
    // The folder changed; `read` holds its entries now, with its watch.
    virtual void take_change(const FolderRead& read) = 0;
    // The folder can no longer be read, for the reason given.
    virtual void lose_folder(const std::string& error) = 0;

protected:
    ~FolderFollower() = default;
};

}  // namespace toolkit
