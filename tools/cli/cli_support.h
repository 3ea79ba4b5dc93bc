// The command-line conventions every tool follows: CLI11 reads the line,
// `--version` prints "<program> <version>", and a line that does not parse
// exits with status 2 after CLI11's message on standard error.
#ifndef TOOLCLI_CLI_SUPPORT_H
#define TOOLCLI_CLI_SUPPORT_H

#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>
#include <ostream>
#include <string>

namespace toolcli {

// The project's version, from the build; a file compiled outside it still builds.
#ifdef PORTAL_VERSION
inline constexpr const char* kVersion = PORTAL_VERSION;
#else
inline constexpr const char* kVersion = "0.0";
#endif

// The exit status of a command line that does not parse. CLI11 gives every
// kind of refusal a status of its own; callers of the tools need just one.
inline constexpr int kExitBadCommandLine = 2;

// Adds `--version`, which prints "<program> <version>" on the output stream
// given to parse() and exits 0 before any other check of the line.
inline CLI::Option* addVersionFlag(CLI::App& app, const std::string& program) {
  return app.set_version_flag("--version", program + " " + kVersion, "Print the version and exit");
}

// Parses the line into `app`. Empty when the program is to go on; otherwise
// the status to exit with: 0 after `--help` or `--version` (printed on `out`),
// kExitBadCommandLine after a refusal (CLI11's message on `err`).
inline std::optional<int> parse(CLI::App& app, int argc, const char* const* argv, std::ostream& out = std::cout,
                                std::ostream& err = std::cerr) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error, out, err) == 0 ? 0 : kExitBadCommandLine;
  }
  return std::nullopt;
}

}  // namespace toolcli

#endif
