#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace TestSupport {

// Runs `body` in a child process whose root folder is `folder`, so that a call that would act
// on the whole file system reaches only that folder; the result is body's. nullopt where no
// private root can be made (no right to change the root here, or a system without one).
std::optional<int> runWithRootAt(const QString& folder, const std::function<int()>& body);

}  // namespace TestSupport
