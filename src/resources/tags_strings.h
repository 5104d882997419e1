// Ids of the tags subsystem's texts.
#pragma once

namespace res {

enum Tags_string : int {
};

}  // namespace res
