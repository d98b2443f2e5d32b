#pragma once
#include <string>
#include <utility>
#include <vector>

namespace qs {

// The user's port map: the file that binds port names ("COM1", "USB") to device paths, such as
// /dev/serial/by-id/usb-... which survives replugging where /dev/ttyUSB0 does not. It is
// $XDG_CONFIG_HOME/Corvale/ports.conf, else ~/.config/Corvale/ports.conf; on Windows
// %APPDATA%\Corvale\ports.conf. One file per OS (port_map_path_*.cpp).
std::string PortMapPath();

// The [Ports] group of a ports.conf file. People edit the file by hand too, so saving keeps
// every other line (comments, other groups, unknown keys) exactly as it was read.
class CPortMap {
  public:
    // Reads the file at path; a file that does not exist is an empty map. False with the
    // reason in *error when the file is there but cannot be read (the map is then empty).
    bool Load(const std::string& path, std::string* error = nullptr);
    // Writes the map to path (creating its folder), replacing the old file in one step so a
    // crash never leaves half a file. False with the reason in *error.
    bool Save(const std::string& path, std::string* error = nullptr) const;

    // The device bound to a port name (case-insensitive), empty when there is none.
    std::string Device(const std::string& name) const;
    // Binds name to device, or removes the binding when device is empty. False, changing
    // nothing, when the name or the device cannot be written as one line of the file.
    bool Bind(const std::string& name, const std::string& device);
    // Every binding, in file order.
    std::vector<std::pair<std::string, std::string>> Entries() const;

  private:
    std::vector<std::string> m_lines;
};

// The environment variable that names a port's device ahead of the map: COMn for "COMn" (any
// case), DRIFTBOX_USB for "USB".
std::string PortVariable(const std::string& name);

// The device the user has chosen for a port name: the environment first (PortVariable), then
// the port map. Empty when neither names one.
std::string MappedDevice(const std::string& name);

// Loads the port map at PortMapPath(), binds (or with an empty device unbinds) each pair and
// saves it, so that edits made meanwhile by another program are kept. False with the reason.
bool EditPortMap(const std::vector<std::pair<std::string, std::string>>& bindings,
                 std::string* error = nullptr);

}  // namespace qs
