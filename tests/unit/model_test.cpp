// Plain values: key commands, the readings of the settings, the settings file.
#include "model/Choices.h"
#include "model/KeyCommands.h"
#include "model/SettingsFormat.h"
#include "model/SettingsStore.h"
#include "support/Rig.h"  // QKeySequence, through the fakes

#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

TEST(Model, KeyCommands) {
    using P = Pattern;
    const KeyCommand none, help{Command::OpenHelp}, setup{Command::OpenSettings}, countdown{Command::StartCountdown};
    auto select = [](P p) { return KeyCommand{Command::SelectPattern, p}; };
    const KeyContext plain{P::Arrow}, panelOpen{P::Arrow, true, true};
    struct Case { QKeyCombination key; KeyContext context; KeyCommand command; } cases[] = {
        // C and R toggle the outline and the filled form, and give the outline from anything else.
        {Qt::Key_C, plain, select(P::Circle)}, {Qt::Key_C, {P::Circle}, select(P::FilledCircle)},
        {Qt::Key_C, {P::FilledCircle}, select(P::Circle)}, {Qt::Key_R, {P::Circle}, select(P::Rectangle)},
        {Qt::Key_R, {P::Rectangle}, select(P::FilledRectangle)}, {Qt::Key_R, {P::FilledRectangle}, select(P::Rectangle)},
        // F2 to F8 are the patterns 1 to 7; F1 and F9 nothing.
        {Qt::Key_F2, plain, select(P::Arrow)}, {Qt::Key_F8, plain, select(P::Loupe)}, {Qt::Key_F1, plain, none},
        {Qt::Key_F9, plain, none}, {Qt::Key_F, plain, select(P::FreeDraw)},
        // Space only while allowed; H, Up and Down only while no panel is open; Q always.
        {Qt::Key_Space, plain, countdown}, {Qt::Key_Space, {P::Arrow, false}, none}, {Qt::Key_H, plain, help},
        {Qt::Key_H, panelOpen, none}, {Qt::Key_Down, plain, setup}, {Qt::Key_Up, panelOpen, none},
        {Qt::Key_Q, panelOpen, {Command::ShowOpenPanel}},
        // Shift, Ctrl and Alt block every key; the keypad's arrows are arrows.
        {Qt::ShiftModifier | Qt::Key_A, plain, none}, {Qt::ControlModifier | Qt::Key_S, plain, none},
        {Qt::AltModifier | Qt::Key_F, plain, none}, {Qt::KeypadModifier | Qt::Key_Right, plain, {Command::NextPattern}},
    };
    for (const Case& c : cases) EXPECT_EQ(commandFor(c.key, c.context), c.command) << QKeySequence(c.key).toString().toStdString();
}

TEST(Model, HotKeyAndAutoHideReadTheRawValues) {
    using A = HotKeyAction;
    struct Case { uint8_t autoHide; bool minimised, drawing; A action; } cases[] = {
        {0, false, false, A::Toggle}, {0, false, true, A::Toggle}, {0, true, false, A::RestoreAtStandardSize},
        {0, true, true, A::RestoreOverDrawing}, {1, false, false, A::Enter}, {1, false, true, A::LeaveAndMinimise},
        {1, true, false, A::Restore}, {1, true, true, A::LeaveAndMinimise}, {2, false, false, A::Nothing},
        {2, true, true, A::Nothing}, {255, false, true, A::Nothing},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Settings{.autoHide = c.autoHide}.hotKeyAction(c.minimised, c.drawing), c.action)
            << int(c.autoHide) << c.minimised << c.drawing;
    EXPECT_TRUE(Settings{.autoHide = 2}.autoHideOn());  // a double-click minimises
    EXPECT_FALSE(Settings{.autoHide = 2}.allowsCountdown());
    EXPECT_EQ(Settings{.hotKeyChoice = 0}.hotKey(), QKeyCombination(Qt::ControlModifier, Qt::Key_Z));
    EXPECT_EQ(Settings{.hotKeyChoice = -1}.hotKey(), QKeyCombination(Qt::Key_F1));  // anything but 0
    EXPECT_FALSE(Settings{.hotKeyChoice = 7}.showsF1());  // the panel shows F1 for 1 only
}

TEST(Model, SettingsFileBytes) {
    EXPECT_EQ(settingsformat::format({}), kDefaultBytes);
    EXPECT_EQ(settingsformat::format({12, 3, 14, 4, false, 1200, 4500, 1, 1}),
              " 12 \r\n 3 \r\n 14 \r\n 4 \r\nFalse\r\n 1200 \r\n 4500 \r\n 1 \r\n 1 \r\n");
    struct Case { double value; const char* text; } numbers[] = {
        {-900, "-900 "}, {0, " 0 "}, {-0.0, " 0 "}, {1234.5, " 1234.5 "}, {12345678, " 1.234568E+07 "},
        {0.1, " 0.1 "}, {std::nan(""), " 0 "}};
    for (const Case& c : numbers) EXPECT_EQ(settingsformat::formatNumber(c.value), c.text) << c.value;
    // (Positions far out read back as written: a case of the fuzz corpus.)
}

TEST(Model, SettingsFileReading) {
    // Line ends, byte-order marks and what reads back are checked on every fuzz corpus input.
    const Settings example{9, 3, 13, 4, false, -900, 4500, 1, 1};
    const std::string bytes = settingsformat::format(example);
    EXPECT_EQ(settingsformat::parse(bytes + "more\r\nlines\r\n"), example);
    EXPECT_EQ(settingsformat::parse(bytes.substr(0, bytes.rfind(" 1 \r\n"))), std::nullopt);  // eight lines
    auto line = [&bytes](int n, const std::string& text) { return settingsformat::parse(withLine(n, text, bytes)); };
    EXPECT_EQ(line(1, "255"), (Settings{255, 3, 13, 4, false, -900, 4500, 1, 1}));
    for (auto [n, text] : {std::pair{2, " abc "}, {1, " 256 "}, {1, "-1"}, {9, " 32768 "}, {6, " 3E+09 "}})
        EXPECT_EQ(line(n, text), std::nullopt) << n << text;
    EXPECT_EQ(line(2, " 2.5 ")->lineWidth, 2);  // halves to even
    EXPECT_EQ(line(2, "\t3.5e0 ")->lineWidth, 4);
    EXPECT_EQ(line(6, " 1E+05 ")->top, 100000.0f);  // positions beyond 16 bits
    for (const char* t : {"true", "TRUE", "-1", "7", "1e-999"}) EXPECT_EQ(line(5, t)->drawingOff, true) << t;
    for (const char* t : {"false", "False", "0", " 0.0 "}) EXPECT_EQ(line(5, t)->drawingOff, false) << t;
    for (const char* t : {"yes", "", "1e999", "--1", "1,5", "0x10"}) EXPECT_EQ(line(5, t), std::nullopt) << t;
}

TEST(Model, SettingsStoreSavesWholeFiles) {
    // (What load makes of any bytes is checked on the fuzz corpus.)
    TempDir d;
    const Settings mine{9, 3, 13, 4, false, 1200, 4500, 1, 1};
    const mode_t umask = ::umask(027);
    EXPECT_EQ(settingsstore::save(d.path(), mine), "");
    ::umask(umask);
    EXPECT_EQ(settingsstore::load(d.path()).settings, mine);
    struct stat st {};
    ::stat(d.path().c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(d.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"settings.ini"});  // nothing left over
    // A temporary left by a process killed while saving goes at the next load; others' files stay.
    for (const char* name : {"settings.ini.999999-0", "settings.ini.1-0", "settings.ini.bak"})
        QFile(d.dir.filePath(name)).open(QIODevice::WriteOnly);
    settingsstore::load(d.path());
    EXPECT_EQ(QDir(d.dir.path()).entryList(QDir::Files), (QStringList{"settings.ini", "settings.ini.1-0", "settings.ini.bak"}));
}

TEST(Model, SettingsStoreWritesThroughLinksAndLeavesReadOnlyFilesAlone) {
    const Settings mine{9, 3, 13, 4, false, 1200, 4500, 1, 1};
    // `file` holds the bytes (mode 0: none yet); each link points at its target, "@" the folder.
    using Links = std::vector<std::pair<const char*, QString>>;
    struct Case { const char* what; const char* file; mode_t mode; Links links; } cases[] = {
        {"relative link", "real/settings.ini", 0644, {{"settings.ini", "real/settings.ini"}}},
        {"absolute link to a link", "real/settings.ini", 0600,
         {{"settings.ini", "@/hop"}, {"hop", "real/settings.ini"}}},
        {"link to no file yet", "real/new.ini", 0, {{"settings.ini", "real/new.ini"}}},
        {"read-only file", "settings.ini", 0444, {}},
        {"read-only file behind a link", "real/settings.ini", 0464, {{"settings.ini", "x/real/settings.ini"}}},
    };
    for (const Case& c : cases) {
        TempDir d;
        QDir(d.dir.path()).mkpath("x/real");
        ::symlink("x/real", d.path("real").c_str());
        if (c.mode) d.write(kDefaultBytes, c.file), ::chmod(d.path(c.file).c_str(), c.mode);
        for (const auto& [name, to] : c.links)
            ::symlink(QString(to).replace("@", d.dir.path()).toUtf8(), d.path(name).c_str());
        const bool writable = c.mode == 0 || (c.mode & S_IWUSR);
        EXPECT_EQ(settingsstore::save(d.path(), mine),
                  writable ? "" : "Cannot save settings to " + d.path() + ": Permission denied") << c.what;
        EXPECT_EQ(d.read(c.file), writable ? settingsformat::format(mine) : kDefaultBytes) << c.what;
        for (const auto& [name, to] : c.links) EXPECT_TRUE(QFileInfo(d.dir.filePath(name)).isSymLink()) << c.what;
        d.write("", (std::string(c.file) + ".999999-0").c_str());  // left by a process killed while saving
        settingsstore::load(d.path());
        for (const char* in : {".", "real"})
            EXPECT_EQ(QDir(d.dir.filePath(in)).entryList({"*.ini.*"}, QDir::Files), QStringList()) << c.what;
    }
}

TEST(Model, PanelChoices) {
    EXPECT_EQ(choiceShowing(12), 3);  // red is the fourth swatch (a colour not offered: widget test)
    struct Case { const char* text; uint8_t inForce; std::optional<uint8_t> width; } cases[] = {
        {" 5 ", 2, 5}, {"0", 2, {}}, {"6", 2, {}}, {"9", 9, 9}, {"", 2, {}}, {"2.5", 2, {}}, {"0004", 4, {}}};
    for (const Case& c : cases) EXPECT_EQ(widthFromText(QString::fromUtf8(c.text), c.inForce), c.width) << c.text;
}
