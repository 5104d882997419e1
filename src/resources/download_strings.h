// Ids of the download subsystem's texts.
#pragma once

namespace res {

enum Download_string : int {
};

}  // namespace res
