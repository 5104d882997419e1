// Everything a calibrator test needs, wired together: a fake clock, a
// scripted port on that clock, a scripted ui, and the link over them.
//
//   test::Link_rig rig;
//   rig.port.expect("GET_SN").reply("12345\r");
//   ASSERT_TRUE(rig.link.open_port());
//   ... comm::read_serial(rig.link, serial) ...
#pragma once

#include <string>

#include "link/serial_link.h"
#include "support/fake_clock.h"
#include "support/scripted_port.h"
#include "support/scripted_ui.h"

namespace test {

struct Link_rig {
    static constexpr const char* DEVICE = "/dev/scripted";
    // What the user reads when the scripted device will not open (the port
    // fails with its default reason).
    static constexpr const char* OPEN_REFUSED =
        "Unable to open communications port /dev/scripted: Permission denied\n"
        "Configure > Serial Adapters... lists the serial devices and maps COM ports to them.";

    Fake_clock clock;
    Scripted_port port{clock};
    Scripted_ui ui;
    comm::Serial_link link{port, clock, ui, [] { return std::string(DEVICE); }};
};

}  // namespace test
