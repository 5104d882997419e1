// The Serial Adapters dialog of Configure > Serial Adapters: the serial
// devices in a table (device, by-id name, maker, product, serial number, the
// ports that open it, a mark when the user may not open it), what COM1..COM8
// open, and a port chooser with a Map button.
#pragma once

#include <functional>

#include "ui/ui.h"

class QWidget;

namespace ui::qt {

// Modal; Map calls on_map with the chosen port and table row and shows what
// it returns; Close or Escape ends it; Help and F1 open its help page.
void show_serial_adapters(QWidget* parent, const Adapters_view& view,
                          const std::function<Adapters_view(int port, int row)>& on_map,
                          const std::function<void(int)>& help);

}  // namespace ui::qt
