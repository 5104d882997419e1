#include "resources/reports_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> reports_strings = {
};

}  // namespace res
