#include "toolkit/qt/controls/qt_drive_list.h"

#include "toolkit/qt/core/accessible_factory.h"
#include "toolkit/qt/core/dispatch.h"
#include "toolkit/qt/core/turns.h"
#include "toolkit/qt/core/utf8.h"
#include "toolkit/qt/folders/folder_hub.h"
#include "toolkit/qt/folders/off_thread.h"

#include "toolkit/services.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>

namespace toolkit {

namespace {

constexpr Property drive_list_properties[] = {
    {prop::Drive, get_via<&QtDriveList::drive>, set_via<&QtDriveList::set_drive>},
};

class DriveCombo final : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> before_popup;

    void showPopup() override
    {
        if (before_popup)
            before_popup();
        QComboBox::showPopup();
    }
};

// Qt on Linux names a combo box by its current text; a screen reader should
// say "Drives", then the volume shown, which it reads as the combo box's
// text or as the popup's selected row. The popup's list is its one child,
// as in Qt's own.
class DriveComboAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DriveComboAccessible(DriveCombo* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox), m_combo(combo)
    {
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return m_combo->currentText();
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = m_combo->view()->isVisible();
        return state;
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(m_combo->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == m_combo->view() ? 0 : -1;
    }
    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << showMenuAction() << pressAction();
    }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            m_combo->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

    // The volume shown, as a text that cannot be edited or selected.
    int characterCount() const override { return static_cast<int>(m_combo->currentText().size()); }
    QString text(int start, int end) const override
    {
        return m_combo->currentText().mid(start, end - start);
    }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override { }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override { }
    void removeSelection(int) override { }
    void setSelection(int, int, int) override { }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override { }
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    DriveCombo* m_combo;
};

QAccessibleInterface* drive_combo_accessible(const QString&, QObject* object)
{
    auto* combo = dynamic_cast<DriveCombo*>(object);
    return combo ? new DriveComboAccessible(combo) : nullptr;
}

}  // namespace

QtDriveList::QtDriveList(QWidget* parent, FolderHub& folders, std::string_view name,
                         std::optional<std::int32_t> index)
    : QtControl(new DriveCombo(parent), name, index, {Event::Change}),
      m_combo(static_cast<QComboBox*>(widget())), m_folders(folders)
{
    install_accessible_factory<drive_combo_accessible>();
    static_cast<DriveCombo*>(m_combo)->before_popup = [this] { refresh(); };
    refresh();
    // The list starts on the volume that holds the working folder.
    show_volume_of(QFile::encodeName(QDir::currentPath()));
    QObject::connect(m_combo, &QComboBox::currentIndexChanged, &m_context, [this] { picked(); });
}

QtDriveList::~QtDriveList() = default;

void QtDriveList::refresh()
{
    std::vector<Volume> volumes = mounted_volumes();
    QByteArray selected = m_combo->currentData().toByteArray();
    {
        QSignalBlocker quiet(m_combo);
        m_combo->clear();
        for (const Volume& volume : volumes) {
            auto answer = m_answers.find(volume.root);
            if (answer != m_answers.end() && !answer->second)
                continue;  // No drive.
            bool answered = answer != m_answers.end();
            m_combo->addItem(qt_text(answered ? *answer->second : volume.label),
                             bytes_of(volume.root));
        }
        // A volume gone since it was picked stays listed, so what the user
        // picked is still what the list shows; choosing it again fails as
        // any drive does that cannot be read.
        if (!selected.isEmpty() && m_combo->findData(selected) < 0)
            m_combo->addItem(display_path(selected), selected);
        if (!selected.isEmpty())
            m_combo->setCurrentIndex(m_combo->findData(selected));
    }
    mark_shown();
    // Taken now, on the window's thread: the threads ask this very question
    // even if the program's is replaced meanwhile.
    VolumeQuestion question = volume_label_question();
    for (const Volume& volume : volumes) {
        if (!m_asking.insert(volume.root).second)
            continue;  // Still asked from an earlier open: one question is enough.
        auto answer = std::make_shared<std::optional<std::string>>();
        run_off_thread([answer, question, volume] { *answer = question(volume); }, &m_context,
                       [this, answer, root = volume.root] {
                           m_asking.erase(root);
                           take_answer(root, *answer);
                       });
    }
}

void QtDriveList::take_answer(const std::string& root, const std::optional<std::string>& label)
{
    m_answers[root] = label;
    int row = m_combo->findData(bytes_of(root));
    if (row < 0)
        return;
    {
        QSignalBlocker quiet(m_combo);
        if (label)
            m_combo->setItemText(row, qt_text(*label));
        else if (row != m_combo->currentIndex())
            m_combo->removeItem(row);
    }
    mark_shown();
}

void QtDriveList::picked()
{
    mark_shown();
    QByteArray root = m_combo->currentData().toByteArray();
    Errand errand = Turns::instance().begin([this] { select(m_committed); });
    m_folders.read(root, [this, errand, root](FolderRead read) {
        int watch = read.watch;
        Turns::instance().finish(errand, [&] {
            m_committed = root;
            m_folders.offer(root, std::move(read));
            dispatch(handler(Event::Change));
        });
        m_folders.release_unless_held(watch);
    });
}

void QtDriveList::select(const QByteArray& root)
{
    {
        QSignalBlocker quiet(m_combo);
        m_combo->setCurrentIndex(m_combo->findData(root));
    }
    mark_shown();
}

void QtDriveList::mark_shown()
{
    // Qt selects the row only as the popup opens; a reader asks meanwhile.
    // Selected, not made current: the popup's list would say it had the focus.
    QModelIndex shown = m_combo->model()->index(m_combo->currentIndex(), m_combo->modelColumn());
    if (QItemSelectionModel* rows = m_combo->view()->selectionModel())
        rows->select(shown, QItemSelectionModel::ClearAndSelect);
}

void QtDriveList::move(float left_twips, float top_twips, std::optional<float> width_twips,
                       std::optional<float> height_twips)
{
    // The first placement gives the height; later ones keep it.
    if (height_twips && height() > 0 && *height_twips != height())
        throw Error(name() + ": a drive list's height cannot be changed.");
    QtControl::move(left_twips, top_twips, width_twips, height_twips);
}

void QtDriveList::show_volume_of(const QByteArray& folder)
{
    // The deepest mount point above it, found without asking any volume.
    int found = -1;
    qsizetype deepest = -1;
    for (int row = 0; row < m_combo->count(); ++row) {
        QByteArray root = m_combo->itemData(row).toByteArray();
        bool holds = folder == root || root == "/" || folder.startsWith(root + '/');
        if (holds && root.size() > deepest) {
            deepest = root.size();
            found = row;
        }
    }
    if (found < 0)
        return;
    m_committed = m_combo->itemData(found).toByteArray();
    select(m_committed);
}

std::string QtDriveList::drive() const { return string_of(m_combo->currentData().toByteArray()); }

void QtDriveList::set_drive(std::string drive)
{
    QByteArray wanted = bytes_of(drive);
    int found = m_combo->findData(wanted);
    if (found < 0) {
        refresh();
        found = m_combo->findData(wanted);
    }
    if (found < 0)
        throw Error(name() + ": there is no drive " + utf8_of(display_path(wanted)) + ".");
    bool changed = wanted != m_committed;
    m_committed = wanted;
    select(wanted);
    if (changed)
        raise(handler(Event::Change));
}

std::span<const Property> QtDriveList::own_properties() const { return drive_list_properties; }

}  // namespace toolkit
