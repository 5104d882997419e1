// Ids of the reports subsystem's texts.
#pragma once

namespace res {

enum Reports_string : int {
};

}  // namespace res
