// minizip's file callbacks over the OS layer, so that archives are found the way every other
// core path is (case-insensitive components, "\" joins on any host) and tests can make the
// file calls fail.
#pragma once

#include <ioapi.h>

namespace package::detail {

// Callbacks for unzOpen2_64 and zipOpen2_64; the path handed to those is a core path
// (const char*).
zlib_filefunc64_def OsFileFunctions();

}  // namespace package::detail
