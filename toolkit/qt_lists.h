// The drive, folder and file lists: the program's only view of the file
// system.
//
// Paths cross this boundary as the file system's raw bytes, so a folder whose
// name is not valid UTF-8 can be shown and opened again. A file name read
// through `FileName` is display text: UTF-8 with U+FFFD for invalid bytes.
#pragma once

#include "toolkit/qt_control.h"
#include "toolkit/qt_folder_reader.h"

class QComboBox;
class QListView;

namespace toolkit {

class EntryListModel;

class QtDriveList final : public QtControl {
public:
    QtDriveList(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);

    std::string drive() const;
    void set_drive(std::string drive);
    // Reads the mounted volumes again, keeping the selected one.
    void refresh();
    // On Linux a combo box's own accessible name is its current text, so
    // the name reaches a screen reader as a label for the list.
    void set_spoken_name(std::string_view name) override;

protected:
    std::span<const Property> own_properties() const override;
    bool raises(Event event) const override;

private:
    QComboBox* m_combo;
};

// What the folder and file lists share: a view of rows that, while
// IntegralHeight holds, is drawn only as high as its whole rows.
class QtRowList : public QtControl {
public:
    QtRowList(QListView* view, std::string_view name, std::optional<std::int32_t> index);

    bool integral_height() const { return m_integral_height; }
    void set_integral_height(bool integral);
    // The folder listed, as raw bytes.
    std::string path() const { return string_of(m_path); }

protected:
    int drawn_height_px(int height_px) const override;
    // A path as given, made absolute from the one listed now and clean.
    QByteArray resolve(const std::string& path) const;

    QListView* m_view;
    EntryListModel* m_model;
    QByteArray m_path;

private:
    bool m_integral_height = true;
};

class QtFolderList final : public QtRowList {
public:
    QtFolderList(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);

    // Fails, changing nothing, when the folder cannot be listed; raises
    // Change when the path is another one.
    void set_path(std::string path);
    // The highlighted entry's folder, opened as the user asked.
    void open_highlighted();

protected:
    std::span<const Property> own_properties() const override;
    bool raises(Event event) const override;

private:
    std::vector<QByteArray> m_entry_paths;
};

class QtFileList final : public QtRowList {
public:
    QtFileList(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);

    void set_path(std::string path);
    std::int32_t list_count() const;
    std::int32_t list_index() const;
    void set_list_index(std::int32_t index);
    std::string file_name() const;

    Value get_at(std::string_view property, std::int32_t index) const override;
    void set_at(std::string_view property, std::int32_t index, const Value& value) override;

protected:
    std::span<const Property> own_properties() const override;
    bool raises(Event event) const override;

private:
    void check_index(std::int32_t index) const;
    // Shows the selected entry once control returns to the event loop.
    void show_selection_later();
    void show_selection();

    // The selected entry, -1 for none. The list keeps it itself: stepping
    // the view's selection through a million entries would cost more than
    // everything else the scan does, and no one sees the steps between.
    std::int32_t m_selected = -1;
    bool m_showing_later = false;
    bool m_showing = false;
};

// Lexically absolute and clean: no empty, "." or ".." parts. A relative path
// is taken from `base`.
QByteArray clean_path(const QByteArray& path, const QByteArray& base);

}  // namespace toolkit
