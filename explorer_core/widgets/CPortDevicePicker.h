#pragma once
// The device drop-down of a Setup dialog: which serial device each entry of the dialog's port
// list opens, through the port map (ports.conf) that every program and library here reads.
// The port list keeps its plain entries ("COM1", "USB") as its items' text, so selecting,
// typing and storing a port work on them as before; the device each entry opens is shown
// beside it in the list's drop-down, and an unbound entry shows the device it opens by default.
// A device may be chosen from the list or typed. Choices stay in the dialog until Commit.
#include <QComboBox>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "device_discovery.h"

class CPortDevicePicker : public QComboBox {
    Q_OBJECT
  public:
    // Role of the text a port entry shows in its drop-down: "COM1  (/dev/ttyUSB0 — FTDI ...)".
    static constexpr int kShownRole = Qt::UserRole + 40;

    struct Texts {
        QString none;         // "(none)": the entry is bound to no device
        QString absent;       // "not present", after a bound device that is not there now
        QString variableSet;  // why the box is disabled: "%1 is set" with the variable's name
    };
    using Discovery = std::function<std::vector<qs::SerialDevice>()>;

    // ports: the dialog's port list, filled with its entries; the picker follows its selection.
    CPortDevicePicker(QComboBox* ports, const Texts& texts, QWidget* parent);

    // Writes the bindings the user changed to the port map, keeping everything else in it.
    // True when that worked or nothing changed; false with the reason, keeping the choices.
    bool Commit(QString* error);

    // Where the devices listed come from: the machine's own unless a test hands in others.
    static void SetDiscovery(Discovery discovery);

  private:
    struct Binding {
        std::string variable;  // the environment's device, which wins over the map
        std::string mapped;    // the map's device when the dialog opened
        std::string chosen;    // the device chosen in the dialog
        const std::string& Shown() const { return variable.empty() ? chosen : variable; }
    };

    std::string SelectedEntry() const;
    void ShowSelected();
    void Choose(int index);
    void ChooseTyped();
    void Annotate();
    QString Label(const std::string& device) const;
    int IndexOf(const std::string& device) const;
    void AddDevice(const std::string& device);

    QComboBox* m_ports;
    Texts m_texts;
    std::vector<qs::SerialDevice> m_devices;
    std::map<std::string, Binding> m_bindings;  // by entry
    QString m_loadError;
    bool m_showing = false;
};
