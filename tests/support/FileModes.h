#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace TestSupport {

// The permission bits of a file (0640), where the system keeps them; nullopt on Windows, whose
// files have an access list and a read-only attribute instead.
std::optional<int> fileMode(const QString& path);

// The bits a new file gets (0666 without the process's mask), where the system has them.
std::optional<int> newFileMode();

// Gives the file to another user where this process may (root on POSIX systems); false where
// it cannot, and the caller's case then checks the file as its own.
bool giveToAnotherUser(const QString& path);

// Sets the last-modified time of a file or folder to `seconds` ago; false where it cannot.
bool setModifiedAgo(const QString& path, int64_t seconds);

}  // namespace TestSupport
