#include "resources/download_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> download_strings = {
};

}  // namespace res
