// Installs and removals, through the same preparation, driver and end clean-up as a
// double-click in the window.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/Terminal.h"
#include "cli/TerminalView.h"
#include "common/Ascii.h"
#include "install/InstallDriver.h"
#include "install/Installer.h"
#include "os/Os.h"
#include "package/ArchiveWriter.h"
#include "platform/Names.h"
#include "platform/Settings.h"

namespace cli {

namespace {

bool IsBackupName(const std::string& name) {
    return common::EndsWithNoCase(name, platform::kBackupExtension);
}

// The package file of a name given by the user: "x", "x.ovx" and "x.backup" all mean x.ovx.
std::string PackageNameOf(const std::string& name) {
    if (IsBackupName(name)) return platform::StemOf(name) + std::string(platform::kPackageExtension);
    if (common::EndsWithNoCase(name, platform::kPackageExtension)) return name;
    return name + std::string(platform::kPackageExtension);
}

bool IsInstalled(const std::string& packageName) {
    const std::string folder = platform::Settings().GetFolder(platform::kPatchFolder);
    return os::Current().Exists(folder + "\\" + platform::BackupNameOf(packageName));
}

// Prepare, and on Ready the driver and the end clean-up: what a double-click runs.
int Activate(const std::string& entry) {
    package::ArchiveWriter writer;
    install::Installer installer(writer);
    TerminalView view(stderr, StderrIsTerminal());
    const install::InstallResult result = installer.Prepare(view, entry);
    if (result == install::InstallResult::Ready) {
        install::RunInstall(installer, view);
        installer.FinishInstall();
    }
    view.Finish();
    if (result == install::InstallResult::Ready) return kExitOk;
    return ReportRefusal(installer, result);
}

}  // namespace

int RunActivate(const Arguments& args) {
    const std::string& entry = args[0];
    // The window never hands over the package file of an installed package (its row names
    // the backup archive), and for good reason: a second install would write a new backup
    // archive over the one that holds the saved game files.
    if (!IsBackupName(entry) && IsInstalled(entry)) {
        ReportError(entry + " is installed; its list entry is " + platform::BackupNameOf(entry));
        return kExitWrongState;
    }
    return Activate(entry);
}

int RunInstallCommand(const Arguments& args) {
    const std::string package = PackageNameOf(args[0]);
    if (IsInstalled(package)) {
        ReportError(package + " is already installed (orva remove " + package + " takes it out)");
        return kExitWrongState;
    }
    return Activate(package);
}

int RunRemove(const Arguments& args) {
    const std::string package = PackageNameOf(args[0]);
    if (!IsInstalled(package)) {
        ReportError(package + " is not installed");
        return kExitWrongState;
    }
    return Activate(platform::BackupNameOf(package));
}

}  // namespace cli
