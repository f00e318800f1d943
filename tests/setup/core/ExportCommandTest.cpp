#include "setup/core/ExportCommand.h"
#include "setup/ExportFixture.h"
#include "setup/core/ExportFormats.h"
#include "setup/core/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ExportCommandTest : public ExportFileTest {
protected:
    static const FileRequestButton& Button(const FileRequest& request, int id) {
        for (const FileRequestButton& button : request.Buttons) {
            if (button.Id == id) {
                return button;
            }
        }
        throw std::runtime_error("no button " + std::to_string(id));
    }
};

TEST_F(ExportCommandTest, TheSaveRequestFollowsTheRow) {
    const std::string product = g_ChipDef.GetProductText(nullptr, 0x81);
    struct Case {
        uint32_t Row;
        std::string Name;
        std::string Filter;
        std::string Extension;
        bool Options;
    };
    const Case cases[] = {
        {0, "initdata.c", "Source Files (*.c)", "c", false},
        {1, "registers.h", "Register Header Files (*.h)", "h", false},
        {2, "mode0.h", "WinCE Header Files (*.h)", "h", true},
        {3, product + ".h", "Generic Header Files (*.h)", "h", true},
        {4, product + ".csv", "Comma-Separated-Value Files (*.csv)", "csv", false},
        {5, product + ".txt", "Quick Reference Files (*.txt)", "txt", false},
        {6, product + ".ini", "Import Files (*.ini)", "ini", false},
    };
    for (const Case& c : cases) {
        const FileRequest request = ExportSaveRequest(c.Row, {});
        EXPECT_FALSE(request.Open) << c.Row;
        EXPECT_EQ(request.Title, "Export As");
        EXPECT_EQ(request.InitialPath, c.Name);
        ASSERT_EQ(request.Filters.size(), 2u);
        EXPECT_EQ(request.Filters[0].Label, c.Filter);
        EXPECT_EQ(request.Filters[0].Patterns, std::vector<std::string>{"*." + c.Extension});
        EXPECT_EQ(request.Filters[1].Label, "All Files (*.*)");
        EXPECT_EQ(request.DefaultExtension, c.Extension);
        EXPECT_TRUE(request.ConfirmOverwrite);
        EXPECT_EQ(request.AcceptText, "&Export");
        EXPECT_EQ(Button(request, kIdExportPreview).Text, "Pre&view");
        EXPECT_TRUE(Button(request, kIdExportPreview).Shown);
        EXPECT_EQ(Button(request, kIdExportOptions).Text, "&Options");
        EXPECT_EQ(Button(request, kIdExportOptions).Shown, c.Options) << c.Row;
    }
}

TEST_F(ExportCommandTest, OptionsRunTheRowsDialogAndAnswerTheNewName) {
    std::vector<int> ran;
    const auto runOptions = [&ran](int dialogId) {
        ran.push_back(dialogId);
        g_ExportOptions.ModeNumber = 3;
    };
    EXPECT_EQ(Button(ExportSaveRequest(2, runOptions), kIdExportOptions).Pressed(),
              std::optional<std::string>("mode3.h"));
    EXPECT_EQ(
        Button(ExportSaveRequest(3, runOptions), kIdExportOptions).Pressed(),
        std::optional<std::string>(std::string(g_ChipDef.GetProductText(nullptr, 0x81)) + ".h"));
    // A row without options runs nothing and leaves the name alone.
    EXPECT_EQ(Button(ExportSaveRequest(0, runOptions), kIdExportOptions).Pressed(), std::nullopt);
    EXPECT_EQ(ran, (std::vector<int>{214, 221}));
}

TEST_F(ExportCommandTest, TheChosenFileGetsTheLineEndsAsChosen) {
    const std::string path = PathOf("out.csv");
    const std::string plain = Generated(4);
    ASSERT_NE(plain.find('\n'), std::string::npos);
    for (const bool crLf : {false, true}) {
        g_ExportCrLf = crLf;
        Recorder.Answers = {path};
        ASSERT_TRUE(ExportAs(4, {}));
        EXPECT_EQ(ReadText(path), crLf ? ToCrLf(plain) : plain) << crLf;
    }
    // Cancelled: nothing is written.
    EXPECT_FALSE(ExportAs(0, {}));
    EXPECT_EQ(Leftovers({}), std::vector<std::string>{"out.csv"});
    EXPECT_TRUE(Recorder.Messages.empty());
}

// A description holding a line break is written up to it into the INI file, and Export As says
// so after writing the file, as the file's head does; a description of one line says nothing.
TEST_F(ExportCommandTest, AnIniTextCutAtALineBreakIsReported) {
    constexpr uint32_t kIniRow = 6;
    const std::string path = PathOf("out.ini");
    struct Case {
        const char* Description;
        const char* Message;
    };
    const Case cases[] = {
        {"line1\nline2", "szConfigString holds a line break, written up to it."},
        {"line1\rline2", "szConfigString holds a line break, written up to it."},
        {"one line", ""},
    };
    for (const Case& c : cases) {
        oxHclData& block = g_ChipDef.MutableHclData();
        std::memset(block.szConfigString, 0, sizeof block.szConfigString);
        std::memcpy(block.szConfigString, c.Description, std::strlen(c.Description));
        Recorder.Messages.clear();
        Recorder.Answers = {path};
        ASSERT_TRUE(ExportAs(kIniRow, {}));
        EXPECT_EQ(Recorder.LastMessage(), c.Message) << c.Description;
        const std::string text = ReadText(path);
        EXPECT_EQ(text.find("line2"), std::string::npos) << c.Description;
        EXPECT_EQ(text.find(std::string("; Warning: ") + c.Message) != std::string::npos,
                  *c.Message != '\0')
            << c.Description;
    }
}

// A disk that fills up after part of the quick reference: the file it was to replace keeps
// every byte, no piece of the new text is left beside it, and the failure is reported.
TEST_F(ExportCommandTest, AFullDiskLeavesTheReplacedFileAsItWas) {
    constexpr uint32_t kQuickReferenceRow = 5;
    const std::vector<std::uint8_t> kept(1000, 'k');
    const std::string path = Write("keep.txt", kept);
    ::chmod(path.c_str(), 0640);
    FileIo io = PosixFileIo();
    std::size_t room = 8192;
    io.Write = [&room, write = io.Write](int fd, const void* bytes, size_t size) -> ssize_t {
        if (room == 0) {
            errno = ENOSPC;
            return -1;
        }
        const ssize_t put = write(fd, bytes, std::min(size, room));
        room -= static_cast<std::size_t>(put);
        return put;
    };
    SetFileIo(io);
    ASSERT_GT(Generated(kQuickReferenceRow).size(), 2 * room);
    Recorder.Answers = {path};
    EXPECT_FALSE(ExportAs(kQuickReferenceRow, {}));
    SetFileIo(PosixFileIo());
    EXPECT_EQ(room, 0u); // part of the text was written before the disk was full
    EXPECT_EQ(Recorder.LastMessage(), "Failed to create file " + path);
    EXPECT_EQ(ReadFileBytes(path), kept);
    EXPECT_EQ(Leftovers({"keep.txt"}), std::vector<std::string>{});
}

// A replaced file keeps its mode and is written through a link to it; a new file gets 0666
// less the umask, through a link to a file not made yet too; a file the user may not write is
// refused and kept.
TEST_F(ExportCommandTest, ExportAsReplacesAsSaveDoes) {
    const std::string text = Generated(1);
    const std::string real = Write("real.h", {'o', 'l', 'd'});
    ::chmod(real.c_str(), 0604);
    std::filesystem::create_symlink(real, Folder / "link.h");
    std::filesystem::create_symlink("made.h", Folder / "dangling.h");
    const std::string readOnly = Write("locked.h", {'o', 'l', 'd'});
    ::chmod(readOnly.c_str(), 0444);
    const mode_t mask = ::umask(027);
    struct Case {
        const char* Name;
        bool Exported;
        mode_t Mode;
        const char* Holds; // the file that holds the export ("" for none)
    };
    const Case cases[] = {
        {"real.h", true, 0604, "real.h"}, {"link.h", true, 0604, "real.h"},
        {"new.h", true, 0640, "new.h"},   {"dangling.h", true, 0640, "made.h"},
        {"locked.h", false, 0444, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Write("real.h", {'o', 'l', 'd'});
        Recorder.Answers = {PathOf(c.Name)};
        EXPECT_EQ(ExportAs(1, {}), c.Exported);
        const std::string shown = *c.Holds != '\0' ? PathOf(c.Holds) : PathOf(c.Name);
        struct stat status {};
        ASSERT_EQ(::stat(shown.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, c.Mode);
        EXPECT_EQ(ReadText(shown), c.Exported ? ToCrLf(text) : std::string("old"));
    }
    ::umask(mask);
    EXPECT_TRUE(std::filesystem::is_symlink(Folder / "link.h"));
    EXPECT_TRUE(std::filesystem::is_symlink(Folder / "dangling.h"));
    EXPECT_EQ(Recorder.LastMessage(), "Failed to create file " + PathOf("locked.h"));
    EXPECT_EQ(Leftovers({"real.h", "link.h", "locked.h", "new.h", "dangling.h", "made.h"}),
              std::vector<std::string>{});
}

// A named pipe chosen as the file gets the text and stays a pipe: a rename would have put a
// plain file in its place. A pipe that nobody reads is refused instead of holding the window.
TEST_F(ExportCommandTest, APipeIsWrittenIntoAndKept) {
    const std::string text = ToCrLf(Generated(1));
    ASSERT_LT(text.size(), 65536u); // the pipe holds it all before it is read
    const std::string pipe = PathOf("pipe.h");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    Recorder.Answers = {pipe};
    EXPECT_TRUE(ExportAs(1, {}));
    std::string received;
    char chunk[4096];
    for (ssize_t got = 0; (got = ::read(reader, chunk, sizeof chunk)) > 0;) {
        received.append(chunk, static_cast<size_t>(got));
    }
    ::close(reader);
    EXPECT_EQ(received, text);
    struct stat status {};
    ASSERT_EQ(::lstat(pipe.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_EQ(Leftovers({"pipe.h"}), std::vector<std::string>{});
    // Nobody reads the pipe now: refused at once, the pipe kept.
    Recorder.Answers = {pipe};
    EXPECT_FALSE(ExportAs(1, {}));
    EXPECT_EQ(Recorder.LastMessage(), "Failed to create file " + pipe);
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}

TEST_F(ExportCommandTest, PreviewFromTheSaveDialogWritesWithCrLfAndOpensTheViewer) {
    g_ExportCrLf = false;
    Recorder.OnRequest = [](const FileRequest& request) {
        EXPECT_EQ(Button(request, kIdExportPreview).Pressed(), std::nullopt);
    };
    EXPECT_FALSE(ExportAs(5, {}));
    const std::string file = ExportPreviewFolder() + "/" + GetExportFileName(5);
    ASSERT_EQ(Recorder.Launched.size(), 1u);
    EXPECT_EQ(Recorder.Launched[0], (std::vector<std::string>{"xdg-open", file}));
    EXPECT_EQ(ReadText(file), ToCrLf(Generated(5)));
}

TEST_F(ExportCommandTest, FlagsKeepOtherBits) {
    struct Case {
        uint32_t Flags;
        bool Cursor, Software, Hardware;
        uint32_t Expected;
    };
    const Case cases[] = {
        {0x140001, false, false, false, 0x000001},
        {0x000001, true, true, true, 0x160001},
        {0xFFFFFFFF, false, true, false, 0xFFE9FFFF | 0x100000},
        {0x0, false, false, true, 0x40000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExportFlagsWith(c.Flags, c.Cursor, c.Software, c.Hardware), c.Expected)
            << std::hex << c.Flags;
    }
}

TEST_F(ExportCommandTest, ThePreviewFolderIsRemovedWithItsFiles) {
    ASSERT_TRUE(ExportToFile(0, "", true));
    const std::string folder = ExportPreviewFolder();
    ASSERT_TRUE(std::filesystem::exists(folder + "/initdata.c"));
    RemoveExportPreviewFolder();
    EXPECT_FALSE(std::filesystem::exists(folder));
    // The next preview makes a new folder.
    ASSERT_TRUE(ExportToFile(0, "", true));
    EXPECT_TRUE(std::filesystem::exists(ExportPreviewFolder() + "/initdata.c"));
    RemoveExportPreviewFolder();
}

TEST_F(ExportCommandTest, APreviewStillWorksAfterTheFolderWasRemovedFromOutside) {
    ASSERT_TRUE(ExportToFile(0, "", true));
    const std::string folder = ExportPreviewFolder();
    // A temporary-file cleaner removes the folder while Setup runs.
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(ExportToFile(0, "", true));
    EXPECT_TRUE(Recorder.Messages.empty());
    const std::string again = ExportPreviewFolder();
    EXPECT_TRUE(std::filesystem::exists(again + "/initdata.c")) << again;
    // A link put in its place is neither written through nor emptied.
    const std::filesystem::path elsewhere = Folder / "elsewhere";
    std::filesystem::create_directory(elsewhere);
    std::ofstream(elsewhere / "theirs.txt") << "x";
    std::filesystem::remove_all(again);
    std::filesystem::create_directory_symlink(elsewhere, again);
    ASSERT_TRUE(ExportToFile(0, "", true));
    EXPECT_NE(ExportPreviewFolder(), again);
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "initdata.c"));
    const std::string made = ExportPreviewFolder();
    std::filesystem::remove_all(made);
    std::filesystem::create_directory_symlink(elsewhere, made);
    RemoveExportPreviewFolder();
    EXPECT_TRUE(std::filesystem::exists(elsewhere / "theirs.txt"));
    std::filesystem::remove(again);
    std::filesystem::remove(made);
}

TEST_F(ExportCommandTest, WithoutAPreviewFolderNothingIsLaunched) {
    RemoveExportPreviewFolder();
    const char* saved = std::getenv("TMPDIR");
    const std::string kept = saved != nullptr ? saved : "";
    setenv("TMPDIR", PathOf("missing/folder").c_str(), 1);
    EXPECT_FALSE(ExportToFile(5, "", true));
    if (saved != nullptr) {
        setenv("TMPDIR", kept.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    EXPECT_EQ(Recorder.LastMessage(), "Failed to create file " + GetExportFileName(5));
    EXPECT_TRUE(Recorder.Launched.empty());
}

TEST_F(ExportCommandTest, ThePreviewFolderGoesWhenTheProgramExits) {
    const std::string note = PathOf("folder.txt");
    // The child previews, notes its folder and exits; the folder must be gone afterwards.
    EXPECT_EXIT(
        {
            RemoveExportPreviewFolder();
            ExportToFile(1, "", true);
            std::ofstream(note) << ExportPreviewFolder();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    const std::string folder = ReadText(note);
    ASSERT_FALSE(folder.empty());
    EXPECT_FALSE(std::filesystem::exists(folder)) << folder;
}

} // namespace
