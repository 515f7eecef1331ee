#include "toolkit/qt_lists.h"
#include "toolkit/qt_list_view.h"

#include <limits>

namespace toolkit {

namespace {

constexpr Property file_list_properties[] = {
    {prop::Path, get_via<&QtFileList::path>, set_via<&QtFileList::set_path>},
    {prop::ListCount, get_via<&QtFileList::list_count>, nullptr},
    {prop::ListIndex, get_via<&QtFileList::list_index>, set_via<&QtFileList::set_list_index>},
    {prop::FileName, get_via<&QtFileList::file_name>, nullptr},
    {prop::IntegralHeight, get_via<&QtFileList::integral_height>,
     set_via<&QtFileList::set_integral_height>},
};

}  // namespace

QtFileList::QtFileList(QWidget* parent, std::string_view name, std::optional<std::int32_t> index)
    : QtControl(new OpeningListView(parent), name, index),
      m_view(static_cast<QListView*>(widget())),
      m_model(new EntryListModel(m_view))
{
    m_view->setModel(m_model);
}

std::string QtFileList::path() const { return string_of(m_path); }

void QtFileList::set_path(std::string path)
{
    QByteArray target = clean_path(bytes_of(path), m_path.isEmpty() ? QByteArray("/") : m_path);
    std::vector<FolderEntry> files = read_folder(target, EntryKind::File);
    if (files.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw Error(name() + ": the folder holds too many files to list.");
    sort_by_name(files);

    std::vector<EntryListModel::Row> rows;
    rows.reserve(files.size());
    for (FolderEntry& file : files)
        rows.push_back({std::move(file.display_name), 0, {}});
    m_path = target;
    m_model->set_rows(std::move(rows));
    place();
}

std::int32_t QtFileList::list_count() const
{
    return static_cast<std::int32_t>(m_model->rows().size());
}

std::int32_t QtFileList::list_index() const
{
    QModelIndex current = m_view->currentIndex();
    if (!current.isValid() || !m_view->selectionModel()->isSelected(current))
        return -1;
    return current.row();
}

void QtFileList::set_list_index(std::int32_t index)
{
    if (index == -1) {
        m_view->selectionModel()->clear();
        return;
    }
    check_index(index);
    m_view->selectionModel()->setCurrentIndex(m_model->index(index),
                                              QItemSelectionModel::ClearAndSelect);
}

std::string QtFileList::file_name() const
{
    std::int32_t selected = list_index();
    if (selected < 0)
        return {};
    return m_model->rows()[static_cast<std::size_t>(selected)].text.toStdString();
}

void QtFileList::check_index(std::int32_t index) const
{
    if (index < 0 || index >= list_count())
        throw Error(name() + ": list index " + std::to_string(index) + " is out of range.");
}

Value QtFileList::get_at(std::string_view property, std::int32_t index) const
{
    if (property != prop::Selected)
        return QtControl::get_at(property, index);
    check_index(index);
    return m_view->selectionModel()->isSelected(m_model->index(index));
}

void QtFileList::set_at(std::string_view property, std::int32_t index, const Value& value)
{
    if (property != prop::Selected)
        return QtControl::set_at(property, index, value);
    check_index(index);
    if (value_as<bool>(*this, property, value))
        set_list_index(index);
    else
        m_view->selectionModel()->select(m_model->index(index), QItemSelectionModel::Deselect);
}

void QtFileList::set_integral_height(bool integral)
{
    m_integral_height = integral;
    place();
}

int QtFileList::drawn_height_px(int height_px) const
{
    return m_integral_height ? whole_rows_height_px(*m_view, height_px) : height_px;
}

std::span<const Property> QtFileList::own_properties() const { return file_list_properties; }

bool QtFileList::raises(Event) const { return false; }

}  // namespace toolkit
