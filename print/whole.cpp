#include "surface.h"

#include <cmath>
#include <limits>

namespace norvale {

int whole(double x)
{
    if (std::isnan(x))
        return 0;
    if (x >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (x <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(x); // truncation toward zero
}

} // namespace norvale
