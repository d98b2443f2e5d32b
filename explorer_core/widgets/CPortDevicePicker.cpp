#include "CPortDevicePicker.h"

#include <QAbstractItemView>
#include <QFile>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "port_map.h"
#include "port_name.h"

namespace {

CPortDevicePicker::Discovery& DiscoveryHook() {
    static CPortDevicePicker::Discovery hook;
    return hook;
}

QString FromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ToPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Draws a port entry with its device while the entry's own text stays what the dialog
// selects, compares and stores.
class CShownTextDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (const QVariant shown = index.data(CPortDevicePicker::kShownRole); shown.isValid())
            option->text = shown.toString();
    }
};

}  // namespace

void CPortDevicePicker::SetDiscovery(Discovery discovery) {
    DiscoveryHook() = std::move(discovery);
}

CPortDevicePicker::CPortDevicePicker(QComboBox* ports, const Texts& texts, QWidget* parent)
    : QComboBox(parent), m_ports(ports), m_texts(texts) {
    m_devices = DiscoveryHook() ? DiscoveryHook()() : qs::DiscoverSerialDevices();
    qs::CPortMap map;
    std::string error;
    if (!map.Load(qs::PortMapPath(), &error)) m_loadError = QString::fromStdString(error);

    addItem(m_texts.none, QString());
    for (const auto& d : m_devices) addItem(Label(d.path), FromPath(d.path));
    for (int row = 0; row < m_ports->count(); ++row) {
        const std::string entry = m_ports->itemText(row).toStdString();
        Binding& b = m_bindings[entry];
        if (const char* v = std::getenv(qs::PortVariable(entry).c_str()); v && *v) b.variable = v;
        b.mapped = b.chosen = map.Device(entry);
        // A bound device stays choosable while it is unplugged.
        AddDevice(b.mapped);
        AddDevice(b.variable);
    }

    m_ports->setItemDelegate(new CShownTextDelegate(m_ports));
    Annotate();
    // A device may also be typed: a path the discovery does not list (a pseudo-terminal, a
    // device of a driver it does not know).
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(lineEdit(), &QLineEdit::editingFinished, this, &CPortDevicePicker::ChooseTyped);
    connect(m_ports, &QComboBox::currentTextChanged, this, &CPortDevicePicker::ShowSelected);
    connect(this, &QComboBox::currentIndexChanged, this, &CPortDevicePicker::Choose);
    ShowSelected();
}

bool CPortDevicePicker::Commit(QString* error) {
    std::vector<std::pair<std::string, std::string>> changed;
    for (const auto& [entry, b] : m_bindings)
        if (b.chosen != b.mapped) changed.emplace_back(entry, b.chosen);
    if (changed.empty()) return true;
    std::string reason;
    if (!qs::EditPortMap(changed, &reason)) {
        if (error) *error = QString::fromStdString(reason);
        return false;
    }
    for (auto& [entry, b] : m_bindings) b.mapped = b.chosen;
    return true;
}

std::string CPortDevicePicker::SelectedEntry() const {
    // An editable list may hold typed text that names no entry.
    const int row = m_ports->findText(m_ports->currentText(), Qt::MatchExactly);
    return row < 0 ? std::string() : m_ports->itemText(row).toStdString();
}

void CPortDevicePicker::ShowSelected() {
    const auto it = m_bindings.find(SelectedEntry());
    m_showing = true;
    if (it == m_bindings.end()) {
        setCurrentIndex(-1);
        setEnabled(false);
        setToolTip(QString());
    } else {
        const Binding& b = it->second;
        setCurrentIndex(IndexOf(b.Shown()));
        QString why;
        if (!b.variable.empty())
            why = m_texts.variableSet.arg(QString::fromStdString(qs::PortVariable(it->first)));
        else if (!m_loadError.isEmpty())
            why = m_loadError;  // saving would fail the same way
        setEnabled(why.isEmpty());
        setToolTip(why);
    }
    m_showing = false;
}

void CPortDevicePicker::Choose(int index) {
    if (m_showing || index < 0) return;
    const auto it = m_bindings.find(SelectedEntry());
    if (it == m_bindings.end()) return;
    it->second.chosen = ToPath(itemData(index).toString());
    Annotate();
}

void CPortDevicePicker::ChooseTyped() {
    if (m_showing || !isEnabled()) return;
    const QString typed = lineEdit()->text().trimmed();
    // Leaving the box unchanged shows the chosen entry's label, which is no path.
    if (typed.isEmpty() || (currentIndex() >= 0 && typed == itemText(currentIndex()))) return;
    const auto it = m_bindings.find(SelectedEntry());
    if (it == m_bindings.end()) return;
    const std::string device = ToPath(typed);
    AddDevice(device);
    it->second.chosen = device;
    m_showing = true;
    setCurrentIndex(IndexOf(device));
    m_showing = false;
    Annotate();
}

void CPortDevicePicker::Annotate() {
    for (int row = 0; row < m_ports->count(); ++row) {
        const QString entry = m_ports->itemText(row);
        const auto it = m_bindings.find(entry.toStdString());
        if (it == m_bindings.end()) continue;
        std::string device = it->second.Shown();
        // Unbound everywhere, the port opens its default device (COM1 is /dev/ttyS0 here).
        if (device.empty() && it->second.mapped.empty())
            device = qs::SerialDeviceForName(it->first);
        const QString shown =
            device.empty() ? m_texts.none : QStringLiteral("(%1)").arg(Label(device));
        m_ports->setItemData(row, entry + QStringLiteral("  ") + shown, kShownRole);
    }
    // The drop-down is as wide as its longest entry, not as the closed list.
    m_ports->view()->setMinimumWidth(m_ports->view()->sizeHintForColumn(0) +
                                     m_ports->view()->frameWidth() * 2);
}

QString CPortDevicePicker::Label(const std::string& device) const {
    if (const qs::SerialDevice* d = qs::FindSerialDevice(m_devices, device)) {
        const std::string what = d->Description();
        return FromPath(d->node) +
               (what.empty() ? QString() : QStringLiteral(" — ") + QString::fromStdString(what));
    }
    std::error_code ec;
    if (std::filesystem::exists(device, ec)) return FromPath(device);
    return FromPath(device) + QStringLiteral(" — ") + m_texts.absent;
}

int CPortDevicePicker::IndexOf(const std::string& device) const {
    if (device.empty()) return 0;
    // A map naming the node finds the adapter listed by its by-id link.
    const qs::SerialDevice* d = qs::FindSerialDevice(m_devices, device);
    return findData(FromPath(d ? d->path : device));
}

void CPortDevicePicker::AddDevice(const std::string& device) {
    if (!device.empty() && IndexOf(device) < 0) addItem(Label(device), FromPath(device));
}
