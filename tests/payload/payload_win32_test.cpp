// Under Wine: the gzip step with the same zlib and C runtime setup.exe
// uses, the writing of archive entries below a destination directory, and
// the progress bar drawn into a real static control.
#include <gtest/gtest.h>

#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "payload/entry_install.h"
#include "payload/install_tree.h"
#include "payload/gunzip_rules.h"
#include "payload/progress_bar.h"
#include "common/product.h"
#include "resources/setup_texts.h"
#include "tests/payload/archive_builder.h"
#include "tests/payload/file_by_path.h"

namespace {

std::string ReadAll(const std::string &path)
{
  std::string bytes;
  FILE *file = std::fopen(path.c_str(), "rb");
  if (file == nullptr)
    return bytes;
  char block[4096];
  size_t got = 0;
  while ((got = std::fread(block, 1, sizeof(block), file)) > 0)
    bytes.append(block, got);
  std::fclose(file);
  return bytes;
}

void WriteAll(const std::string &path, const std::string &bytes)
{
  FILE *file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

bool Exists(const std::string &path)
{
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A gzip member made by zlib's own deflate with the gzip wrapper.
std::string Gzip(const std::string &data)
{
  z_stream stream = {};
  deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 64, '\0');
  stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef *>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// A fresh directory below the Windows temporary directory.
std::string FreshDir(const char *name)
{
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  std::string dir =
      std::string(temp) + "zvpay-" + name + "-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

// The real payload's shape: 19 entries with varied data, then enough bytes
// after the last entry that a fault placed behind them lies beyond the
// 16 KB zlib may drop when it meets an error.
std::string ArchiveWithTail(size_t tailBytes)
{
  std::vector<uint8_t> archive = SampleArchive(PayloadEntryCount);
  std::string bytes(archive.begin(), archive.end());
  uint32_t x = 7;
  for (size_t i = 0; i < tailBytes; ++i) {
    x = x * 1664525u + 1013904223u;
    bytes.push_back(static_cast<char>('a' + (x >> 24) % 26));
  }
  return bytes;
}

struct GunzipRun {
  Messages messages;
  bool ok = false;
  std::string output;
};

GunzipRun RunGunzip(const std::string &dir, const std::string &gz, bool writeInput = true)
{
  std::string in = dir + "\\filesdata.gz";
  std::string out = dir + "\\filesdata.dat";
  DeleteFileA(out.c_str());
  if (writeInput)
    WriteAll(in, gz);
  else
    DeleteFileA(in.c_str());
  GunzipRun run;
  GzipReporter reporter = {CollectDirect, CollectError, &run.messages};
  run.ok = GunzipFileReporting(out.c_str(), in.c_str(), &reporter);
  run.output = ReadAll(out);
  return run;
}

TEST(PayloadGunzipWine, WholeArchiveComesOutUnchanged)
{
  std::string dir = FreshDir("gz-ok");
  std::string archive = ArchiveWithTail(0);
  GunzipRun run = RunGunzip(dir, Gzip(archive));
  EXPECT_TRUE(run.ok);
  EXPECT_EQ(run.output, archive);
  EXPECT_TRUE(run.messages.direct.empty() && run.messages.errors.empty());
}

TEST(PayloadGunzipWine, CrcMismatchAfterTheLastEntryFailsTheStep)
{
  std::string dir = FreshDir("gz-crc");
  // 64 KB after the nineteenth entry: an installer that ignored the error
  // would find all 19 entries in the output.
  std::string archive = ArchiveWithTail(65536);
  std::string gz = Gzip(archive);
  gz[gz.size() - 6] = static_cast<char>(gz[gz.size() - 6] ^ 0x40);
  GunzipRun run = RunGunzip(dir, gz);
  EXPECT_FALSE(run.ok);
  ASSERT_EQ(run.messages.errors.size(), 1u);
  EXPECT_EQ(run.messages.errors[0], dir + "\\filesdata.gz: incorrect data check");
  std::vector<uint8_t> entries = SampleArchive(PayloadEntryCount);
  EXPECT_GE(run.output.size(), entries.size());
}

TEST(PayloadGunzipWine, CorruptDeflateDataFailsTheStep)
{
  std::string dir = FreshDir("gz-bad");
  std::string archive = ArchiveWithTail(200000);
  std::string gz = Gzip(archive);
  for (size_t i = gz.size() - 2000; i < gz.size() - 1900; ++i)
    gz[i] = static_cast<char>(~gz[i]);
  GunzipRun run = RunGunzip(dir, gz);
  EXPECT_FALSE(run.ok);
  ASSERT_EQ(run.messages.errors.size(), 1u);
  EXPECT_EQ(run.messages.errors[0].rfind(dir + "\\filesdata.gz: ", 0), 0u)
      << run.messages.errors[0];
}

TEST(PayloadGunzipWine, InputThatIsNotGzipPassesThrough)
{
  std::string dir = FreshDir("gz-plain");
  std::string archive = ArchiveWithTail(100);
  GunzipRun run = RunGunzip(dir, archive);
  EXPECT_TRUE(run.ok);
  EXPECT_EQ(run.output, archive);
}

TEST(PayloadGunzipWine, MissingInputAndUncreatableOutputAreNamed)
{
  std::string dir = FreshDir("gz-missing");
  GunzipRun run = RunGunzip(dir, "", false);
  EXPECT_FALSE(run.ok);
  ASSERT_EQ(run.messages.direct.size(), 1u);
  EXPECT_EQ(run.messages.direct[0], FilledText(CantOpenFileFormat, dir + "\\filesdata.gz"));
  EXPECT_FALSE(Exists(dir + "\\filesdata.dat"));

  // The output's name is taken by a directory: it cannot be created.
  std::string out = dir + "\\filesdata.dat";
  CreateDirectoryA(out.c_str(), nullptr);
  Messages messages;
  GzipReporter reporter = {CollectDirect, CollectError, &messages};
  std::string in = dir + "\\filesdata.gz";
  WriteAll(in, Gzip("data"));
  EXPECT_FALSE(GunzipFileReporting(out.c_str(), in.c_str(), &reporter));
  ASSERT_EQ(messages.direct.size(), 1u);
  EXPECT_EQ(messages.direct[0], FilledText(CantCreateFileFormat, out));
  RemoveDirectoryA(out.c_str());
}

// Entry writing.

struct Announced {
  std::vector<std::string> paths;
};
void Remember(void *context, const char *path)
{
  static_cast<Announced *>(context)->paths.push_back(path);
}

class PayloadEntryWine : public ::testing::Test {
protected:
  void SetUp() override
  {
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    base_ = FreshDir(info->name());
    install_ = base_ + "\\dest";
    CreateDirectoryA(install_.c_str(), nullptr);
    archivePath_ = base_ + "\\filesdata.dat";
  }

  void Write(const std::vector<uint8_t> &archive)
  {
    WriteAll(archivePath_, std::string(archive.begin(), archive.end()));
  }

  // Installs count entries (or until one fails) and returns the outcomes.
  std::vector<EntryOutcome> Install(int count)
  {
    std::vector<EntryOutcome> outcomes;
    FILE *archive = std::fopen(archivePath_.c_str(), "rb");
    EXPECT_NE(archive, nullptr);
    if (archive == nullptr)
      return outcomes;
    HANDLE root = INVALID_HANDLE_VALUE;
    EXPECT_EQ(OpenInstallFolder(install_.c_str(), &root), TreeOpened);
    EntryAnnouncer announcer = {Remember, &announced_, nullptr, nullptr};
    for (int i = 0; i < count; ++i) {
      outcomes.push_back(InstallArchiveEntry(archive, root, install_.c_str(), &announcer));
      if (outcomes.back() != EntryInstalled)
        break;
    }
    CloseHandle(root);
    std::fclose(archive);
    return outcomes;
  }

  std::string base_;
  std::string install_;
  std::string archivePath_;
  Announced announced_;
};

TEST_F(PayloadEntryWine, NineteenEntriesWithSubdirectoriesLandByteForByte)
{
  std::vector<uint8_t> archive = SampleArchive(PayloadEntryCount);
  archive.insert(archive.end(), 5000, 0xEE);  // ignored
  Write(archive);
  std::vector<EntryOutcome> outcomes = Install(PayloadEntryCount);
  ASSERT_EQ(outcomes.size(), static_cast<size_t>(PayloadEntryCount));
  for (int i = 0; i < PayloadEntryCount; ++i) {
    EXPECT_EQ(outcomes[i], EntryInstalled);
    std::string path = install_ + "\\" + SampleName(i);
    EXPECT_EQ(ReadAll(path), SampleData(i)) << path;
    EXPECT_EQ(announced_.paths[i], path);
  }
}

TEST_F(PayloadEntryWine, ThreeComponentsMakeBothDirectoriesAndOverwriteTruncates)
{
  std::vector<uint8_t> archive;
  AppendEntry(&archive, "a\\b\\c.txt", "a long first version of the file");
  AppendEntry(&archive, "a\\b\\c.txt", "short");
  Write(archive);
  std::vector<EntryOutcome> outcomes = Install(2);
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_EQ(outcomes[1], EntryInstalled);
  EXPECT_NE(GetFileAttributesA((install_ + "\\a\\b").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(ReadAll(install_ + "\\a\\b\\c.txt"), "short");
}

TEST_F(PayloadEntryWine, SizeZeroEntryIsAnEmptyFile)
{
  std::vector<uint8_t> archive;
  AppendEntry(&archive, "empty.txt", "");
  AppendEntry(&archive, "next.txt", "next");
  Write(archive);
  std::vector<EntryOutcome> outcomes = Install(2);
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_EQ(outcomes[0], EntryInstalled);
  EXPECT_TRUE(Exists(install_ + "\\empty.txt"));
  EXPECT_EQ(ReadAll(install_ + "\\empty.txt"), "");
  EXPECT_EQ(ReadAll(install_ + "\\next.txt"), "next");
}

TEST_F(PayloadEntryWine, NamesThatLeaveTheDestinationWriteNothing)
{
  const char *names[] = {"..\\escaped.txt",
                         "sub/../../escaped.txt",
                         "sub\\..\\..\\escaped.txt",
                         "\\escaped.txt",
                         "C:escaped.txt",
                         "escaped.txt:stream",
                         "CON",
                         "sub\\aux.txt",
                         ""};
  for (const char *name : names) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> archive;
    AppendEntry(&archive, name, "should not be written");
    Write(archive);
    announced_.paths.clear();
    std::vector<EntryOutcome> outcomes = Install(1);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0], EntryBadName);
    EXPECT_TRUE(announced_.paths.empty());
  }
  EXPECT_FALSE(Exists(base_ + "\\escaped.txt"));
  EXPECT_FALSE(Exists(install_ + "\\sub"));
}

TEST_F(PayloadEntryWine, ArchiveEndingInsideAnEntryWritesNothingForIt)
{
  std::vector<uint8_t> whole;
  AppendEntry(&whole, "first.txt", "complete");
  size_t firstEnd = whole.size();
  AppendEntry(&whole, "dir\\second.txt", "cut short");
  for (size_t cut = firstEnd; cut < whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    DeleteFileA((install_ + "\\dir\\second.txt").c_str());
    Write(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut)));
    std::vector<EntryOutcome> outcomes = Install(2);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0], EntryInstalled);
    EXPECT_EQ(outcomes[1], EntryTruncated);
    EXPECT_FALSE(Exists(install_ + "\\dir\\second.txt"));
    EXPECT_FALSE(Exists(install_ + "\\dir\\second.txt.zvpart"));
  }
}

// Entries pass through one fixed block into a part file: an entry several
// blocks long lands byte for byte, and one whose data ends in a later block
// leaves the earlier file of its name as it was and no part file.
TEST_F(PayloadEntryWine, EntriesLargerThanTheCopyBlockLandWholeOrNotAtAll)
{
  std::string big(2500000, '\0');  // more than two of the copy's 1 MiB blocks
  uint32_t x = 3;
  for (char &c : big) {
    x = x * 1664525u + 1013904223u;
    c = static_cast<char>(x >> 24);
  }
  std::vector<uint8_t> archive;
  AppendEntry(&archive, "Sounds\\big.wav", big);
  AppendEntry(&archive, "after.txt", "after");
  Write(archive);
  std::vector<EntryOutcome> outcomes = Install(2);
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_EQ(outcomes[0], EntryInstalled);
  std::string path = install_ + "\\Sounds\\big.wav";
  EXPECT_EQ(ReadAll(path), big);
  EXPECT_EQ(ReadAll(install_ + "\\after.txt"), "after");
  EXPECT_FALSE(Exists(path + ".zvpart"));

  WriteAll(path, "the earlier file");
  archive.resize(archive.size() - 300000);
  Write(archive);
  outcomes = Install(1);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_EQ(outcomes[0], EntryTruncated);
  EXPECT_EQ(ReadAll(path), "the earlier file");
  EXPECT_FALSE(Exists(path + ".zvpart"));
}

TEST_F(PayloadEntryWine, EmbeddedNulCutsTheNameAndTheNextEntryStillReads)
{
  std::vector<uint8_t> archive;
  AppendEntry(&archive, std::string("good.txt\0..\\bad", 16), "good");
  AppendEntry(&archive, "after.txt", "after");
  Write(archive);
  std::vector<EntryOutcome> outcomes = Install(2);
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_EQ(outcomes[1], EntryInstalled);
  EXPECT_EQ(ReadAll(install_ + "\\good.txt"), "good");
  EXPECT_EQ(ReadAll(install_ + "\\after.txt"), "after");
}

TEST_F(PayloadEntryWine, DestinationThatIsADirectoryFailsTheEntry)
{
  CreateDirectoryA((install_ + "\\taken").c_str(), nullptr);
  std::vector<uint8_t> archive;
  AppendEntry(&archive, "taken", "x");
  Write(archive);
  std::vector<EntryOutcome> outcomes = Install(1);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_EQ(outcomes[0], EntryNotCreated);
  EXPECT_FALSE(Exists(install_ + "\\taken.zvpart"));
}

TEST_F(PayloadEntryWine, PathsThatWouldNotFitTheirBuffersFailTheEntry)
{
  // A name that overflows the 512-byte destination buffer.
  std::string veryLong = "C:\\" + std::string(400, 'v');
  std::vector<uint8_t> archive;
  AppendEntry(&archive, std::string(120, 'n'), "x");
  Write(archive);
  FILE *file = std::fopen(archivePath_.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  EntryAnnouncer announcer = {Remember, &announced_, nullptr, nullptr};
  EXPECT_EQ(InstallArchiveEntry(file, INVALID_HANDLE_VALUE, veryLong.c_str(), &announcer),
            EntryPathTooLong);
  std::fclose(file);
  EXPECT_TRUE(announced_.paths.empty());
}

// The right edge of the bar's done part as drawn: the blue run along the
// top row, which the centred percentage never reaches. -1 when the screen
// cannot be read.
int DrawnDoneEdge(HWND bar)
{
  RECT client;
  GetClientRect(bar, &client);
  HDC dc = GetDC(bar);
  int edge = GetPixel(dc, 0, 0) == CLR_INVALID ? -1 : 0;
  while (edge >= 0 && edge < client.right && GetPixel(dc, edge, 0) == RGB(0, 0, 255))
    ++edge;
  ReleaseDC(bar, dc);
  return edge;
}

// The progress bar in a real window: the drawn position follows the
// arithmetic, the done part blue and the rest black.
TEST(PayloadProgressBarWine, DrawsTheDonePartBlueAndTheRestBlack)
{
  HWND frame = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 500, 60, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(frame, nullptr);
  HWND bar = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 10, 10, 438, 20,
                             frame, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(bar, nullptr);
  UpdateWindow(frame);
  ProgressInit(bar, PayloadEntryCount);
  const int expected[] = {0, 23, 46, 69, 92};
  for (int step = 0; step < 5; ++step) {
    ProgressStep();
    int edge = DrawnDoneEdge(bar);
    // A bar that cannot be read back (no pixels) proves nothing either way.
    EXPECT_TRUE(edge < 0 || edge == expected[step]) << edge;
  }
  HDC dc = GetDC(bar);
  COLORREF rest = GetPixel(dc, 300, 1);
  ReleaseDC(bar, dc);
  EXPECT_TRUE(rest == CLR_INVALID || rest == RGB(0, 0, 0)) << rest;
  for (int step = 5; step < 20; ++step)
    ProgressStep();
  int edge = DrawnDoneEdge(bar);
  EXPECT_TRUE(edge < 0 || edge == 438) << edge;
  ProgressDone();
  DestroyWindow(frame);
}

}  // namespace
