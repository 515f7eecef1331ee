#include "drive_list.h"

#include "dispatch.h"
#include "utf8.h"

#include "toolkit/services.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QStorageInfo>

namespace toolkit {

namespace {

constexpr Property drive_list_properties[] = {
    {prop::Drive, get_via<&QtDriveList::drive>, set_via<&QtDriveList::set_drive>},
};

class DriveCombo final : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> before_popup;

protected:
    void showPopup() override
    {
        if (before_popup)
            before_popup();
        QComboBox::showPopup();
    }
};

}  // namespace

QtDriveList::QtDriveList(QWidget* parent, std::string_view name,
                         std::optional<std::int32_t> index)
    : QtControl(new DriveCombo(parent), name, index, {Event::Change}),
      m_combo(static_cast<QComboBox*>(widget()))
{
    static_cast<DriveCombo*>(m_combo)->before_popup = [this] { refresh(); };
    refresh();
    // The list starts on the volume that holds the working folder.
    QByteArray current = QFile::encodeName(QStorageInfo(QDir::currentPath()).rootPath());
    int found = m_combo->findData(current);
    m_combo->setCurrentIndex(found >= 0 ? found : 0);
    QObject::connect(m_combo, &QComboBox::currentIndexChanged, m_combo,
                     [this] { dispatch(handler(Event::Change)); });
}

void QtDriveList::refresh()
{
    QByteArray selected = m_combo->currentData().toByteArray();
    QSignalBlocker quiet(m_combo);
    m_combo->clear();
    for (const Volume& volume : mounted_volumes())
        m_combo->addItem(qt_text(volume.label), bytes_of(volume.root));
    // A volume gone since it was picked stays listed, so what the user picked
    // is still what the list shows; choosing it again fails as any drive does
    // that cannot be read.
    if (!selected.isEmpty() && m_combo->findData(selected) < 0)
        m_combo->addItem(display_path(selected), selected);
    if (!selected.isEmpty())
        m_combo->setCurrentIndex(m_combo->findData(selected));
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

void QtDriveList::set_spoken_name(std::string_view name)
{
    QtControl::set_spoken_name(name);
    auto* label = new QLabel(m_combo->accessibleName(), m_combo->parentWidget());
    label->setBuddy(m_combo);
    label->hide();
}

std::span<const Property> QtDriveList::own_properties() const { return drive_list_properties; }

}  // namespace toolkit
