#pragma once
// `vantrelctl ports`: the entries of the window's port list (number, device, adapter's product),
// devices only. A VANTREL_COM<n> that names a named pipe, a folder or a regular file gives no
// serial port, so it is left out, and a message says so.

class PortMap;

namespace ctl {

class Console;

class PortListing {
public:
    static int print(const PortMap& map, Console& console);
};

} // namespace ctl
