#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/SettingsFile.h"

namespace fs = std::filesystem;
using settings::Values;

namespace {

const std::string kDefaultBytes =
    " 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n";

// The default file's nine lines, without line ends.
std::vector<std::string> defaultLines() {
    return {" 12 ", " 2 ", " 14 ", " 1 ", "True", " 6600 ", " 5685 ", " 0 ", " 0 "};
}

std::string join(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string out;
    for (const auto& l : lines) out += l + end;
    return out;
}

// The default file with line `n` (1-based) replaced.
std::string withLine(int n, const std::string& text) {
    auto lines = defaultLines();
    lines[n - 1] = text;
    return join(lines);
}

Values example() {
    Values v;
    v.lineColor = 12;
    v.lineWidth = 3;
    v.fillColor = 14;
    v.pattern = 4;
    v.drawingOff = false;
    v.top = 1200;
    v.left = 4500;
    v.autoHide = 1;
    v.hotKeyChoice = 1;
    return v;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::set<std::string> entries(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

class TempDir {
public:
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "slateboard-settings-XXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        if (::mkdtemp(buf.data())) path_ = buf.data();
    }
    ~TempDir() {
        if (path_.empty()) return;
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

}  // namespace

TEST(SettingsFormat, DefaultFileAndNumberForms) {
    EXPECT_EQ(settings::format(Values{}), kDefaultBytes);

    // Whole numbers: blank or minus in the sign place, one blank after.
    EXPECT_EQ(settings::formatNumber(0), " 0 ");
    EXPECT_EQ(settings::formatNumber(12), " 12 ");
    EXPECT_EQ(settings::formatNumber(255), " 255 ");
    EXPECT_EQ(settings::formatNumber(-900), "-900 ");
    EXPECT_EQ(settings::formatNumber(32767), " 32767 ");
    EXPECT_EQ(settings::formatNumber(-32768), "-32768 ");
    EXPECT_EQ(settings::formatNumber(1234567), " 1234567 ");
    EXPECT_EQ(settings::formatNumber(-0.0), " 0 ");
    // Fractions: shortest form up to seven significant digits, always a '.'.
    EXPECT_EQ(settings::formatNumber(1234.5), " 1234.5 ");
    EXPECT_EQ(settings::formatNumber(0.25), " 0.25 ");
    EXPECT_EQ(settings::formatNumber(-0.5), "-0.5 ");
    EXPECT_EQ(settings::formatNumber(double(0.1f)), " 0.1 ");
    EXPECT_EQ(settings::formatNumber(1.23456789), " 1.234568 ");
    // Exponent form from 1E+07 up and for small magnitudes.
    EXPECT_EQ(settings::formatNumber(1e7), " 1E+07 ");
    EXPECT_EQ(settings::formatNumber(12345678), " 1.234568E+07 ");
    EXPECT_EQ(settings::formatNumber(-12345678), "-1.234568E+07 ");
    EXPECT_EQ(settings::formatNumber(9999999.5), " 1E+07 ");
    EXPECT_EQ(settings::formatNumber(0.00001), " 1E-05 ");

    // Every field lands on its own line in its own form.
    Values v;
    v.lineColor = 255;
    v.lineWidth = 0;
    v.fillColor = 7;
    v.pattern = -3;
    v.drawingOff = false;
    v.top = -900;
    v.left = 1200.5f;
    v.autoHide = 1;
    v.hotKeyChoice = -32768;
    EXPECT_EQ(settings::format(v),
              " 255 \r\n 0 \r\n 7 \r\n-3 \r\nFalse\r\n-900 \r\n 1200.5 \r\n 1 \r\n-32768 \r\n");
}

TEST(SettingsFormat, RoundTrips) {
    const std::string exampleBytes =
        " 12 \r\n 3 \r\n 14 \r\n 4 \r\nFalse\r\n 1200 \r\n 4500 \r\n 1 \r\n 1 \r\n";
    EXPECT_EQ(settings::format(example()), exampleBytes);
    EXPECT_EQ(settings::parse(exampleBytes), example());
    EXPECT_EQ(settings::parse(kDefaultBytes), Values{});

    // A toolbar left of or above the primary screen.
    Values negative = example();
    negative.top = -900;
    negative.left = -15;
    const std::string negativeBytes = settings::format(negative);
    EXPECT_NE(negativeBytes.find("\r\n-900 \r\n-15 \r\n"), std::string::npos) << negativeBytes;
    EXPECT_EQ(settings::parse(negativeBytes), negative);

    // Positions beyond 16 bits (a second or third monitor) survive.
    Values far = example();
    far.top = 57600;
    far.left = -40000;
    EXPECT_EQ(settings::parse(settings::format(far)), far);
    Values edges = example();
    edges.top = 9999999;   // the largest whole value written without an exponent
    edges.left = -2000000;
    edges.hotKeyChoice = 32767;
    edges.lineColor = 255;
    edges.autoHide = 255;
    EXPECT_EQ(settings::parse(settings::format(edges)), edges);
    edges.hotKeyChoice = -32768;
    EXPECT_EQ(settings::parse(settings::format(edges)), edges);

    // Written in exponent form, read back to the float it came from.
    Values huge = example();
    huge.top = 12345678;
    const auto hugeBack = settings::parse(settings::format(huge));
    ASSERT_TRUE(hugeBack.has_value());
    EXPECT_EQ(hugeBack->top, 12345680.0f);

    // A fractional position is written as is and read back rounded, halves to even.
    Values half = example();
    half.top = 1200.5f;
    half.left = 1201.5f;
    const auto halfBack = settings::parse(settings::format(half));
    ASSERT_TRUE(halfBack.has_value());
    EXPECT_EQ(halfBack->top, 1200.0f);
    EXPECT_EQ(halfBack->left, 1202.0f);
}

TEST(SettingsParse, RejectsBadContent) {
    auto lines8 = defaultLines();
    lines8.pop_back();
    EXPECT_EQ(settings::parse(join(lines8)), std::nullopt);
    EXPECT_EQ(settings::parse(""), std::nullopt);
    // An empty ninth line.
    EXPECT_EQ(settings::parse(join(lines8) + "\r\n"), std::nullopt);

    EXPECT_EQ(settings::parse(withLine(2, " x ")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(2, " 2a ")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(1, " 256 ")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(1, "-1 ")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(2, "-1 ")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(3, "-1 ")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(8, "-1 ")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(8, " 256 ")), std::nullopt);
    // The pattern is written as a 16-bit number but only 0..255 is read back.
    EXPECT_EQ(settings::parse(withLine(4, "-1 ")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(4, " 256 ")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(9, " 32768 ")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(9, "-32769 ")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(6, " 2147483648 ")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(7, "-2147483649 ")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(6, " 1E+10 ")), std::nullopt);
    // Rounds past the end of the range.
    EXPECT_EQ(settings::parse(withLine(1, "255.5")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(1, "-0.6")), std::nullopt);

    // Empty or blank lines, anywhere.
    for (int n = 1; n <= 9; ++n) {
        EXPECT_EQ(settings::parse(withLine(n, "")), std::nullopt) << "line " << n;
        EXPECT_EQ(settings::parse(withLine(n, " \t ")), std::nullopt) << "line " << n;
    }
    // Other text in or around a number.
    for (const char* bad : {"12abc", "1 2", "0x10", "1,5", "- 5", "+-1", "1e", "e5", ".", "-", "1..2",
                            "1e2.5", "nan", "NaN", "inf", "-Infinity", "\v12", "12\f", "\xa0" "12"}) {
        EXPECT_EQ(settings::parse(withLine(1, bad)), std::nullopt) << bad;
        EXPECT_EQ(settings::parse(withLine(5, bad)), std::nullopt) << bad;
        EXPECT_EQ(settings::parse(withLine(9, bad)), std::nullopt) << bad;
    }
    EXPECT_EQ(settings::parse(withLine(5, "yes")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(5, "Tru")), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(5, "True False")), std::nullopt);

    // A NUL byte spoils the line it is in, also after the value.
    std::string nulNumber = " 1";
    nulNumber.push_back('\0');
    nulNumber += " ";
    std::string nulBool = "True";
    nulBool.push_back('\0');
    for (int n : {1, 4, 6, 9}) {
        EXPECT_EQ(settings::parse(withLine(n, nulNumber)), std::nullopt) << "line " << n;
    }
    EXPECT_EQ(settings::parse(withLine(5, nulBool)), std::nullopt);
    EXPECT_EQ(settings::parse(withLine(5, std::string(1, '\0'))), std::nullopt);
    // ...but not past the ninth line.
    std::string nulAfter = kDefaultBytes;
    nulAfter.push_back('\0');
    nulAfter += "\r\n";
    EXPECT_EQ(settings::parse(nulAfter), Values{});
}

TEST(SettingsParse, AcceptedForms) {
    const std::string exampleBytes = settings::format(example());

    // Any line end, mixed too; the last one may be missing.
    auto lines = defaultLines();
    EXPECT_EQ(settings::parse(join(lines, "\r")), Values{});
    EXPECT_EQ(settings::parse(join(lines, "\n")), Values{});
    std::string noFinalEnd = kDefaultBytes;
    noFinalEnd.resize(noFinalEnd.size() - 2);
    EXPECT_EQ(settings::parse(noFinalEnd), Values{});
    EXPECT_EQ(settings::parse(" 12\r 3\n 14\r\n 4\rFalse\n1200\r\n 4500\r1\n1"), example());
    // LF CR is two line ends, which leaves an empty line where a value should be.
    EXPECT_EQ(settings::parse(join(lines, "\n\r")), std::nullopt);

    // Whatever follows the ninth line is ignored.
    EXPECT_EQ(settings::parse(exampleBytes + "garbage\r\n"), example());
    EXPECT_EQ(settings::parse(exampleBytes + "\r\n\r\nmore garbage\x01\xff"), example());
    EXPECT_EQ(settings::parse(exampleBytes + " 1 \r\n 2 \r\n"), example());

    // Blanks and tabs around values, or none at all.
    EXPECT_EQ(settings::parse("12\r\n\t3\t\r\n   14   \r\n \t 4 \t \r\n\tfalse \r\n1200\r\n 4500\t\r\n1\r\n1\r\n"),
              example());

    // Half to even, and other number forms.
    auto lineColorOf = [](const std::string& text) -> std::optional<int> {
        const auto v = settings::parse(withLine(1, text));
        if (!v) return std::nullopt;
        return v->lineColor;
    };
    EXPECT_EQ(lineColorOf("2.5"), 2);
    EXPECT_EQ(lineColorOf("3.5"), 4);
    EXPECT_EQ(lineColorOf("254.5"), 254);
    EXPECT_EQ(lineColorOf("253.5"), 254);
    EXPECT_EQ(lineColorOf("2.49"), 2);
    EXPECT_EQ(lineColorOf("2.51"), 3);
    EXPECT_EQ(lineColorOf("-0.5"), 0);
    EXPECT_EQ(lineColorOf("-0"), 0);
    EXPECT_EQ(lineColorOf("+7"), 7);
    EXPECT_EQ(lineColorOf(".5"), 0);
    EXPECT_EQ(lineColorOf(".6"), 1);
    EXPECT_EQ(lineColorOf("5."), 5);
    EXPECT_EQ(lineColorOf("007"), 7);
    EXPECT_EQ(lineColorOf("1E2"), 100);
    EXPECT_EQ(lineColorOf("1e+2"), 100);
    EXPECT_EQ(lineColorOf("2500e-1"), 250);
    EXPECT_EQ(lineColorOf("1.2E1"), 12);
    EXPECT_EQ(lineColorOf("1e-400"), 0);  // too small for a double: still about zero

    auto topOf = [](const std::string& text) -> std::optional<float> {
        const auto v = settings::parse(withLine(6, text));
        if (!v) return std::nullopt;
        return v->top;
    };
    EXPECT_EQ(topOf("-900"), -900.0f);
    EXPECT_EQ(topOf(" 1.234568E+07 "), 12345680.0f);
    EXPECT_EQ(topOf("-2147483648"), -2147483648.0f);
    EXPECT_EQ(topOf("2147483647"), 2147483647.0f);
    EXPECT_EQ(topOf("-40000.5"), -40000.0f);

    auto hotKeyOf = [](const std::string& text) -> std::optional<int> {
        const auto v = settings::parse(withLine(9, text));
        if (!v) return std::nullopt;
        return v->hotKeyChoice;
    };
    EXPECT_EQ(hotKeyOf("-32768"), -32768);
    EXPECT_EQ(hotKeyOf("32767"), 32767);
    EXPECT_EQ(hotKeyOf("32767.5"), std::nullopt);
    EXPECT_EQ(hotKeyOf("-32768.5"), -32768);

    // The pattern line is read into the pattern.
    const auto pattern = settings::parse(withLine(4, " 255 "));
    ASSERT_TRUE(pattern.has_value());
    EXPECT_EQ(pattern->pattern, 255);

    // The drawing flag: words in any case, or a number.
    auto flagOf = [](const std::string& text) -> std::optional<bool> {
        const auto v = settings::parse(withLine(5, text));
        if (!v) return std::nullopt;
        return v->drawingOff;
    };
    EXPECT_EQ(flagOf("TRUE"), true);
    EXPECT_EQ(flagOf("tRuE"), true);
    EXPECT_EQ(flagOf(" True "), true);
    EXPECT_EQ(flagOf("\tTrue"), true);
    EXPECT_EQ(flagOf("false"), false);
    EXPECT_EQ(flagOf("FALSE"), false);
    EXPECT_EQ(flagOf(" False\t"), false);
    EXPECT_EQ(flagOf("0"), false);
    EXPECT_EQ(flagOf(" 0.0 "), false);
    EXPECT_EQ(flagOf("-0"), false);
    EXPECT_EQ(flagOf("-1"), true);
    EXPECT_EQ(flagOf("1"), true);
    EXPECT_EQ(flagOf("2.5"), true);
    EXPECT_EQ(flagOf("0.4"), true);  // not rounded: any nonzero value
    EXPECT_EQ(flagOf("1e-400"), true);
    EXPECT_EQ(flagOf("99999"), true);

    // The same conversions used one at a time.
    EXPECT_EQ(settings::parseInteger(" 12 ", 0, 255), 12);
    EXPECT_EQ(settings::parseInteger("12", 13, 255), std::nullopt);
    EXPECT_EQ(settings::parseInteger("1e400", INT64_MIN, INT64_MAX), std::nullopt);
    EXPECT_EQ(settings::parseInteger("1e19", INT64_MIN, INT64_MAX), std::nullopt);
    EXPECT_EQ(settings::parseInteger("-4611686018427387904", INT64_MIN, INT64_MAX),
              INT64_C(-4611686018427387904));
    EXPECT_EQ(settings::parseBoolean("False"), false);
    EXPECT_EQ(settings::parseBoolean(""), std::nullopt);
}

TEST(SettingsFile, LoadWritesDefaultsWhenMissingOrBad) {
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    const std::string path = dir.file(settings::kFileName);

    // No file yet.
    auto r = settings::load(path);
    EXPECT_EQ(r.values, Values{});
    EXPECT_FALSE(r.fromFile);
    EXPECT_TRUE(r.defaultsWritten);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(readFile(path), kDefaultBytes);
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{settings::kFileName});

    // Bad content of every kind is replaced with the defaults.
    for (const std::string& bad : {std::string("garbage"), withLine(1, " 256 "), std::string(""),
                                   join({" 1 ", " 2 ", " 3 "})}) {
        writeFile(path, bad);
        r = settings::load(path);
        EXPECT_EQ(r.values, Values{});
        EXPECT_FALSE(r.fromFile);
        EXPECT_TRUE(r.defaultsWritten);
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(readFile(path), kDefaultBytes);
    }

    // A good file is read and left alone: same bytes, same inode, same time stamp.
    const std::string good = settings::format(example()) + "notes\r\n";
    writeFile(path, good);
    const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    r = settings::load(path);
    EXPECT_TRUE(r.fromFile);
    EXPECT_FALSE(r.defaultsWritten);
    EXPECT_EQ(r.values, example());
    EXPECT_EQ(readFile(path), good);
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    // A large file: its first lines decide.
    const std::string bigGood = settings::format(example()) + std::string(2 * 1024 * 1024, 'x');
    writeFile(path, bigGood);
    r = settings::load(path);
    EXPECT_TRUE(r.fromFile);
    EXPECT_EQ(r.values, example());
    EXPECT_EQ(readFile(path).size(), bigGood.size());

    // Padding so long that the ninth value " 12" is cut after its "1" by the 64 KiB
    // read: it must not be taken as 1.
    auto padded = defaultLines();
    const size_t withoutNinth = kDefaultBytes.size() - 5;  // the ninth line is " 0 \r\n"
    padded[0] = std::string(65535 - withoutNinth - 1, ' ') + padded[0];
    std::string cut = join(padded);
    cut.resize(withoutNinth + padded[0].size() - 4);
    cut += " 12 \r\n";
    ASSERT_EQ(cut.substr(65535, 2), "12");
    cut += std::string(100, '\n');
    writeFile(path, cut);
    r = settings::load(path);
    EXPECT_FALSE(r.fromFile);
    EXPECT_EQ(r.values, Values{});
    EXPECT_TRUE(r.defaultsWritten);
    EXPECT_EQ(readFile(path), kDefaultBytes);

    // A folder where the settings file is a folder: defaults used, nothing left behind.
    TempDir other;
    const std::string dirPath = other.file(settings::kFileName);
    ASSERT_EQ(::mkdir(dirPath.c_str(), 0755), 0);
    r = settings::load(dirPath);
    EXPECT_EQ(r.values, Values{});
    EXPECT_FALSE(r.fromFile);
    EXPECT_FALSE(r.defaultsWritten);
    EXPECT_NE(r.error, "");
    EXPECT_EQ(entries(other.path()), std::set<std::string>{settings::kFileName});
}

TEST(SettingsFile, LoadWithoutWriteAccessStillGivesDefaults) {
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());

    // The folder does not exist.
    const std::string missing = dir.file("gone/" + std::string(settings::kFileName));
    auto r = settings::load(missing);
    EXPECT_EQ(r.values, Values{});
    EXPECT_FALSE(r.fromFile);
    EXPECT_FALSE(r.defaultsWritten);
    EXPECT_NE(r.error.find(missing), std::string::npos) << r.error;
    EXPECT_NE(r.error.find(std::strerror(ENOENT)), std::string::npos) << r.error;
    EXPECT_FALSE(fs::exists(dir.file("gone")));

    if (::geteuid() == 0) return;  // root writes into read-only folders anyway

    const std::string path = dir.file(settings::kFileName);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    r = settings::load(path);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(r.values, Values{});
    EXPECT_FALSE(r.fromFile);
    EXPECT_FALSE(r.defaultsWritten);
    EXPECT_NE(r.error.find(path), std::string::npos) << r.error;
    EXPECT_NE(r.error.find(std::strerror(EACCES)), std::string::npos) << r.error;
    EXPECT_TRUE(entries(dir.path()).empty());
}

TEST(SettingsFile, SaveReplacesAtomically) {
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    const std::string path = dir.file(settings::kFileName);

    // Over an existing file: new bytes, no temporary files left, permissions from the umask.
    const mode_t oldMask = ::umask(022);
    writeFile(path, kDefaultBytes);
    EXPECT_EQ(settings::save(path, example()), "");
    EXPECT_EQ(readFile(path), settings::format(example()));
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{settings::kFileName});
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    ::umask(027);
    EXPECT_EQ(settings::save(path, Values{}), "");
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(::umask(oldMask), 027u);  // the umask was left as it was
    EXPECT_EQ(readFile(path), kDefaultBytes);

    // A path without a folder part goes to the current folder.
    const fs::path cwd = fs::current_path();
    fs::current_path(dir.path());
    const std::string relError = settings::save(settings::kFileName, example());
    fs::current_path(cwd);
    EXPECT_EQ(relError, "");
    EXPECT_EQ(readFile(path), settings::format(example()));
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{settings::kFileName});

    // A write that fails part way (file size limit, as on a full disk) keeps the old file.
    const std::string before = readFile(path);
    struct rlimit oldLimit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = oldLimit;
    small.rlim_cur = 8;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string err = settings::save(path, Values{});
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(err.find("Cannot save settings to " + path), std::string::npos) << err;
    EXPECT_NE(err.find(std::strerror(EFBIG)), std::string::npos) << err;
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{settings::kFileName});

    // Renaming over a folder fails: the temporary file is removed.
    TempDir other;
    const std::string dirPath = other.file(settings::kFileName);
    ASSERT_EQ(::mkdir(dirPath.c_str(), 0755), 0);
    EXPECT_NE(settings::save(dirPath, Values{}), "");
    EXPECT_EQ(entries(other.path()), std::set<std::string>{settings::kFileName});
    EXPECT_TRUE(fs::is_directory(dirPath));

    // Read-only folder, where permissions apply.
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
        const std::string roError = settings::save(path, Values{});
        ::chmod(dir.path().c_str(), 0755);
        EXPECT_NE(roError.find(std::strerror(EACCES)), std::string::npos) << roError;
        EXPECT_EQ(readFile(path), before);
        EXPECT_EQ(entries(dir.path()), std::set<std::string>{settings::kFileName});
    }
}
