// Running our programs from end-to-end tests the way a person types them into a shell.
#pragma once

#include <string>
#include <vector>

namespace brevalo::testing {

struct ShellResult {
  int code = -1;  // the exit code, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// `word` as one shell word, whatever characters it holds.
std::string ShellQuote(const std::string& word);

// Runs `command` with /bin/sh and collects what it wrote to standard output and standard error.
ShellResult RunShell(const std::string& command);

// Runs build/bin/PROGRAM --device DEVICE followed by `args`, each taken as one word.
ShellResult RunTool(const std::string& program, const std::string& device,
                    const std::vector<std::string>& args);

// The same with `args` given as shell words, for tests that read best as typed commands.
ShellResult RunToolLine(const std::string& program, const std::string& device,
                        const std::string& args);

}  // namespace brevalo::testing
