// Opening and saving configurable files on disk: the reasons shown, what a save changes, and
// that a failure at any file call leaves the destination as it was.
#include "setup/core/ConfigurableFile.h"
#include "setup/core/ConfigureMultiple.h"
#include "setup/core/FileMenu.h"
#include "setup/core/FileTypes.h"
#include "setup/core/SetupChipDef.h"

#include "setup/SetupFixture.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string OpenFailure(const std::string& path, const std::string& reason) {
    return "File \"" + path + "\" could not be opened because:\n\n" + reason;
}

std::string SaveFailure(const std::string& path, const std::string& reason) {
    return "File \"" + path + "\" could not be saved because:\n\n" + reason;
}

mode_t ModeOf(const std::string& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

class ConfigurableFileTest : public SetupFileTest {
protected:
    // A file of size bytes that takes no room on disk.
    std::string SparseFile(const std::string& name, std::uint64_t size) {
        const std::string path = Write(name, {});
        std::filesystem::resize_file(path, size);
        return path;
    }
};

TEST_F(ConfigurableFileTest, LoadRefusalsNameTheReason) {
    oxHclData unconfigured = TemplateBlock();
    unconfigured.HclCRC = 0;
    struct Case {
        std::string Path;
        std::string Reason;
    };
    const Case cases[] = {
        {Write("empty.exe", {}), kTextZeroLength},
        {PathOf("missing.exe"), std::strerror(ENOENT)},
        {Folder.string(), std::strerror(EISDIR)},
        {Write("plain.txt", std::vector<std::uint8_t>(20000, 'x')), kTextNoConfigData},
        {Write("fresh.exe", ConfigurableBytes(unconfigured)), kTextNotConfigured},
        {SparseFile("huge.exe", 0x100000000ull), std::strerror(EFBIG)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path);
        EXPECT_FALSE(LoadConfigurableFile(c.Path.c_str()));
        EXPECT_EQ(Recorder.LastMessage(), OpenFailure(c.Path, c.Reason));
        EXPECT_EQ(Recorder.Messages.back().Kind, MessageKind::Warning);
    }
}

TEST_F(ConfigurableFileTest, OpenKeepsThePathWhenTheLoadFails) {
    const std::string good = Write("good.exe", ConfigurableBytes());
    const std::string empty = Write("empty.exe", {});
    Recorder.Answers = {good, empty};
    EXPECT_TRUE(OnFileOpen());
    EXPECT_EQ(g_OpenPath, good);
    EXPECT_FALSE(OnFileOpen());
    EXPECT_EQ(g_OpenPath, good);
    EXPECT_EQ(Recorder.Requests[0].Title, "Open");
    EXPECT_EQ(Recorder.Requests[0].DefaultExtension, "exe");
}

// The notice of a list changed by an import belongs to the file it was imported into.
TEST_F(ConfigurableFileTest, OpeningAFileEndsTheImportedListNotice) {
    const std::string path = Write("play", ConfigurableBytes());
    g_ChipDef.SetRegListImported(true);
    char text[128] = "";
    ASSERT_NE(g_ChipDef.GetDiagnosticText(text, sizeof text), 0u);
    ASSERT_TRUE(LoadConfigurableFile(path.c_str()));
    EXPECT_EQ(g_ChipDef.GetDiagnosticText(text, sizeof text), 0u);
}

TEST_F(ConfigurableFileTest, SaveInPlaceChangesOnlyTheBlockAndKeepsTheMode) {
    const auto original = ConfigurableBytes();
    const std::string path = Write("play", original);
    ::chmod(path.c_str(), 0751);
    ASSERT_TRUE(LoadConfigurableFile(path.c_str()));
    ASSERT_TRUE(g_ChipDef.SetFeatureValue("hdp", 320));
    ASSERT_TRUE(SaveConfigurableFile(path.c_str(), nullptr, false));
    const auto saved = ReadFileBytes(path);
    ASSERT_EQ(saved.size(), original.size());
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (saved[i] != original[i]) {
            EXPECT_GE(i, kFileBlockOffset + 530) << i;
            EXPECT_LT(i, kFileBlockOffset + oxHCL_DATA_SIZE) << i;
        }
    }
    EXPECT_EQ(ModeOf(path), 0751u);
    EXPECT_TRUE(Leftovers({"play"}).empty());
}

TEST_F(ConfigurableFileTest, SaveAsWritesANewFileAndLeavesTheSource) {
    const auto original = ConfigurableBytes();
    const std::string source = Write("play", original);
    ::chmod(source.c_str(), 0555);
    ASSERT_TRUE(LoadConfigurableFile(source.c_str()));
    g_OpenPath = source;
    ASSERT_TRUE(g_ChipDef.SetFeatureValue("hdp", 320));
    Recorder.Answers = {PathOf("copy")};
    ASSERT_TRUE(OnFileSaveAs());
    EXPECT_EQ(g_OpenPath, PathOf("copy"));
    EXPECT_EQ(ReadFileBytes(source), original);
    EXPECT_EQ(ModeOf(PathOf("copy")), 0755u); // the source's mode with the owner's write bit
    EXPECT_EQ(Recorder.LastMessage(),
              "Configuration data saved in file \"" + PathOf("copy") + "\".");
    EXPECT_EQ(Recorder.Requests[0].Title, "Save As");
    EXPECT_EQ(Recorder.Requests[0].InitialPath, source);
}

TEST_F(ConfigurableFileTest, SaveAsOntoTheOpenFileSavesInPlace) {
    const auto original = ConfigurableBytes();
    const std::string path = Write("play", original);
    ::chmod(path.c_str(), 0700);
    g_OpenPath = path;
    ASSERT_TRUE(g_ChipDef.SetFeatureValue("hdp", 320));
    Recorder.Answers = {path};
    ASSERT_TRUE(OnFileSaveAs());
    EXPECT_EQ(ReadFileBytes(path).size(), original.size());
    EXPECT_NE(ReadFileBytes(path), original);
    EXPECT_EQ(ModeOf(path), 0700u);
    EXPECT_TRUE(Leftovers({"play"}).empty());
}

TEST_F(ConfigurableFileTest, ShortReadsAndWritesAreContinued) {
    const std::string path = Write("play", ConfigurableBytes());
    ASSERT_TRUE(g_ChipDef.SetFeatureValue("hdp", 320));
    FileIo io = PosixFileIo();
    io.Read = [read = io.Read](int fd, void* b, size_t n) {
        return read(fd, b, n < 1000 ? n : 1000);
    };
    io.Write = [write = io.Write](int fd, const void* b, size_t n) {
        return write(fd, b, n < 777 ? n : 777);
    };
    SetFileIo(io);
    ASSERT_TRUE(SaveConfigurableFile(path.c_str(), nullptr, false));
    SetFileIo(PosixFileIo());
    SetupChipDef reader;
    const auto saved = ReadFileBytes(path);
    ASSERT_EQ(saved.size(), ConfigurableBytes().size());
    ASSERT_TRUE(
        reader.LoadFromImage(saved.data(), static_cast<std::uint32_t>(saved.size()), nullptr));
    EXPECT_EQ(reader.GetFeatureValue("hdp"), 320u);
}

TEST_F(ConfigurableFileTest, AFailedSaveAsOntoAnExistingFileLeavesIt) {
    const std::string source = Write("noblock.exe", std::vector<std::uint8_t>(9000, 'z'));
    const auto existing = ConfigurableBytes();
    const std::string destination = Write("existing.exe", existing);
    EXPECT_FALSE(SaveConfigurableFile(source.c_str(), destination.c_str(), false));
    EXPECT_EQ(Recorder.LastMessage(), SaveFailure(destination, kTextNoConfigData));
    EXPECT_EQ(ReadFileBytes(destination), existing);
    EXPECT_TRUE(Leftovers({"noblock.exe", "existing.exe"}).empty());
}

TEST_F(ConfigurableFileTest, AReadOnlyDestinationIsRefusedBeforeAnythingIsWritten) {
    const auto original = ConfigurableBytes();
    const std::string path = Write("play", original);
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(SaveConfigurableFile(path.c_str(), nullptr, false));
    EXPECT_EQ(Recorder.LastMessage(), SaveFailure(path, std::strerror(EACCES)));
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(ModeOf(path), 0444u);
}

TEST_F(ConfigurableFileTest, ASymbolicLinkIsFollowed) {
    const std::string target = Write("real.exe", ConfigurableBytes());
    fs::create_symlink(target, Folder / "link.exe");
    ASSERT_TRUE(g_ChipDef.SetFeatureValue("hdp", 320));
    ASSERT_TRUE(SaveConfigurableFile(PathOf("link.exe").c_str(), nullptr, false));
    EXPECT_TRUE(fs::is_symlink(Folder / "link.exe"));
    EXPECT_NE(ReadFileBytes(target), ConfigurableBytes());
}

// Saved as a named pipe, the image goes into the pipe and the pipe stays: a rename would have
// put a plain file in its place.
TEST_F(ConfigurableFileTest, SaveAsIntoAPipeWritesIntoIt) {
    const std::string source = Write("play", ConfigurableBytes());
    const std::string pipe = PathOf("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(g_ChipDef.SetFeatureValue("hdp", 320));
    EXPECT_TRUE(SaveConfigurableFile(source.c_str(), pipe.c_str(), false));
    std::vector<std::uint8_t> received;
    std::uint8_t chunk[4096];
    for (ssize_t got = 0; (got = ::read(reader, chunk, sizeof chunk)) > 0;) {
        received.insert(received.end(), chunk, chunk + got);
    }
    ::close(reader);
    EXPECT_EQ(received.size(), ConfigurableBytes().size());
    EXPECT_NE(received, ConfigurableBytes()); // the new block
    EXPECT_TRUE(fs::is_fifo(Folder / "pipe"));
}

// Each file call made to fail in turn: the n-th call of that kind gets the error.
struct Fault {
    const char* Call;
    int Occurrence;
    int Error;
};

FileIo FailingIo(const Fault& fault, int* calls) {
    FileIo io = PosixFileIo();
    const std::string call = fault.Call;
    auto fails = [fault, calls]() {
        if (++*calls == fault.Occurrence) {
            errno = fault.Error;
            return true;
        }
        return false;
    };
    if (call == "open") {
        io.Open = [fails, open = io.Open](const char* p, int f) {
            return fails() ? -1 : open(p, f);
        };
    } else if (call == "read") {
        io.Read = [fails, read = io.Read](int fd, void* b, size_t n) -> ssize_t {
            return fails() ? -1 : read(fd, b, n);
        };
    } else if (call == "mkstemp") {
        io.Mkstemp = [fails, make = io.Mkstemp](char* t) { return fails() ? -1 : make(t); };
    } else if (call == "write") {
        io.Write = [fails, write = io.Write](int fd, const void* b, size_t n) -> ssize_t {
            return fails() ? -1 : write(fd, b, n);
        };
    } else if (call == "fchmod") {
        io.Fchmod = [fails, chmod = io.Fchmod](int fd, mode_t m) {
            return fails() ? -1 : chmod(fd, m);
        };
    } else if (call == "fchown") {
        io.Fchown = [fails, chown = io.Fchown](int fd, uid_t u, gid_t g) {
            return fails() ? -1 : chown(fd, u, g);
        };
    } else if (call == "fsync") {
        io.Fsync = [fails, sync = io.Fsync](int fd) { return fails() ? -1 : sync(fd); };
    } else if (call == "fsync folder") {
        io.FsyncFolder = [fails, sync = io.FsyncFolder](int fd) { return fails() ? -1 : sync(fd); };
    } else if (call == "rename") {
        io.Rename = [fails, rename = io.Rename](const char* a, const char* b) {
            return fails() ? -1 : rename(a, b);
        };
    }
    return io;
}

TEST_F(ConfigurableFileTest, AFailureAtAnyFileCallLeavesTheDestinationAsItWas) {
    const Fault faults[] = {
        {"open", 1, EMFILE}, // the source
        {"open", 2, EMFILE}, // the destination's folder
        {"read", 1, EIO},     {"mkstemp", 1, ENOSPC}, {"write", 1, ENOSPC},
        {"fchmod", 1, EPERM}, {"fsync", 1, EIO},      {"rename", 1, EXDEV},
    };
    const auto original = ConfigurableBytes();
    for (const Fault& fault : faults) {
        SCOPED_TRACE(std::string(fault.Call) + " #" + std::to_string(fault.Occurrence));
        for (bool inPlace : {true, false}) {
            SCOPED_TRACE(inPlace ? "in place" : "save as onto an existing file");
            const std::string source = Write("play", original);
            const std::string destination = inPlace ? source : Write("other", original);
            ASSERT_TRUE(g_ChipDef.SetFeatureValue("hdp", 320));
            int calls = 0;
            SetFileIo(FailingIo(fault, &calls));
            EXPECT_FALSE(SaveConfigurableFile(source.c_str(),
                                              inPlace ? nullptr : destination.c_str(), false));
            SetFileIo(PosixFileIo());
            EXPECT_EQ(Recorder.LastMessage(), SaveFailure(destination, std::strerror(fault.Error)));
            EXPECT_EQ(ReadFileBytes(destination), original);
            EXPECT_TRUE(Leftovers({"play", "other"}).empty());
        }
    }
}

TEST_F(ConfigurableFileTest, AFailedChownKeepsTheModeAndSaves) {
    const std::string path = Write("play", ConfigurableBytes());
    ::chmod(path.c_str(), 0775);
    int calls = 0;
    SetFileIo(FailingIo({"fchown", 1, EPERM}, &calls));
    EXPECT_TRUE(SaveConfigurableFile(path.c_str(), nullptr, false));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ModeOf(path), 0775u);
}

TEST_F(ConfigurableFileTest, AFolderThatCannotBeSyncedIsReportedAfterTheRename) {
    const std::string path = Write("play", ConfigurableBytes());
    ASSERT_TRUE(g_ChipDef.SetFeatureValue("hdp", 320));
    int calls = 0;
    SetFileIo(FailingIo({"fsync folder", 1, EIO}, &calls));
    EXPECT_FALSE(SaveConfigurableFile(path.c_str(), nullptr, false));
    EXPECT_EQ(Recorder.LastMessage(), SaveFailure(path, std::strerror(EIO)));
    EXPECT_NE(ReadFileBytes(path), ConfigurableBytes()); // the new file is in place
    EXPECT_TRUE(Leftovers({"play"}).empty());
}

TEST_F(ConfigurableFileTest, ConfigureMultipleSumsUpEachFile) {
    const std::string good = Write("a.exe", ConfigurableBytes());
    const std::string bad = Write("b.exe", {});
    ConfigureMultiple model(Folder.string(), {bad, good, good});
    EXPECT_EQ(model.Selected(), (std::vector<std::string>{good, bad}));
    std::string summary;
    ASSERT_TRUE(model.Configure(false, summary));
    EXPECT_EQ(summary, "Summary of configured files:\n\nOK\t" + good + "\nError\t" + bad + "\n");
    EXPECT_EQ(Recorder.LastMessage(), SaveFailure(bad, kTextZeroLength));
    model.RemoveAll();
    EXPECT_FALSE(model.Configure(false, summary));
    EXPECT_EQ(summary, kTextNoFilesSelected);
}

TEST_F(ConfigurableFileTest, ConfigureMultipleListsEachFileOnceByItsFullPath) {
    const std::string a = Write("a.exe", ConfigurableBytes());
    fs::create_directory(Folder / "sub");
    const std::string folder = Folder.string();
    ConfigureMultiple model(
        folder, {folder + "/./a.exe", folder + "//sub/../a.exe", folder + "/sub/../missing.exe"});
    // A file that is not there keeps its cleaned name (it is reported when configured).
    EXPECT_EQ(model.Selected(), (std::vector<std::string>{a, folder + "/missing.exe"}));
    EXPECT_FALSE(model.AddEntry("a.exe", false)); // already listed
    model.Remove(folder + "/sub/../missing.exe");
    EXPECT_EQ(model.Selected(), std::vector<std::string>{a});
}

TEST_F(ConfigurableFileTest, SaveAsOffersTheOpenFilesKind) {
    const std::string elf = Write("play", {0x7F, 'E', 'L', 'F', 2});
    struct Case {
        std::string Path;
        std::vector<std::string> Labels;
        std::string Extension;
    };
    const Case cases[] = {
        {elf, {"EXE Files", "All Files (*.*)"}, ""},
        {PathOf("fw.s19"), {"S9 Files", "All Files (*.*)"}, "s19"},
        {PathOf("BOARD.Lvb"), {"QBRD-SH3 Files", "All Files (*.*)"}, "Lvb"},
        {PathOf("notes.txt"), {"All Files (*.*)"}, "txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path);
        const SaveAsChoice choice = SaveAsFilters(c.Path);
        std::vector<std::string> labels;
        for (const FileFilter& filter : choice.Filters) {
            labels.push_back(filter.Label);
        }
        EXPECT_EQ(labels, c.Labels);
        EXPECT_EQ(choice.DefaultExtension, c.Extension);
    }
}

TEST_F(ConfigurableFileTest, TheBrowserShowsFoldersAndConfigurableFiles) {
    Write("readme.txt", {1});
    Write("FIRMWARE.S19", {1});
    Write("play", {0x7F, 'E', 'L', 'F', 2});
    Write("notes", {'t', 'e', 'x', 't'});
    fs::create_directory(Folder / "sub");
    ConfigureMultiple model(Folder.string(), {});
    EXPECT_EQ(model.Browser(), (std::vector<std::string>{"[..]", "[sub]", "FIRMWARE.S19", "play"}));
    model.SetShowAllFiles(true);
    EXPECT_EQ(model.Browser(), (std::vector<std::string>{"[..]", "[sub]", "FIRMWARE.S19", "notes",
                                                         "play", "readme.txt"}));
    EXPECT_FALSE(model.AddEntry("[sub]", false));
    EXPECT_TRUE(model.AddEntry("[sub]", true));
    EXPECT_EQ(model.Browser(), (std::vector<std::string>{"[..]"}));
    EXPECT_TRUE(model.AddEntry("[..]", true));
    model.AddAll();
    EXPECT_EQ(model.Selected().size(), 4u);
}

} // namespace
