#include "gui/main_layout.h"

#include <algorithm>

namespace pic2jpg {

MainLayout LayoutFor(int inner_width) {
  const int width = std::max(inner_width, 510);
  return MainLayout{width - 160, width - 146, width - 110};
}

}  // namespace pic2jpg
