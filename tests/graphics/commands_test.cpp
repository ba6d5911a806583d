// The main window's commands without a window: Open Limit, Save As and the byte copy under it,
// a drawing set aside and given back, and the world point under the cursor.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/fileutil.h"
#include "graphics/fakes.h"
#include "graphics/show.h"

namespace plotvue::testing {
namespace {

namespace fs = std::filesystem;
using Records = std::vector<std::string>;

struct Scratch {
  Scratch() {
    dir = fs::temp_directory_path() /
          ("plotvue_cmd_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::create_directories(dir);
  }
  ~Scratch() {
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir, ec);
  }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  fs::path dir;
  static inline int counter = 0;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Bytes of every value, CR, LF, NUL and bytes above 127 included.
std::string AllBytes(std::size_t n) {
  std::string s;
  for (std::size_t k = 0; k < n; ++k) s += static_cast<char>((k * 131 + k / 7) % 256);
  return s;
}

TEST(CopyFileAtomically, CopiesEveryByteAndRefusesWhatWouldLoseData) {
  Scratch d;
  // Larger than one block of the copy.
  const std::string bytes = AllBytes((1u << 20) * 2 + 12345);
  const std::string from = d.Write("a.plt", bytes);
  std::string why;
  ASSERT_TRUE(CopyFileAtomically(from, d.Path("b.plt"), &why)) << why;
  EXPECT_EQ(ReadAll(d.Path("b.plt")), bytes);
  // Over an existing file: replaced whole.
  d.Write("c.plt", "old");
  ASSERT_TRUE(CopyFileAtomically(from, d.Path("c.plt"), &why));
  EXPECT_EQ(ReadAll(d.Path("c.plt")), bytes);

  // Onto itself, also through another name: refused, the file intact.
  EXPECT_FALSE(CopyFileAtomically(from, from, &why));
  EXPECT_EQ(why, "same file");
  fs::create_hard_link(from, d.Path("link.plt"));
  EXPECT_FALSE(CopyFileAtomically(from, d.Path("link.plt"), &why));
  fs::create_symlink(from, d.Path("sym.plt"));
  EXPECT_FALSE(CopyFileAtomically(from, d.Path("sym.plt"), &why));
  EXPECT_EQ(ReadAll(from), bytes);

  // A directory as source or target, a missing source, a missing target folder.
  fs::create_directory(d.dir / "sub");
  EXPECT_FALSE(CopyFileAtomically(d.Path("sub"), d.Path("x.plt"), &why));
  EXPECT_FALSE(CopyFileAtomically(from, d.Path("sub"), &why));
  EXPECT_FALSE(CopyFileAtomically(d.Path("missing.plt"), d.Path("x.plt"), &why));
  EXPECT_FALSE(CopyFileAtomically(from, d.Path("nodir/x.plt"), &why));
  EXPECT_FALSE(fs::exists(d.Path("x.plt")));
  // Nothing is left behind but the files named.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(d.dir)) ++entries;
  EXPECT_EQ(entries, 6);  // a, b, c, link, sym, sub
}

TEST(CopyFileAtomically, DeviceTargetIsRefused) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  Scratch d;
  const std::string from = d.Write("a.plt", AllBytes(5000));
  std::string why;
  // /dev/full is no regular file: the copy refuses it instead of writing into it.
  EXPECT_FALSE(CopyFileAtomically(from, "/dev/full", &why));
}

TEST(SaveAsCommand, CopiesTheCurrentFileByteForByte) {
  Scratch d;
  WindowFixture f;
  const std::string bytes = "IN;SP1;PU0,0;PD100,100;\r\n\x1b.(\xff\x00 LBtext\x03;" + AllBytes(300);
  f.program.file = CurrentFile::FromPath(d.Write("plan.plt", bytes));
  f.ui.saveAnswer = d.Path("copy.plt");
  EXPECT_EQ(SaveAsCommand(f.program), d.Path("copy.plt"));
  EXPECT_EQ(ReadAll(d.Path("copy.plt")), bytes);
  // The current file stays the current file.
  EXPECT_EQ(f.program.file.Path(), d.Path("plan.plt"));
  EXPECT_TRUE(f.ui.messages.empty());
  EXPECT_TRUE(f.ui.errors.empty());

  // Cancel writes nothing.
  f.ui.saveAnswer.reset();
  EXPECT_EQ(SaveAsCommand(f.program), "");
  EXPECT_TRUE(f.program.ErrorFlag);

  // The plot file as its own target: refused with a message, the file intact.
  f.ui.saveAnswer = d.Path("plan.plt");
  EXPECT_EQ(SaveAsCommand(f.program), "");
  ASSERT_EQ(f.ui.errors.size(), 1u);
  EXPECT_NE(f.ui.errors[0].find("plan.plt"), std::string::npos);
  EXPECT_EQ(ReadAll(d.Path("plan.plt")), bytes);
}

TEST(SaveAsCommand, WithoutAReadableFileSaysSo) {
  Scratch d;
  WindowFixture f;
  f.ui.saveAnswer = d.Path("copy.plt");
  // No file yet, a file gone since, a directory.
  for (const std::string& path : {std::string(), d.Path("gone.plt"), d.dir.string() + "/"}) {
    f.program.file = path.empty() ? CurrentFile{} : CurrentFile::FromPath(path);
    f.ui.messages.clear();
    EXPECT_EQ(SaveAsCommand(f.program), "");
    EXPECT_EQ(f.ui.messages, (Records{"Aucun fichier ouvert"})) << path;
  }
  EXPECT_FALSE(fs::exists(d.Path("copy.plt")));
}

TEST(OpenLimitCommand, ShowsTheFileInTheLimitsEnteredWithoutAScan) {
  Scratch d;
  WindowFixture f;
  const std::string path = d.Write("a.plt", "IN;SP1;PU400,400;PD800,400;");
  f.ui.openAnswer = path;
  WorldRect offered;
  // x min above x max goes to the window as entered.
  const WorldRect entered{50.0L, -5.0L, 10.0L, 40.0L};
  ASSERT_TRUE(OpenLimitCommand(f.program, f.device, [&](const WorldRect& current) {
    offered = current;
    return std::optional<WorldRect>(entered);
  }));
  EXPECT_EQ(f.window.view().WorldWindow, entered);
  EXPECT_EQ(f.program.file.Path(), path);
  EXPECT_EQ(f.program.settings.PlotFile, "a");
  EXPECT_EQ(f.program.settings.InPath, d.dir.string() + "/");
  // The line of the file was drawn; no scan ran, so the extents are still empty.
  const Records records = f.Records();
  EXPECT_NE(std::find(records.begin(), records.end(), "4;10;10;20;10"), records.end());
  EXPECT_TRUE(f.program.extents.Empty());
  // The dialog was offered the window held before (the unit window of a new window).
  EXPECT_EQ(offered, (WorldRect{0, 0, 1, 1}));
}

TEST(OpenLimitCommand, CancelInEitherDialogReadsNothing) {
  Scratch d;
  WindowFixture f;
  const std::string path = d.Write("a.plt", "IN;SP1;PU400,400;PD800,400;");
  f.window.list().AddColor(3);
  const Records before = f.Records();
  f.ui.openAnswer.reset();
  bool asked = false;
  auto ask = [&](const WorldRect&) {
    asked = true;
    return std::optional<WorldRect>();
  };
  EXPECT_FALSE(OpenLimitCommand(f.program, f.device, ask));
  EXPECT_TRUE(f.program.ErrorFlag);
  EXPECT_FALSE(asked);
  f.ui.openAnswer = path;
  EXPECT_FALSE(OpenLimitCommand(f.program, f.device, ask));
  EXPECT_TRUE(asked);
  EXPECT_TRUE(f.program.ErrorFlag);
  EXPECT_TRUE(f.program.file.base.empty());
  EXPECT_EQ(f.Records().front(), before.front());
}

TEST(HoldPicture, GivesBackTheDrawingAndItsView) {
  WindowFixture f;
  f.device.DevSetWindow(true, true, 0, 0, 1, 0.95L, 0, 0, 100, 50);
  f.device.DevLine(1, 2, 3, 4);
  f.window.SetScale(10, 10, 200, 100);
  const Records records = f.Records();
  const ViewState view = f.window.view();
  const auto stamp = f.window.ChangeCount();

  GraphicsWindow::Picture held;
  f.window.HoldPicture(held);
  EXPECT_TRUE(f.Records().empty());
  // Another drawing is built meanwhile...
  f.device.DevSetWindow(true, true, 0, 0, 1, 0.95L, -7, -7, 7, 7);
  f.device.DevLine(5, 5, 6, 6);
  f.window.RestorePicture(held);
  // ...and dropped: the old one is back whole, and counts as a change for the picture cache.
  EXPECT_EQ(f.Records(), records);
  EXPECT_EQ(f.window.view().WorldWindow, view.WorldWindow);
  EXPECT_EQ(f.window.view().ZoomRect, view.ZoomRect);
  EXPECT_EQ(f.window.view().ViewPort, view.ViewPort);
  EXPECT_NE(f.window.ChangeCount(), stamp);
  EXPECT_TRUE(held.list.Empty());
}

TEST(ClientToWorld, InvertsTheScreenTransforms) {
  WindowFixture f;
  f.device.DevSetWindow(true, true, 0, 0, 1, 0.95L, -20, 0, 30, 60);
  for (const auto& [x, y] : std::vector<std::pair<long double, long double>>{
           {-20, 0}, {30, 60}, {0, 0}, {12.5L, 33.3L}}) {
    long double wx = 0, wy = 0;
    ASSERT_TRUE(f.window.ClientToWorld(f.window.ScreenX(x), f.window.ScreenY(y), wx, wy));
    // Within a pixel of the point.
    EXPECT_NEAR(static_cast<double>(wx), static_cast<double>(x), 1.0 / f.window.view().ScaleX);
    EXPECT_NEAR(static_cast<double>(wy), static_cast<double>(y), 1.0 / f.window.view().ScaleY);
  }
}

}  // namespace
}  // namespace plotvue::testing
