// Files that are not what they seem: named pipes, devices, sockets and
// folders in a file's place, files over their cap, links planted by another
// user in a shared folder, files with several names or another owner, and
// the temporaries a killed writer leaves.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "files/as_other_user.h"
#include "files/atomic_file.h"
#include "files/resolved_path.h"
#include "support/fault_injection.h"
#include "support/test_files.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

class FileSafety : public ::testing::Test {
 protected:
  static std::string slurp(const fs::path& path) { return testing::readWhole(path); }
  static std::string cannotRead(const fs::path& path, const std::string& why) {
    return "Cannot read \"" + path.string() + "\": " + why;
  }
  static std::string cannotWrite(const fs::path& path, const std::string& why) {
    return "Cannot write \"" + path.string() + "\": " + why;
  }
  static ino_t inodeOf(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
  }
  // Everything in a folder, by name.
  static std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  // A character device like /dev/null, made for the test; false where the
  // machine does not let us make device nodes.
  static bool makeDevice(const fs::path& path) {
    return ::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
  }
  // A folder anybody may add to, as /tmp.
  fs::path sharedFolder(uid_t owner = 0) {
    const fs::path shared = folder / "shared";
    fs::create_directories(shared);
    EXPECT_EQ(::chown(shared.c_str(), owner, owner), 0);
    EXPECT_EQ(::chmod(shared.c_str(), 01777), 0);
    return shared;
  }
  static void linkAs(uid_t owner, const fs::path& target, const fs::path& link) {
    fs::create_symlink(target, link);
    ASSERT_EQ(::lchown(link.c_str(), owner, owner), 0);
  }

  testing::TemporaryFolder temp{"safety"};
  const fs::path folder = temp.path();
};

TEST_F(FileSafety, ReadersRefuseWhatIsNotARegularFileWithoutBlocking) {
  const fs::path pipe = folder / "p.kv1";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  fs::create_directories(folder / "dir.kv1");
  const fs::path socketPath = folder / "s";
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.string().size(), sizeof address.sun_path);
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  fs::create_symlink(pipe, folder / "link-to-pipe");
  struct Case {
    fs::path path;
    std::string kind;
  };
  std::vector<Case> cases = {{pipe, "a named pipe"},
                             {folder / "dir.kv1", "a folder"},
                             {socketPath, "a socket"},
                             {folder / "link-to-pipe", "a named pipe"}};
  if (makeDevice(folder / "zero")) cases.push_back({folder / "zero", "a device"});
  // A named pipe without a writer would block an ordinary open for ever.
  const auto said = testing::withinSeconds(20, [&] {
    std::string out;
    for (const Case& c : cases) {
      const FileContents read = readFile(c.path, 1 << 20);
      const FileContents start = readFileStart(c.path, 100);
      out += read.status.message() + "|" +
             (read.bytes || read.missing || start.bytes ? "READ" : "") + start.status.message() +
             "\n";
    }
    return out;
  });
  ::close(sock);
  ASSERT_TRUE(said.has_value()) << "a reader blocked";
  std::string expected;
  for (const Case& c : cases) {
    const std::string message = cannotRead(c.path, "it is " + c.kind);
    expected += message + "|" + message + "\n";
  }
  EXPECT_EQ(*said, expected);
}

TEST_F(FileSafety, AFileOverItsCapIsRefusedNotReadInPart) {
  const fs::path file = folder / "f.kv1";
  testing::writeWhole(file, std::string(1000, 'x'));
  const FileContents exact = readFile(file, 1000);
  ASSERT_TRUE(exact.bytes.has_value()) << exact.status.message();
  EXPECT_EQ(exact.bytes->size(), 1000u);
  const FileContents over = readFile(file, 999);
  EXPECT_FALSE(over.bytes.has_value());
  EXPECT_FALSE(over.missing);
  EXPECT_EQ(over.status.message(), cannotRead(file, "it is larger than 999 bytes"));
  testing::writeWhole(file, std::string((1 << 20) + 1, 'x'));
  EXPECT_EQ(readFile(file, 1 << 20).status.message(), cannotRead(file, "it is larger than 1 MiB"));
  // Files that tell no size, as those of /proc, are caught while reading.
  const FileContents proc = readFile("/proc/self/status", 10);
  EXPECT_EQ(proc.status.message(), cannotRead("/proc/self/status", "it is larger than 10 bytes"));

  const FileContents missing = readFile(folder / "none.kv1", 10);
  EXPECT_TRUE(missing.missing);
  EXPECT_EQ(missing.status.message(), cannotRead(folder / "none.kv1", "No such file or directory"));
  EXPECT_TRUE(readFile(folder / "none/x.kv1", 10).missing);
  EXPECT_TRUE(readFile(file / "x.kv1", 10).missing);  // a file on the way is no folder
}

TEST_F(FileSafety, WritersRefuseToReplaceWhatIsNotARegularFile) {
  const fs::path pipe = folder / "p.bmp";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  fs::create_directories(folder / "dir.bmp");
  fs::create_symlink("p.bmp", folder / "link.bmp");
  struct Case {
    fs::path path;
    std::string kind;
    mode_t type;
  };
  std::vector<Case> cases = {{pipe, "a named pipe", S_IFIFO},
                             {folder / "dir.bmp", "a folder", S_IFDIR},
                             {folder / "link.bmp", "a named pipe", S_IFLNK}};
  const bool devices = makeDevice(folder / "null");
  struct stat device {};
  if (devices) {
    ASSERT_EQ(::stat((folder / "null").c_str(), &device), 0);
  }
  if (devices) cases.push_back({folder / "null", "a device", S_IFCHR});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.string());
    EXPECT_EQ(writeFileAtomically(c.path, "BM...").message(),
              cannotWrite(c.path, "it is " + c.kind + ", not replaced"));
    struct stat st {};
    ASSERT_EQ(::lstat(c.path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & S_IFMT, c.type);
  }
  if (devices) {
    struct stat st {};
    ASSERT_EQ(::stat((folder / "null").c_str(), &st), 0);
    EXPECT_EQ(st.st_rdev, ::makedev(1, 3));
    EXPECT_EQ(st.st_ino, device.st_ino);
    EXPECT_EQ(st.st_mode, device.st_mode);
  }
  std::vector<std::string> expected = {"dir.bmp", "link.bmp", "p.bmp"};
  if (devices) expected.insert(expected.begin() + 2, "null");
  EXPECT_EQ(namesIn(folder), expected);  // no temporary left
  // As an unprivileged user too, who may write the pipe.
  ASSERT_EQ(::chmod(pipe.c_str(), 0666), 0);
  ASSERT_TRUE(testing::giveToNobody(folder, 0755));
  const auto said = testing::asNobody([&] { return writeFileAtomically(pipe, "x").message(); });
  ASSERT_TRUE(said.has_value());
  EXPECT_EQ(*said, cannotWrite(pipe, "it is a named pipe, not replaced"));
}

TEST_F(FileSafety, ALinkOfAnotherUserInASharedFolderIsNotFollowed) {
  const fs::path shared = sharedFolder();
  const fs::path home = folder / "home";
  fs::create_directories(home);
  ASSERT_TRUE(testing::giveToNobody(home, 0755));
  const fs::path victim = home / "victim.txt";
  testing::writeWhole(victim, "the victim's own");
  ASSERT_TRUE(testing::giveToNobody(victim, 0644));
  const fs::path planted = shared / "plot.bmp";
  linkAs(testing::kOtherUser, victim, planted);
  const std::string refused = "it is a link of another user in a shared folder, not followed";

  // Root would otherwise replace the victim's file; so would the victim.
  EXPECT_EQ(writeFileAtomically(planted, "BM").message(), cannotWrite(planted, refused));
  EXPECT_EQ(readFile(planted, 100).status.message(), cannotRead(planted, refused));
  const auto nobody = testing::asNobody([&] {
    return writeFileAtomically(planted, "BM").message() + "|" +
           readFile(planted, 100).status.message();
  });
  ASSERT_TRUE(nobody.has_value());
  EXPECT_EQ(*nobody, cannotWrite(planted, refused) + "|" + cannotRead(planted, refused));
  EXPECT_EQ(slurp(victim), "the victim's own");
  EXPECT_TRUE(fs::is_symlink(planted));
  // A link in the middle of the path counts as well.
  const fs::path viaFolder = shared / "folder";
  linkAs(testing::kOtherUser, home, viaFolder);
  EXPECT_EQ(writeFileAtomically(viaFolder / "victim.txt", "x").message(),
            cannotWrite(viaFolder / "victim.txt", refused));
  EXPECT_EQ(slurp(victim), "the victim's own");

  // The user's own link, and a link of the folder's owner, are followed.
  const fs::path own = shared / "own.bmp";
  linkAs(testing::kNobody, victim, own);
  const auto followed =
      testing::asNobody([&] { return writeFileAtomically(own, "mine").message(); });
  ASSERT_TRUE(followed.has_value());
  EXPECT_EQ(*followed, "");
  EXPECT_EQ(slurp(victim), "mine");
  const fs::path rootsLink = shared / "roots.bmp";
  linkAs(0, victim, rootsLink);  // root owns the folder
  const auto viaRoot =
      testing::asNobody([&] { return writeFileAtomically(rootsLink, "again").message(); });
  ASSERT_TRUE(viaRoot.has_value());
  EXPECT_EQ(*viaRoot, "");
  EXPECT_EQ(slurp(victim), "again");
}

TEST_F(FileSafety, ALinkOfTheSharedFoldersOwnerIsFollowed) {
  const fs::path shared = sharedFolder(testing::kOtherUser);
  const fs::path target = folder / "target.txt";
  testing::writeWhole(target, "old");
  linkAs(testing::kOtherUser, target, shared / "link.txt");
  EXPECT_EQ(writeFileAtomically(shared / "link.txt", "new").message(), "");
  EXPECT_EQ(slurp(target), "new");
  // Outside a shared folder any link is followed: the folder's owner chose it.
  fs::create_directories(folder / "private");
  linkAs(testing::kOtherUser, target, folder / "private/link.txt");
  EXPECT_EQ(writeFileAtomically(folder / "private/link.txt", "newer").message(), "");
  EXPECT_EQ(slurp(target), "newer");
}

TEST_F(FileSafety, AFileOfAnotherUserInASharedFolderIsNotFilled) {
  const fs::path shared = sharedFolder();
  const fs::path theirs = shared / "plot.bmp";
  testing::writeWhole(theirs, "planted");
  ASSERT_EQ(::chown(theirs.c_str(), testing::kOtherUser, testing::kOtherUser), 0);
  ASSERT_EQ(::chmod(theirs.c_str(), 0666), 0);
  const std::string refused = "it belongs to another user in a shared folder, not replaced";
  EXPECT_EQ(writeFileAtomically(theirs, "secret").message(), cannotWrite(theirs, refused));
  const auto nobody =
      testing::asNobody([&] { return writeFileAtomically(theirs, "secret").message(); });
  ASSERT_TRUE(nobody.has_value());
  EXPECT_EQ(*nobody, cannotWrite(theirs, refused));
  EXPECT_EQ(slurp(theirs), "planted");
  // A new file there is fine, and so is one's own.
  const auto fresh = testing::asNobody([&] {
    const std::string first = writeFileAtomically(shared / "mine.bmp", "a").message();
    return first + writeFileAtomically(shared / "mine.bmp", "b").message();
  });
  ASSERT_TRUE(fresh.has_value());
  EXPECT_EQ(*fresh, "");
  EXPECT_EQ(slurp(shared / "mine.bmp"), "b");
}

TEST_F(FileSafety, AHardLinkedFileIsRewrittenInPlace) {
  const fs::path file = folder / "plot.kv1";
  testing::writeWhole(file, "old content, longer than the new");
  fs::create_hard_link(file, folder / "other-name.kv1");
  const ino_t inode = inodeOf(file);
  EXPECT_EQ(writeFileAtomically(file, "new").message(), "");
  EXPECT_EQ(slurp(file), "new");
  EXPECT_EQ(slurp(folder / "other-name.kv1"), "new");
  EXPECT_EQ(inodeOf(file), inode);
  EXPECT_EQ(fs::hard_link_count(file), 2u);
  EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"other-name.kv1", "plot.kv1"}));
  // Growing works the same way.
  const std::string longer(100000, 'y');
  EXPECT_EQ(writeFileAtomically(folder / "other-name.kv1", longer).message(), "");
  EXPECT_EQ(slurp(file), longer);
}

TEST_F(FileSafety, AnotherUsersFileKeepsItsOwnerAndIdentity) {
  // Root saving over a user's file, and a member of the group over another
  // member's group-writable file: the file stays its owner's.
  const fs::path file = folder / "theirs.kv2";
  testing::writeWhole(file, "old");
  ASSERT_TRUE(testing::giveToNobody(file, 0640));
  const ino_t inode = inodeOf(file);
  EXPECT_EQ(writeFileAtomically(file, "from root").message(), "");
  EXPECT_EQ(slurp(file), "from root");
  EXPECT_EQ(inodeOf(file), inode);
  EXPECT_EQ(testing::ownershipOf(file),
            (testing::Ownership{0640, testing::kNobody, testing::kNobody}));

  constexpr gid_t kShared = 4242;
  const fs::path sharedFile = folder / "shared.kv1";
  testing::writeWhole(sharedFile, "other member's");
  ASSERT_EQ(::chown(sharedFile.c_str(), testing::kOtherUser, kShared), 0);
  ASSERT_EQ(::chmod(sharedFile.c_str(), 0664), 0);
  ASSERT_TRUE(testing::giveToNobody(folder, 0755));
  const auto written = testing::asNobody(
      [&] { return writeFileAtomically(sharedFile, "new").message(); }, {kShared});
  ASSERT_TRUE(written.has_value());
  EXPECT_EQ(*written, "");
  EXPECT_EQ(slurp(sharedFile), "new");
  EXPECT_EQ(testing::ownershipOf(sharedFile),
            (testing::Ownership{0664, testing::kOtherUser, kShared}));
  EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"shared.kv1", "theirs.kv2"}));
}

TEST_F(FileSafety, AFailedRewriteInPlacePutsTheOldContentBack) {
  const fs::path file = folder / "plot.kv1";
  const std::string old = "the old content\r\n";
  testing::writeWhole(file, old);
  fs::create_hard_link(file, folder / "twin.kv1");
  {
    const testing::InjectedFault full({"pwrite", "/plot.kv1", ENOSPC, 0, 1});
    EXPECT_EQ(writeFileAtomically(file, std::string(5000, 'n')).message(),
              cannotWrite(file, "No space left on device"));
    EXPECT_EQ(full.failures(), 1);
  }
  EXPECT_EQ(slurp(file), old);
  EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"plot.kv1", "twin.kv1"}));
  {
    const testing::InjectedFault flush({"fsync", "/plot.kv1", EIO, 0, 1});
    EXPECT_EQ(writeFileAtomically(file, "short").message(),
              cannotWrite(file, "Input/output error"));
  }
  EXPECT_EQ(slurp(file), old);
  // When even putting it back fails, the copy stays, and the message says where.
  std::string problem;
  {
    const testing::InjectedFault broken({"pwrite", "/plot.kv1", EIO});
    problem = writeFileAtomically(file, "new").message();
  }
  const std::string prefix =
      cannotWrite(file, "Input/output error; its previous content is kept in \"");
  ASSERT_EQ(problem.substr(0, prefix.size()), prefix) << problem;
  const std::string kept = problem.substr(prefix.size(), problem.size() - prefix.size() - 1);
  EXPECT_EQ(fs::path(kept).parent_path(), folder);
  EXPECT_EQ(slurp(kept), old);
}

TEST_F(FileSafety, WithoutRoomBesideItTheOldContentIsKeptInMemory) {
  // The folder is root's: nobody may create a copy there, but may write the file.
  const fs::path file = folder / "open.kv1";
  testing::writeWhole(file, "old");
  ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  const auto said = testing::asNobody([&] {
    std::string out;
    {
      const testing::InjectedFault full({"pwrite", "/open.kv1", ENOSPC, 0, 1});
      out = writeFileAtomically(file, "failed").message() + "|";
    }
    out += testing::readWhole(file) + "|";
    return out + writeFileAtomically(file, "new").message();
  });
  ASSERT_TRUE(said.has_value());
  EXPECT_EQ(*said, cannotWrite(file, "No space left on device") + "|old|");
  EXPECT_EQ(slurp(file), "new");
  EXPECT_EQ(testing::ownershipOf(file).uid, 0u);
}

TEST_F(FileSafety, FilesWrittenTogetherArePutBackWithoutHardLinks) {
  const fs::path a = folder / "a.lst";
  const fs::path b = folder / "b.lst";
  testing::writeWhole(a, "old a");
  testing::writeWhole(b, "old b");
  {
    const testing::InjectedFault second({"rename", "/b.lst", EXDEV});
    EXPECT_EQ(writeFilesTogether({{a, "new a"}, {b, "new b"}}).message(),
              cannotWrite(b, "Invalid cross-device link") + "; \"" + a.string() +
                  "\" was put back as it was");
  }
  EXPECT_EQ(slurp(a), "old a");
  EXPECT_EQ(slurp(b), "old b");
  // A first file that did not exist is removed again.
  const fs::path c = folder / "c.lst";
  {
    const testing::InjectedFault second({"rename", "/b.lst", EXDEV});
    EXPECT_EQ(writeFilesTogether({{c, "c"}, {b, "new b"}}).message(),
              cannotWrite(b, "Invalid cross-device link") + "; \"" + c.string() +
                  "\" was put back as it was");
  }
  EXPECT_FALSE(fs::exists(c));
  // Putting back fails too: the message says so rather than claiming success.
  {
    const testing::InjectedFault both({"rename", ".lst", EIO, 1});
    EXPECT_EQ(writeFilesTogether({{a, "new a"}, {b, "new b"}}).message(),
              cannotWrite(b, "Input/output error") + "; \"" + a.string() +
                  "\" was written but could not be put back (" +
                  cannotWrite(a, "Input/output error") + ")");
  }
  EXPECT_EQ(slurp(a), "new a");
  EXPECT_EQ(slurp(b), "old b");
  EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"a.lst", "b.lst"}));
}

// Backdates a file's modification time by `seconds`.
void age(const fs::path& path, int seconds) {
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  const timespec times[2] = {{st.st_mtim.tv_sec - seconds, 0}, {st.st_mtim.tv_sec - seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST_F(FileSafety, TemporariesOfAKilledWriterAreRemovedLiveOnesKept) {
  // A writer killed between its writes and its rename.
  const pid_t writer = ::fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    auto* file = new AtomicFile(folder / "Kurvana.ini");  // never destroyed
    file->write(std::string(89, 'x'));
    ::kill(::getpid(), SIGKILL);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(writer, &status, 0), writer);
  ASSERT_TRUE(WIFSIGNALED(status));
  std::vector<std::string> left = namesIn(folder);
  ASSERT_EQ(left.size(), 1u);
  const fs::path killed = folder / left[0];
  EXPECT_EQ(killed.filename().string().substr(0, 16), "Kurvana.ini.tmp-");
  // Brand new: perhaps a writer that has not locked it yet.
  EXPECT_EQ(removeStaleTemporaries(folder), 0);
  age(killed, 10);

  // A live writer's temporary, however old.
  AtomicFile live(folder / "Kurvana.lst");
  live.write(std::string("F(x)=x\r\n"));
  std::vector<std::string> names = namesIn(folder);
  for (const std::string& name : names) age(folder / name, 10);
  // Names that only look alike, another user's, a link.
  for (const char* name :
       {"a.tmp-abc12", "a.tmp-abc1234", "a.tmp-abc12!", ".tmp-abcdef", "a.tmpXabcdef"}) {
    testing::writeWhole(folder / name, "user's");
    age(folder / name, 10);
  }
  testing::writeWhole(folder / "theirs.tmp-abcdef", "other user's");
  ASSERT_EQ(::chown((folder / "theirs.tmp-abcdef").c_str(), testing::kNobody, testing::kNobody), 0);
  age(folder / "theirs.tmp-abcdef", 10);
  testing::writeWhole(folder / "target", "kept");
  fs::create_symlink("target", folder / "link.tmp-abcdef");
  age(folder / "link.tmp-abcdef", 10);

  EXPECT_EQ(removeStaleTemporaries(folder), 1);
  EXPECT_FALSE(fs::exists(killed));
  EXPECT_EQ(live.commit().message(), "");
  EXPECT_EQ(slurp(folder / "Kurvana.lst"), "F(x)=x\r\n");
  EXPECT_EQ(namesIn(folder),
            (std::vector<std::string>{".tmp-abcdef", "Kurvana.lst", "a.tmp-abc12", "a.tmp-abc12!",
                                      "a.tmp-abc1234", "a.tmpXabcdef", "link.tmp-abcdef", "target",
                                      "theirs.tmp-abcdef"}));
}

TEST(ResolvedPath, FollowsLinksAsTheKernelDoes) {
  testing::TemporaryFolder temp("resolve");
  const fs::path root = temp.path();
  fs::create_directories(root / "a/b");
  testing::writeWhole(root / "a/b/file", "x");
  fs::create_symlink("b", root / "a/to-b");
  fs::create_symlink("../a/to-b/file", root / "a/up");  // relative to the link's folder
  fs::create_symlink(root / "a/up", root / "abs");
  const ResolvedPath chain = resolvePath(root / "abs");
  EXPECT_EQ(chain.problem, "");
  EXPECT_TRUE(chain.exists);
  EXPECT_EQ(chain.path, root / "a/b/file");
  // ".." after a link goes up from the link's target, not from the link.
  EXPECT_EQ(resolvePath(root / "a/to-b/../b/./file").path, root / "a/b/file");
  const ResolvedPath fresh = resolvePath(root / "a/to-b/new");
  EXPECT_EQ(fresh.problem, "");
  EXPECT_FALSE(fresh.exists);
  EXPECT_EQ(fresh.path, root / "a/b/new");
  EXPECT_TRUE(resolvePath(root / "missing/new").missing);
  fs::create_symlink("loop", root / "loop");
  EXPECT_EQ(resolvePath(root / "loop").problem, "Too many levels of symbolic links");
  fs::create_symlink("missing-target", root / "dangling");
  const ResolvedPath dangling = resolvePath(root / "dangling");
  EXPECT_EQ(dangling.problem, "");
  EXPECT_FALSE(dangling.exists);
  EXPECT_EQ(dangling.path, root / "missing-target");
}

}  // namespace
}  // namespace kurvana
