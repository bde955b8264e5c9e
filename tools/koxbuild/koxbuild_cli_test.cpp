#include "tools/koxbuild/koxbuild_cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/startup/package.h"
#include "tools/koxbuild/archive_tool.h"
#include "tools/koxbuild/package_writer.h"
#include "tools/koxbuild/setup_executable.h"
#include "tools/koxbuild/setup_source.h"
#include "tools/koxbuild/test_images.h"

namespace kox {
namespace {

namespace fs = std::filesystem;

constexpr char kSource[] =
    "[setup]\n"
    "title = Velmora Viewer\n"
    "product-code = {11111111-2222-3333-4444-555555555555}\n"
    "revision-code = {AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}\n"
    "[script]\n"
    "command = Set Variable\n"
    "param = NAME$KELD$KELD$FALSE\n"
    "param = $\n";

class KoxbuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("koxbuild_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    write("setup.src", kSource);
    const std::vector<uint8_t> stub = testing::minimalImage();
    write("koxstub.exe", std::string(stub.begin(), stub.end()));
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  void write(const std::string& name, const std::string& text) const {
    fs::create_directories((dir_ / name).parent_path());
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) const {
    std::vector<uint8_t> bytes = readFileBytes(dir_ / name);
    return std::string(bytes.begin(), bytes.end());
  }
  int run(std::vector<std::string> arguments) {
    out_.str("");
    err_.str("");
    return runKoxbuild(arguments, out_, err_);
  }
  std::vector<fs::path> filesIn(const std::string& folder) const {
    std::vector<fs::path> files;
    if (fs::exists(dir_ / folder))
      for (const auto& entry : fs::directory_iterator(dir_ / folder)) files.push_back(entry.path().filename());
    std::sort(files.begin(), files.end());
    return files;
  }

  fs::path dir_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(KoxbuildTest, BuildWritesTheSetupAndItsFilesBesideIt) {
  write("product.7z", "7z archive bytes");
  write("product.msi", "msi bytes");
  write("setup.bmp", "bmp");
  write("instance.dat", "instance");
  write("kox.lib", "lib");
  ASSERT_EQ(run({"build", path("setup.src"), "-o", path("out/velmora.exe"), "--stub", path("koxstub.exe"),
                 "--res", path("product.7z"), "--msi", path("product.msi"), "--bmp", path("setup.bmp"),
                 "--instance", path("instance.dat"), "--lib", path("kox.lib")}),
            kExitOk)
      << err_.str();
  EXPECT_EQ(filesIn("out"), (std::vector<fs::path>{"instance.dat", "kox.lib", "setup.bmp", "velmora.exe",
                                                    "velmora.msi", "velmora.res"}));
  EXPECT_EQ(read("out/velmora.res"), "7z archive bytes");
  EXPECT_EQ(read("out/velmora.msi"), "msi bytes");

  // The engine's own reader finds the package behind the image.
  std::optional<SetupPackage> package = readSetupPackage(dir_ / "out/velmora.exe", dir_);
  ASSERT_TRUE(package.has_value());
  EXPECT_EQ(package->productTitle, "Velmora Viewer");
  EXPECT_EQ(package->parameters.back(), "$");
  EXPECT_EQ(package->sourceLineMap[0], path("setup.src") + "*5");
}

TEST_F(KoxbuildTest, RebuildReplacesTheEarlierSetup) {
  write("product.msi", "old msi");
  const std::vector<std::string> build = {"build", path("setup.src"), "-o", path("out/setup.exe"), "--stub",
                                          path("koxstub.exe"), "--msi", path("product.msi")};
  ASSERT_EQ(run(build), kExitOk) << err_.str();
  write("setup.src", std::string(kSource) + "command = Ignore\n");
  write("product.msi", "new msi");
  ASSERT_EQ(run(build), kExitOk) << err_.str();
  EXPECT_EQ(readSetupPackage(dir_ / "out/setup.exe", dir_)->commandNames.size(), 2u);
  EXPECT_EQ(read("out/setup.msi"), "new msi");
  EXPECT_EQ(filesIn("out"), (std::vector<fs::path>{"setup.exe", "setup.msi"}));  // no temporary left
}

TEST_F(KoxbuildTest, BadSourceWritesNothingAndNamesFileAndLine) {
  write("bad.src", std::string(kSource) + "colour = red\n");
  EXPECT_EQ(run({"build", path("bad.src"), "-o", path("out/setup.exe"), "--stub", path("koxstub.exe")}),
            kExitFailed);
  EXPECT_NE(err_.str().find(path("bad.src") + ":9: unknown command key \"colour\""), std::string::npos) << err_.str();
  EXPECT_FALSE(fs::exists(dir_ / "out"));
}

TEST_F(KoxbuildTest, MissingInputsWriteNothing) {
  struct Case {
    std::vector<std::string> extra;
    const char* expected;
  } cases[] = {
      {{"--msi", "absent.msi"}, "--msi: \"absent.msi\" is not a file"},
      {{"--res-dir", "absent"}, "--res-dir: \"absent\" is not a folder"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"build", path("setup.src"), "-o", path("out/setup.exe"), "--stub",
                                     path("koxstub.exe")};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    EXPECT_EQ(run(args), kExitFailed);
    EXPECT_NE(err_.str().find(c.expected), std::string::npos) << err_.str();
    EXPECT_FALSE(fs::exists(dir_ / "out"));
  }
  write("notpe.exe", "just text");
  EXPECT_EQ(run({"build", path("setup.src"), "-o", path("out/setup.exe"), "--stub", path("notpe.exe")}),
            kExitFailed);
  EXPECT_NE(err_.str().find("the engine stub cannot carry a package"), std::string::npos) << err_.str();
  EXPECT_FALSE(fs::exists(dir_ / "out"));
}

TEST_F(KoxbuildTest, UsageErrors) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {},
           {"frobnicate"},
           {"build", path("setup.src"), "--stub", path("koxstub.exe")},
           {"build", path("setup.src"), "-o", "x.exe"},
           {"build", path("setup.src"), "-o", "x.exe", "--stub", "s", "--msi", "a", "--msp", "b"},
           {"build", path("setup.src"), "-o", "x.exe", "--stub", "s", "--res", "a", "--res-dir", "b"},
           {"build", path("setup.src"), "-o"},
           {"build", path("setup.src"), "-o", "x", "-o", "y"},
           {"build", "a.src", "b.src"},
           {"dump", "--colour", "x"},
       }) {
    EXPECT_EQ(run(args), kExitUsage) << (args.empty() ? "" : args[0]);
    EXPECT_NE(err_.str().find("usage:"), std::string::npos);
  }
  EXPECT_EQ(run({"--help"}), kExitOk);
  EXPECT_NE(out_.str().find("koxbuild build"), std::string::npos);
}

TEST_F(KoxbuildTest, DumpOfABuiltSetupBuildsTheSameSetup) {
  ASSERT_EQ(run({"build", path("setup.src"), "-o", path("a/setup.exe"), "--stub", path("koxstub.exe")}), kExitOk);
  ASSERT_EQ(run({"dump", path("a/setup.exe"), "-o", path("dumped.src")}), kExitOk) << err_.str();
  EXPECT_EQ(err_.str(), "");
  ASSERT_EQ(run({"build", path("dumped.src"), "-o", path("b/setup.exe"), "--stub", path("a/setup.exe")}), kExitOk)
      << err_.str();
  EXPECT_EQ(read("a/setup.exe"), read("b/setup.exe"));

  // A bare package file dumps too, to standard output.
  ASSERT_EQ(run({"package", path("setup.src"), "-o", path("setup.pkg")}), kExitOk);
  ASSERT_EQ(run({"dump", path("setup.pkg")}), kExitOk);
  EXPECT_EQ(out_.str(), read("dumped.src"));
}

TEST_F(KoxbuildTest, DumpTellsWhenARebuildWouldDiffer) {
  ASSERT_EQ(run({"package", path("setup.src"), "-o", path("setup.pkg")}), kExitOk);
  std::string package = read("setup.pkg");
  write("padded.pkg", package + "trailing signature bytes");
  ASSERT_EQ(run({"dump", path("padded.pkg")}), kExitOk);
  EXPECT_NE(err_.str().find("note:"), std::string::npos);

  EXPECT_EQ(run({"dump", path("koxstub.exe")}), kExitFailed);
  EXPECT_NE(err_.str().find("carries no setup package"), std::string::npos) << err_.str();
}

TEST_F(KoxbuildTest, ResourceFolderIsArchivedWith7Zip) {
  try {
    if (runProgram({"7zz", "i"}) != 0) GTEST_SKIP() << "7zz does not run here";
  } catch (const std::exception&) {
    GTEST_SKIP() << "7zz is not installed here";
  }
  write("media/readme", "read me");
  write("media/sub/license", "licence");
  ASSERT_EQ(run({"build", path("setup.src"), "-o", path("out/setup.exe"), "--stub", path("koxstub.exe"),
                 "--res-dir", path("media")}),
            kExitOk)
      << err_.str();
  ASSERT_TRUE(fs::exists(dir_ / "out/setup.res"));
  ASSERT_EQ(runProgram({"7zz", "x", "-y", "-bso0", "-bsp0", "-o" + path("unpacked"), path("out/setup.res")}), 0);
  EXPECT_EQ(read("unpacked/readme"), "read me");
  EXPECT_EQ(read("unpacked/sub/license"), "licence");

  // A failing archiver leaves no setup behind.
  EXPECT_EQ(run({"build", path("setup.src"), "-o", path("out2/setup.exe"), "--stub", path("koxstub.exe"),
                 "--res-dir", path("media"), "--7z", "false"}),
            kExitFailed);
  EXPECT_FALSE(fs::exists(dir_ / "out2/setup.exe"));
  EXPECT_EQ(filesIn("out2"), std::vector<fs::path>{});
}

}  // namespace
}  // namespace kox
