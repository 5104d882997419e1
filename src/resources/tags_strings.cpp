#include "resources/tags_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> tags_strings = {
};

}  // namespace res
