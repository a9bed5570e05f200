#include "app/CommandLine.h"

#include <cstdio>

#include "app/VerInfo.h"

namespace app {

namespace {

void Write(std::string_view text, std::FILE* stream) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

std::string VersionLine(std::string_view name) {
  const TFileVersionInfo version(std::string(name), TFileVersionInfo::BuiltInResource());
  return std::string(name) + " " + version.GetVersionText();
}

std::optional<int> AnswerOptions(int argc, const char* const* argv, const TCommandLineHelp& help) {
  if (argc < 2 || argv[1][0] != '-') return std::nullopt;
  const std::string_view option = argv[1];
  if (option == "--help") {
    Write(help.Usage, stdout);
    Write(help.Text, stdout);
  } else if (option == "--version") {
    Write(VersionLine(help.Name) + "\n", stdout);
  } else {
    return UsageError(help, "unknown option '" + std::string(option) + "'");
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int UsageError(const TCommandLineHelp& help, const std::string& complaint) {
  Write(std::string(help.Name) + ": " + complaint + "\n", stderr);
  Write(help.Usage, stderr);
  return kUsageStatus;
}

}  // namespace app
