#include "PrivateRoot.h"

namespace TestSupport {

// Windows has no way to give a process a root folder of its own.
std::optional<int> runWithRootAt(const QString&, const std::function<int()>&) {
    return std::nullopt;
}

}  // namespace TestSupport
