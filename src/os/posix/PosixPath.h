// Windows-shaped core paths on a POSIX file system: "\" and "/" both separate components, and
// a component that does not exist under its exact name is looked for without regard to case
// in its folder (game folders made for Windows have names in any case).
#pragma once

#include <string>

namespace os::posix {

// The host path for a core path. Components that exist in another case are replaced by the
// name on disk; the rest (a file about to be created) keeps the case it was given.
std::string ResolvePath(const std::string& corePath);

}  // namespace os::posix
