// Pure rules for archive entry names and script targets: how a stored name is cleaned, and
// whether a name stays inside the folder it is joined to.
#pragma once

#include <string>
#include <string_view>

namespace package {

// Repeats the first rule that applies until none does: a second byte ":" drops the first two
// bytes; a leading "\" or "/" is dropped; everything up to and including the first "\..\",
// then "\../", then "/../", then "/..\" is dropped.
std::string CleanEntryName(std::string_view stored);

// Whether name, joined to a folder with "\", names something inside that folder. Refuses
// ".." components, absolute and drive paths, UNC and device paths, ":" anywhere, Windows
// device names as a component (also with an extension), components ending in "." or " ",
// empty components and control bytes. "\" and "/" are both separators. One trailing
// separator is accepted, since folder entries are stored so ("maps/"); whoever needs a file
// name must treat such a name as a folder.
bool StaysInside(std::string_view name);

}  // namespace package
