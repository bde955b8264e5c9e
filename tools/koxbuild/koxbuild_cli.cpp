#include "tools/koxbuild/koxbuild_cli.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <span>

#include "engine/base/error.h"
#include "engine/dialogs/form_text.h"
#include "engine/startup/package.h"
#include "tools/koxbuild/archive_tool.h"
#include "tools/koxbuild/package_writer.h"
#include "tools/koxbuild/setup_executable.h"
#include "tools/koxbuild/setup_source.h"
#include "tools/koxbuild/source_dump.h"

namespace kox {

namespace fs = std::filesystem;

namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  koxbuild build SOURCE -o DIR/NAME.exe --stub koxstub.exe\n"
    "           [--res ARCHIVE | --res-dir FOLDER] [--7z PROGRAM]\n"
    "           [--msi FILE | --msp FILE] [--bmp FILE] [--instance FILE] [--lib FILE]\n"
    "  koxbuild package SOURCE -o FILE\n"
    "  koxbuild form FORM.txt -o FORM.dfm\n"
    "  koxbuild dump SETUP.exe|PACKAGE [-o FILE]\n";

struct UsageError {
  std::string message;
};

// The command's one positional argument and its options ("-o", "--stub" ...),
// each option taking one value.
struct Arguments {
  std::string input;
  std::map<std::string, std::string> options;

  std::optional<std::string> option(const std::string& name) const {
    auto it = options.find(name);
    return it == options.end() ? std::nullopt : std::optional(it->second);
  }
  std::string required(const std::string& name) const {
    auto value = option(name);
    if (!value) throw UsageError{"missing " + name};
    return *value;
  }
};

Arguments parseArguments(const std::vector<std::string>& arguments, const std::vector<std::string>& allowed) {
  Arguments parsed;
  bool haveInput = false;
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.size() > 1 && argument[0] == '-') {
      if (std::find(allowed.begin(), allowed.end(), argument) == allowed.end())
        throw UsageError{"unknown option " + argument};
      if (i + 1 >= arguments.size()) throw UsageError{argument + " needs a value"};
      if (!parsed.options.emplace(argument, arguments[++i]).second)
        throw UsageError{argument + " is given twice"};
    } else {
      if (haveInput) throw UsageError{"more than one input: " + argument};
      parsed.input = argument;
      haveInput = true;
    }
  }
  if (!haveInput) throw UsageError{"missing input file"};
  return parsed;
}

std::string readText(const fs::path& path) {
  std::vector<uint8_t> bytes = readFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

SetupPackage readSource(const std::string& path) { return parseSetupSource(readText(path), path); }

void requireFile(const std::string& option, const std::string& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) throw EngineError(option + ": \"" + path + "\" is not a file");
}

// A dialog definition's text form turned into its binary form file; errors
// name the text file and the line.
std::vector<uint8_t> convertForm(const fs::path& textFile) {
  try {
    return formTextToBinary(readText(textFile));
  } catch (const EngineError& e) {
    throw EngineError(textFile.string() + ": " + e.what());
  }
}

constexpr std::string_view kFormTextSuffix = ".dfm.txt";

bool isFormText(const fs::path& path) {
  const std::string name = path.filename().string();
  return name.size() > kFormTextSuffix.size() && name.ends_with(kFormTextSuffix);
}

// A media folder whose dialogs are written as text ("welcome.dfm.txt") is
// archived from a copy in which each of them is the binary "welcome.dfm".
class ArchiveSource {
 public:
  explicit ArchiveSource(const fs::path& folder) : folder_(folder) {
    std::vector<fs::path> forms;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      if (entry.is_regular_file() && isFormText(entry.path())) forms.push_back(entry.path());
    if (forms.empty()) return;
    std::vector<std::vector<uint8_t>> converted;
    for (const fs::path& form : forms) converted.push_back(convertForm(form));
    copy_ = fs::temp_directory_path() / ("koxbuild-forms-" + std::to_string(fs::hash_value(folder)) + "-" +
                                         std::to_string(reinterpret_cast<uintptr_t>(this)));
    fs::remove_all(copy_);
    fs::copy(folder, copy_, fs::copy_options::recursive);
    for (size_t i = 0; i < forms.size(); ++i) {
      const fs::path relative = fs::relative(forms[i], folder);
      fs::remove(copy_ / relative);
      const std::string name = relative.string();
      std::ofstream(copy_ / name.substr(0, name.size() - 4), std::ios::binary)
          .write(reinterpret_cast<const char*>(converted[i].data()), static_cast<std::streamsize>(converted[i].size()));
    }
  }
  ~ArchiveSource() {
    std::error_code ignored;
    if (!copy_.empty()) fs::remove_all(copy_, ignored);
  }
  ArchiveSource(const ArchiveSource&) = delete;
  ArchiveSource& operator=(const ArchiveSource&) = delete;

  const fs::path& folder() const { return copy_.empty() ? folder_ : copy_; }

 private:
  fs::path folder_;
  fs::path copy_;
};

int convertFormFile(const Arguments& args, std::ostream& out) {
  const fs::path output = args.required("-o");
  const std::vector<uint8_t> bytes = convertForm(args.input);
  StagedFiles files;
  files.stageBytes(output, bytes);
  files.commit();
  out << "koxbuild: wrote " << output.string() << " (" << bytes.size() << " bytes)\n";
  return kExitOk;
}

int build(const Arguments& args, std::ostream& out) {
  const fs::path output = args.required("-o");
  const fs::path stubPath = args.required("--stub");
  if (args.option("--res") && args.option("--res-dir")) throw UsageError{"give --res or --res-dir, not both"};
  if (args.option("--msi") && args.option("--msp")) throw UsageError{"give --msi or --msp, not both"};
  if (output.filename().empty() || !output.has_stem()) throw UsageError{"-o names the setup executable"};

  // Everything is read and checked before anything is written.
  const SetupPackage package = readSource(args.input);
  const std::vector<uint8_t> executable = setupExecutableBytes(readFileBytes(stubPath), package);
  const fs::path folder = output.parent_path();
  const std::string base = output.stem().string();
  struct Extra {
    const char* option;
    fs::path target;
  };
  const Extra extras[] = {
      {"--res", folder / (base + ".res")}, {"--msi", folder / (base + ".msi")},
      {"--msp", folder / (base + ".msp")}, {"--bmp", folder / "setup.bmp"},
      {"--instance", folder / "instance.dat"}, {"--lib", folder / "kox.lib"},
  };
  for (const Extra& extra : extras)
    if (auto source = args.option(extra.option)) requireFile(extra.option, *source);
  const std::optional<std::string> resFolder = args.option("--res-dir");
  if (resFolder && !fs::is_directory(*resFolder)) throw EngineError("--res-dir: \"" + *resFolder + "\" is not a folder");

  std::optional<ArchiveSource> archiveSource;
  if (resFolder) archiveSource.emplace(*resFolder);

  if (!folder.empty()) fs::create_directories(folder);
  StagedFiles files;
  if (archiveSource)
    makeSevenZipArchive(archiveSource->folder(), files.stage(folder / (base + ".res")),
                        args.option("--7z").value_or("7zz"));
  for (const Extra& extra : extras)
    if (auto source = args.option(extra.option)) files.stageCopy(extra.target, *source);
  files.stageBytes(output, executable);  // last, so the setup appears only with its files
  files.commit();
  out << "koxbuild: wrote " << output.string() << " (" << package.commandNames.size() << " commands, "
      << executable.size() << " bytes)\n";
  return kExitOk;
}

int writePackageFile(const Arguments& args, std::ostream& out) {
  const fs::path output = args.required("-o");
  const SetupPackage package = readSource(args.input);
  const std::string text = writePackage(package);
  StagedFiles files;
  files.stageBytes(output, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  files.commit();
  out << "koxbuild: wrote " << output.string() << " (" << text.size() << " bytes)\n";
  return kExitOk;
}

int dump(const Arguments& args, std::ostream& out, std::ostream& err) {
  const std::vector<uint8_t> bytes = readFileBytes(args.input);
  size_t packageStart = 0;
  if (bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z') {
    packageStart = static_cast<size_t>(peImageEnd(bytes));
    if (packageStart == bytes.size()) throw EngineError("\"" + args.input + "\" carries no setup package");
  }
  const std::string text(bytes.begin() + static_cast<ptrdiff_t>(packageStart), bytes.end());
  const std::string source = dumpSetupSource(parsePackageAsWritten(text));

  // Tell when a rebuild from this source would not give the same bytes (a
  // package not written in the writer's form).
  try {
    if (writePackage(parseSetupSource(source, "dump")) != text)
      err << "koxbuild: note: the package is not in the form koxbuild writes (numbers, line ends or data "
             "behind it); a build from this source gives the same content in different bytes\n";
  } catch (const EngineError& e) {
    err << "koxbuild: note: this source cannot be built again as it stands: " << e.what() << "\n";
  }

  if (auto output = args.option("-o")) {
    StagedFiles files;
    files.stageBytes(*output, std::span(reinterpret_cast<const uint8_t*>(source.data()), source.size()));
    files.commit();
  } else {
    out << source;
  }
  return kExitOk;
}

}  // namespace

int runKoxbuild(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  try {
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h" || arguments[0] == "help") {
      (arguments.empty() ? err : out) << kUsage;
      return arguments.empty() ? kExitUsage : kExitOk;
    }
    const std::string& command = arguments[0];
    if (command == "build")
      return build(parseArguments(arguments, {"-o", "--stub", "--res", "--res-dir", "--7z", "--msi", "--msp",
                                              "--bmp", "--instance", "--lib"}),
                   out);
    if (command == "package") return writePackageFile(parseArguments(arguments, {"-o"}), out);
    if (command == "dump") return dump(parseArguments(arguments, {"-o"}), out, err);
    if (command == "form") return convertFormFile(parseArguments(arguments, {"-o"}), out);
    throw UsageError{"unknown command \"" + command + "\""};
  } catch (const UsageError& e) {
    err << "koxbuild: " << e.message << "\n" << kUsage;
    return kExitUsage;
  } catch (const std::exception& e) {
    err << "koxbuild: " << e.what() << "\n";
    return kExitFailed;
  }
}

}  // namespace kox
