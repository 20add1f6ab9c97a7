// Runs the companion as a user would: a separate process with its own environment, its
// standard output and error captured.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cli_testing {

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The exit code of a program that was killed.
inline constexpr int kKilled = 137;

// Runs program with args. env changes the inherited environment: a value sets a variable,
// nullopt removes it. The captured output goes through files in scratchFolder. With
// killAfterMs of 0 or more the program is killed (SIGKILL, TerminateProcess) once that much
// time has passed, unless it ended before.
Outcome Spawn(const std::string& program, const std::vector<std::string>& args,
              const std::map<std::string, std::optional<std::string>>& env,
              const std::string& scratchFolder, int killAfterMs = -1);

}  // namespace cli_testing
