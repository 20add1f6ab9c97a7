// Natively posix_spawn; under Wine the test itself is a Windows program, so it starts
// orva.exe with CreateProcess like any Windows caller.
#include "Spawn.h"

#include "support/TestSupport.h"

#ifdef _WIN32
#include "os/win32/WinHeader.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <time.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace cli_testing {

namespace {

#ifdef _WIN32
// One argument as the C runtime of the child splits it again.
std::string QuoteArgument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') backslashes = backslashes * 2 + 1;
        out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

HANDLE InheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

int Run(const std::string& program, const std::vector<std::string>& args,
        const std::map<std::string, std::optional<std::string>>& env, const std::string& outPath,
        const std::string& errPath, int killAfterMs) {
    // The build names the program by its host path; Wine shows the host's root as Z:.
    std::string exe = program;
    if (!exe.empty() && exe[0] == '/') {
        for (char& c : exe) c = c == '/' ? '\\' : c;
        exe = "Z:" + exe;
    }
    std::string commandLine = QuoteArgument(exe);
    for (const std::string& a : args) commandLine += " " + QuoteArgument(a);

    for (const auto& [name, value] : env) {
        SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
    }
    HANDLE out = InheritableFile(outPath);
    HANDLE err = InheritableFile(errPath);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    BOOL started = CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                  nullptr, &si, &pi);
    CloseHandle(out);
    CloseHandle(err);
    if (!started) return -1;
    if (killAfterMs >= 0 && WaitForSingleObject(pi.hProcess, static_cast<DWORD>(killAfterMs)) == WAIT_TIMEOUT) {
        TerminateProcess(pi.hProcess, kKilled);
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}
#else
int Run(const std::string& program, const std::vector<std::string>& args,
        const std::map<std::string, std::optional<std::string>>& env, const std::string& outPath,
        const std::string& errPath, int killAfterMs) {
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        std::string name = entry.substr(0, entry.find('='));
        if (env.count(name) == 0) environment.push_back(entry);
    }
    for (const auto& [name, value] : env) {
        if (value) environment.push_back(name + "=" + *value);
    }
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argvStore = {program};
    argvStore.insert(argvStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argvStore) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    if (killAfterMs >= 0) {
        struct timespec pause = {killAfterMs / 1000, (killAfterMs % 1000) * 1000000L};
        while (nanosleep(&pause, &pause) != 0) {
        }
        kill(pid, SIGKILL);
    }
    while (waitpid(pid, &status, 0) < 0) {
    }
    if (WIFSIGNALED(status)) return kKilled;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

}  // namespace

Outcome Spawn(const std::string& program, const std::vector<std::string>& args,
              const std::map<std::string, std::optional<std::string>>& env,
              const std::string& scratchFolder, int killAfterMs) {
    const std::string outPath = scratchFolder + "\\stdout.txt";
    const std::string errPath = scratchFolder + "\\stderr.txt";
#ifdef _WIN32
    Outcome o{Run(program, args, env, outPath, errPath, killAfterMs), {}, {}};
#else
    auto host = [](std::string p) {
        for (char& c : p) c = c == '\\' ? '/' : c;
        return p;
    };
    Outcome o{Run(program, args, env, host(outPath), host(errPath), killAfterMs), {}, {}};
#endif
    o.out = testing_support::ReadFile(outPath);
    o.err = testing_support::ReadFile(errPath);
    return o;
}

}  // namespace cli_testing
