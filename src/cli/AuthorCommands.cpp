// Tools for package authors: "orva pack" and "orva mkpatch".
#include "cli/Commands.h"
#include "cli/PackageBuilder.h"
#include "cli/PatchDiff.h"
#include "os/Os.h"

namespace cli {

int RunPack(const Arguments& args) {
    const std::string& folder = args[0];
    const std::string& output = args[1];
    std::vector<PackFile> files;
    if (!ListPackageFolder(folder, files)) {
        ReportError("cannot read the folder " + os::Current().DisplayPath(folder));
        return kExitNone;
    }
    const std::vector<std::string> problems = PackageProblems(files);
    if (!problems.empty()) {
        for (const std::string& p : problems) ReportError(p);
        ReportError("no package written");
        return kExitNone;
    }
    if (!WritePackage(files, output)) {
        ReportError("cannot write " + os::Current().DisplayPath(output));
        return kExitNone;
    }
    return kExitOk;
}

int RunMkpatch(const Arguments& args) {
    std::string original, modified;
    for (size_t i = 0; i < 2; ++i) {
        if (!os::ReadWholeFile(args[i], i == 0 ? original : modified)) {
            ReportError("cannot read " + os::Current().DisplayPath(args[i]));
            return kExitNone;
        }
    }
    std::string data;
    switch (MakePatchData(original, modified, data)) {
        case DiffResult::Ok:
            break;
        case DiffResult::SizesDiffer:
            ReportError("the files differ in size (" + std::to_string(original.size()) + " and " +
                        std::to_string(modified.size()) +
                        " bytes): patch data changes bytes in place and cannot resize a file");
            return kExitNone;
        case DiffResult::TooLarge:
            ReportError("the files are larger than 4 GiB: patch offsets are 32-bit");
            return kExitNone;
        case DiffResult::TooManyRecords:
            ReportError("the changes need more than 32767 records; ship the file itself instead");
            return kExitNone;
    }
    if (!os::ReplaceWholeFile(args[2], data)) {
        ReportError("cannot write " + os::Current().DisplayPath(args[2]));
        return kExitNone;
    }
    return kExitOk;
}

}  // namespace cli
