#include "toolkit/qt/controls/qt_file_list.h"

#include "toolkit/qt/controls/file_list_model.h"
#include "toolkit/qt/controls/opening_list_view.h"
#include "toolkit/qt/core/property_table.h"
#include "toolkit/qt/core/utf8.h"
#include "toolkit/qt/folders/folder_reader.h"
#include "toolkit/services.h"

#include <limits>

namespace toolkit {

namespace {

constexpr Property file_list_properties[] = {
    {prop::Path, get_via<&QtRowList::path>, set_via<&QtFileList::set_path>},
    {prop::ListCount, get_via<&QtFileList::list_count>, nullptr},
    {prop::ListIndex, get_via<&QtFileList::list_index>, set_via<&QtFileList::set_list_index>},
    {prop::FileName, get_via<&QtFileList::file_name>, nullptr},
    {prop::IntegralHeight, get_via<&QtRowList::integral_height>,
     set_via<&QtRowList::set_integral_height>},
};

}  // namespace

QtFileList::QtFileList(QWidget* parent, FolderHub& folders, std::string_view name,
                       std::optional<std::int32_t> index)
    : QtRowList(new OpeningListView(parent), folders, name, index, {}),
      m_model(new FileListModel(m_view))
{
    m_view->setModel(m_model);
    // What the user selects becomes the selected entry.
    QObject::connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, m_view,
                     [this](const QModelIndex& current) {
                         if (!m_showing)
                             m_selected = current.isValid() ? current.row() : -1;
                     });
}

void QtFileList::set_path(std::string path)
{
    QByteArray target = resolve(path);
    // Another folder is said once its files are known.
    m_announce_next = m_announce_next || target != m_path;
    if (!is_current(target) && !is_awaiting(target)) {
        if (std::optional<FolderRead> listed = take_read(target)) {
            if (listed->files->size() >
                static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
                throw Error(name() + ": the folder holds too many files to list.");
            m_path = target;
            follow(*listed);
            show(listed->files);
            announce_folder();
        } else {
            // Nothing read: the list shows nothing until it is.
            show(std::make_shared<OrderedNames>());
            await(target);
        }
    }
    m_selected = -1;
    show_selection_later();
}

void QtFileList::show(std::shared_ptr<const OrderedNames> files)
{
    m_model->set_names(std::move(files));
    place();
}

void QtFileList::announce_folder()
{
    if (!m_announce_next)
        return;
    m_announce_next = false;
    qsizetype slash = m_path.lastIndexOf('/');
    QByteArray last = slash >= 0 && slash + 1 < m_path.size() ? m_path.mid(slash + 1) : m_path;
    std::string folder = utf8_of(
        shown_name(std::string_view(last.constData(), static_cast<std::size_t>(last.size()))));
    toolkit::announce(folder + ": " +
                      counted(static_cast<std::int64_t>(m_model->size()), "file", "files"));
}

const OrderedNames& QtFileList::shown_part(const FolderRead& read) const { return *read.files; }

void QtFileList::show_change(const FolderRead& read)
{
    std::optional<std::string> selected;
    if (m_selected >= 0)
        selected = std::string(m_model->raw(static_cast<std::size_t>(m_selected)));
    show(read.files);
    announce_folder();
    // The entry selected stays selected while it exists.
    m_selected = -1;
    if (selected)
        for (std::size_t row = 0; row < m_model->size(); ++row)
            if (m_model->raw(row) == *selected) {
                m_selected = static_cast<std::int32_t>(row);
                break;
            }
    show_selection_later();
}

void QtFileList::lose_folder(const std::string&)
{
    // A folder that is gone holds no files; the folder list, where it shows
    // the same folder, has told the user already.
    show(std::make_shared<OrderedNames>());
    m_selected = -1;
    show_selection_later();
}

std::int32_t QtFileList::list_count() const { return static_cast<std::int32_t>(m_model->size()); }

void QtFileList::set_list_index(std::int32_t index)
{
    if (index != -1)
        check_index(index);
    m_selected = index;
    show_selection_later();
}

void QtFileList::show_selection_later()
{
    if (m_showing_later)
        return;
    m_showing_later = true;
    QMetaObject::invokeMethod(
        m_view, [this] { show_selection(); }, Qt::QueuedConnection);
}

void QtFileList::show_selection()
{
    m_showing_later = false;
    m_showing = true;
    QItemSelectionModel* selection = m_view->selectionModel();
    if (m_selected < 0) {
        selection->clear();
    } else {
        QModelIndex selected = m_model->index(m_selected);
        selection->setCurrentIndex(selected, QItemSelectionModel::ClearAndSelect);
        m_view->scrollTo(selected);
    }
    m_showing = false;
}

std::string QtFileList::file_name() const
{
    if (m_selected < 0)
        return {};
    std::string_view raw = m_model->raw(static_cast<std::size_t>(m_selected));
    // A scan reads every name: where all are UTF-8, none need checking.
    return m_model->names().all_utf8 ? std::string(raw) : display_text(raw);
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
    return index == m_selected;
}

void QtFileList::set_at(std::string_view property, std::int32_t index, const Value& value)
{
    if (property != prop::Selected)
        return QtControl::set_at(property, index, value);
    check_index(index);
    if (value_for<bool>(*this, property, value))
        set_list_index(index);
    else if (index == m_selected)
        set_list_index(-1);
}

std::span<const Property> QtFileList::own_properties() const { return file_list_properties; }

namespace {

class FileListNames final : public ListedNames {
public:
    FileListNames(std::shared_ptr<const OrderedNames> names, QByteArray folder)
        : m_names(std::move(names)), m_folder(std::move(folder))
    {
    }
    std::size_t size() const override { return m_names->size(); }
    std::string_view folder() const override
    {
        return {m_folder.constData(), static_cast<std::size_t>(m_folder.size())};
    }
    std::string_view raw(std::size_t place) const override { return m_names->at(place); }
    std::string_view name(std::size_t place, std::string& scratch) const override
    {
        std::string_view raw = m_names->at(place);
        if (m_names->all_utf8)
            return raw;
        scratch = display_text(raw);
        return scratch;
    }
    bool all_utf8() const override { return m_names->all_utf8; }
    std::string_view all_raw() const override { return m_names->names.bytes(); }
    std::span<const std::uint32_t> raw_ends() const override { return m_names->names.ends(); }

private:
    std::shared_ptr<const OrderedNames> m_names;
    QByteArray m_folder;
};

}  // namespace

std::shared_ptr<const ListedNames> QtFileList::listed_names() const
{
    return std::make_shared<FileListNames>(m_model->shared_names(), m_path);
}

std::shared_ptr<const ListedNames> listed_names(Object& file_list)
{
    auto* list = dynamic_cast<QtFileList*>(&file_list);
    if (!list)
        throw Error("Only a file list lists names.");
    return list->listed_names();
}

}  // namespace toolkit
