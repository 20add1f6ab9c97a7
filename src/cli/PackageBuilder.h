// Building a package from a folder: the files below it become entries under their relative
// names ("/" between folders), after the same name checks the install would make.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct PackFile {
    std::string entryName;   // relative to the folder, "/" between components
    std::string sourcePath;  // core path of the file
};

// Every file below folder, in name order; false when folder cannot be read.
bool ListPackageFolder(const std::string& folder, std::vector<PackFile>& files);

// Why the files would make a package that the install refuses or mishandles, one line per
// reason; empty when none. Reads the script from the file named "install.cfg".
std::vector<std::string> PackageProblems(const std::vector<PackFile>& files);

// Writes the archive; a part-written output is removed again.
bool WritePackage(const std::vector<PackFile>& files, const std::string& output);

}  // namespace cli
