// "orva check": the install's preparation as a dry run, then the plan of what it would do.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/InstallPlan.h"
#include "cli/TerminalView.h"
#include "install/Installer.h"
#include "package/ArchiveWriter.h"

namespace cli {

int RunCheck(const Arguments& args) {
    package::ArchiveWriter writer;
    install::Installer installer(writer);
    installer.dryRun = true;
    TerminalView view(stderr, false);
    const install::InstallResult result = installer.Prepare(view, args[0]);
    if (result != install::InstallResult::Ready) return ReportRefusal(installer, result);
    for (const std::string& line : DescribeInstall(installer)) std::printf("%s\n", line.c_str());
    installer.FinishInstall();
    return kExitOk;
}

}  // namespace cli
