#include "toolkit/qt/controls/qt_drive_list.h"

#include "toolkit/qt/core/accessible_factory.h"
#include "toolkit/qt/core/dispatch.h"
#include "toolkit/qt/core/utf8.h"
#include "toolkit/qt/folders/off_thread.h"

#include "toolkit/services.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QDir>
#include <QFile>

#include <condition_variable>
#include <mutex>
#include <thread>

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
// say "Drives", then the volume shown. The popup's list is its one child, as
// in Qt's own.
class DriveComboAccessible final : public QAccessibleWidget {
public:
    explicit DriveComboAccessible(DriveCombo* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox), m_combo(combo)
    {
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

private:
    DriveCombo* m_combo;
};

QAccessibleInterface* drive_combo_accessible(const QString&, QObject* object)
{
    auto* combo = dynamic_cast<DriveCombo*>(object);
    return combo ? new DriveComboAccessible(combo) : nullptr;
}

}  // namespace

QtDriveList::QtDriveList(QWidget* parent, std::string_view name, std::optional<std::int32_t> index)
    : QtControl(new DriveCombo(parent), name, index, {Event::Change}),
      m_combo(static_cast<QComboBox*>(widget()))
{
    install_accessible_factory<drive_combo_accessible>();
    static_cast<DriveCombo*>(m_combo)->before_popup = [this] { refresh(); };
    // The window must not wait on a volume to appear: the labels come in as
    // the volumes answer.
    refresh(Waiting::None);
    // The list starts on the volume that holds the working folder.
    show_volume_of(QFile::encodeName(QDir::currentPath()));
    QObject::connect(m_combo, &QComboBox::currentIndexChanged, m_combo,
                     [this] { dispatch(handler(Event::Change)); });
}

QtDriveList::~QtDriveList() { forget_answers(); }

namespace {

// What the threads that ask the volumes share with the drive list. Answers
// that come after the list stopped waiting are posted to it while it still
// wants them.
struct VolumeAnswers {
    std::mutex mutex;
    std::condition_variable answered;
    std::vector<Volume> volumes;
    std::vector<std::optional<std::optional<std::string>>> labels;
    int unanswered = 0;
    bool late = false;
    QObject* receiver = nullptr;
    std::function<void(std::size_t)> on_late_answer;
};

// A volume that has not answered within this time is listed by its mount
// point, and its label fills in when it answers.
constexpr auto answer_time = std::chrono::milliseconds(1000);

}  // namespace

void QtDriveList::forget_answers()
{
    // The batch stays alive until the lock on its mutex is let go: the list
    // may hold the last reference to it.
    std::shared_ptr<void> held = std::move(m_answers);
    if (!held)
        return;
    auto* answers = static_cast<VolumeAnswers*>(held.get());
    std::lock_guard lock(answers->mutex);
    answers->receiver = nullptr;
}

void QtDriveList::refresh(Waiting waiting)
{
    forget_answers();
    auto answers = std::make_shared<VolumeAnswers>();
    answers->volumes = mounted_volumes();
    answers->labels.resize(answers->volumes.size());
    answers->unanswered = static_cast<int>(answers->volumes.size());
    answers->receiver = m_combo;
    // A late answer names its own batch: by the time it arrives a later
    // refresh may have listed other volumes in other places.
    VolumeAnswers* batch = answers.get();
    answers->on_late_answer = [this, batch](std::size_t volume) {
        if (m_answers.get() == batch)
            take_late_answer(volume);
    };
    m_answers = answers;

    // Taken now, on the window's thread: the threads ask this very question
    // even if the program's is replaced meanwhile.
    auto ask_each = [answers, question = volume_label_question()] {
        for (std::size_t at = 0; at < answers->volumes.size(); ++at)
            std::thread([answers, at, question] {
                std::optional<std::string> label = question(answers->volumes[at]);
                std::lock_guard lock(answers->mutex);
                answers->labels[at] = label;
                --answers->unanswered;
                answers->answered.notify_all();
                if (answers->late && answers->receiver)
                    QMetaObject::invokeMethod(
                        answers->receiver, [answers, at] { answers->on_late_answer(at); },
                        Qt::QueuedConnection);
            }).detach();
    };
    if (waiting == Waiting::ForAnswers) {
        wait_off_thread(
            [answers, ask_each] {
                ask_each();
                // Done once every volume has answered; the list stops waiting first.
                std::unique_lock lock(answers->mutex);
                answers->answered.wait(lock,
                                       [&] { return answers->unanswered == 0 || answers->late; });
            },
            Abandon::Never, answer_time);
    } else {
        {
            std::lock_guard lock(answers->mutex);
            answers->late = true;
        }
        ask_each();
    }

    std::lock_guard lock(answers->mutex);
    answers->late = true;
    answers->answered.notify_all();
    QByteArray selected = m_combo->currentData().toByteArray();
    QSignalBlocker quiet(m_combo);
    m_combo->clear();
    for (std::size_t at = 0; at < answers->volumes.size(); ++at) {
        const Volume& volume = answers->volumes[at];
        const std::optional<std::optional<std::string>>& label = answers->labels[at];
        if (label && !*label)
            continue;  // No drive.
        m_combo->addItem(qt_text(label ? **label : volume.label), bytes_of(volume.root));
    }
    // A volume gone since it was picked stays listed, so what the user picked
    // is still what the list shows; choosing it again fails as any drive does
    // that cannot be read.
    if (!selected.isEmpty() && m_combo->findData(selected) < 0)
        m_combo->addItem(display_path(selected), selected);
    if (!selected.isEmpty())
        m_combo->setCurrentIndex(m_combo->findData(selected));
}

void QtDriveList::take_late_answer(std::size_t volume)
{
    auto* answers = static_cast<VolumeAnswers*>(m_answers.get());
    if (!answers)
        return;
    std::lock_guard lock(answers->mutex);
    QByteArray root = bytes_of(answers->volumes[volume].root);
    int row = m_combo->findData(root);
    const std::optional<std::string>& label = *answers->labels[volume];
    if (row < 0)
        return;
    QSignalBlocker quiet(m_combo);
    if (label)
        m_combo->setItemText(row, qt_text(*label));
    else if (row != m_combo->currentIndex())
        m_combo->removeItem(row);
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
    QSignalBlocker quiet(m_combo);
    m_combo->setCurrentIndex(found);
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
    if (found == m_combo->currentIndex())
        return;
    {
        QSignalBlocker quiet(m_combo);
        m_combo->setCurrentIndex(found);
    }
    raise(handler(Event::Change));
}

std::span<const Property> QtDriveList::own_properties() const { return drive_list_properties; }

}  // namespace toolkit
