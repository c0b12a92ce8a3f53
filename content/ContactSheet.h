#pragma once

#include "content/Image.h"

#include <vector>

namespace content {

// Every bitmap at its own size on one labelled review sheet.
class ContactSheet {
public:
    static Image compose(const std::vector<NamedImage>& images);
};

} // namespace content
