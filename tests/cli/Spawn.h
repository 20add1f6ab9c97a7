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

// Runs program with args. env changes the inherited environment: a value sets a variable,
// nullopt removes it. The captured output goes through files in scratchFolder.
Outcome Spawn(const std::string& program, const std::vector<std::string>& args,
              const std::map<std::string, std::optional<std::string>>& env,
              const std::string& scratchFolder);

}  // namespace cli_testing
