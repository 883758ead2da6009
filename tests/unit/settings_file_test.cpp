#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>

#include "settings/SettingsFile.h"

namespace fs = std::filesystem;
using settings::Values;

namespace {

const std::string kDefaultBytes = " 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n";
const std::vector<std::string> kDefaultLines = {" 12 ", " 2 ", " 14 ", " 1 ", "True", " 6600 ", " 5685 ", " 0 ", " 0 "};

std::string join(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string out;
    for (const auto& l : lines) out += l + end;
    return out;
}

// The default file with line `n` (1-based) replaced.
std::string withLine(int n, const std::string& text) {
    auto lines = kDefaultLines;
    lines[size_t(n - 1)] = text;
    return join(lines);
}

// The value read from line `n` of the default file with that line replaced; nullopt if the file is refused.
std::optional<double> valueOf(int n, const std::string& text) {
    const auto v = settings::parse(withLine(n, text));
    if (!v) return std::nullopt;
    const double fields[] = {double(v->lineColor), double(v->lineWidth), double(v->fillColor), double(v->pattern),
                             double(v->drawingOff), v->top, v->left, double(v->autoHide), double(v->hotKeyChoice)};
    return fields[n - 1];
}

const Values kExample{12, 3, 14, 4, false, 1200, 4500, 1, 1};
const std::string kExampleBytes = " 12 \r\n 3 \r\n 14 \r\n 4 \r\nFalse\r\n 1200 \r\n 4500 \r\n 1 \r\n 1 \r\n";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::set<std::string> entries(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}
const std::set<std::string> kOnlyTheFile = {settings::kFileName};

struct TempDir {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString();
    std::string file() const { return path + "/" + settings::kFileName; }
    ~TempDir() {  // writable again, so that it can be removed
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    }
};

// The message names the file (or what it must contain) and the system's reason.
void expectError(const std::string& error, const std::string& names, int reason) {
    EXPECT_NE(error.find(names), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(reason)), std::string::npos) << error;
}

void expectDefaultsUsed(const settings::LoadResult& r, bool written) {
    EXPECT_EQ(r.values, Values{});
    EXPECT_FALSE(r.fromFile);
    EXPECT_EQ(r.defaultsWritten, written);
    EXPECT_EQ(r.error.empty(), written) << r.error;
}

}  // namespace

TEST(SettingsFormat, DefaultFileAndNumberForms) {
    EXPECT_EQ(settings::format(Values{}), kDefaultBytes);
    EXPECT_EQ(settings::format(kExample), kExampleBytes);
    // Whole numbers: blank or minus in the sign place, one blank after. Fractions: shortest form up to seven
    // significant digits. Exponent form from 1E+07 up and for small magnitudes.
    const std::pair<double, const char*> numbers[] = {
        {0, " 0 "},           {12, " 12 "},         {-900, "-900 "},           {32767, " 32767 "},
        {-32768, "-32768 "},  {1234567, " 1234567 "}, {-0.0, " 0 "},          {1234.5, " 1234.5 "},
        {0.25, " 0.25 "},     {-0.5, "-0.5 "},      {double(0.1f), " 0.1 "},   {1.23456789, " 1.234568 "},
        {1e7, " 1E+07 "},     {12345678, " 1.234568E+07 "}, {-12345678, "-1.234568E+07 "},
        {9999999.5, " 1E+07 "}, {0.00001, " 1E-05 "}};
    for (auto [v, text] : numbers) EXPECT_EQ(settings::formatNumber(v), text) << v;

    // Every field lands on its own line in its own form.
    Values v{255, 0, 7, -3, false, -900, 1200.5f, 1, -32768};
    EXPECT_EQ(settings::format(v), " 255 \r\n 0 \r\n 7 \r\n-3 \r\nFalse\r\n-900 \r\n 1200.5 \r\n 1 \r\n-32768 \r\n");
}

TEST(SettingsFormat, RoundTrips) {
    EXPECT_EQ(settings::parse(kExampleBytes), kExample);
    EXPECT_EQ(settings::parse(kDefaultBytes), Values{});
    // Left of or above the primary screen, beyond 16 bits, the largest whole value without an exponent.
    for (auto [top, left, hotKey] : {std::tuple{-900.0f, -15.0f, 1}, std::tuple{57600.0f, -40000.0f, 32767},
                                     std::tuple{9999999.0f, -2000000.0f, -32768}}) {
        Values v{255, 3, 14, 4, false, top, left, 255, int16_t(hotKey)};
        EXPECT_EQ(settings::parse(settings::format(v)), v) << top;
    }
    // Exponent form reads back to the float it came from; fractions read back rounded, halves to even.
    Values v = kExample;
    v.top = 12345678;
    EXPECT_EQ(settings::parse(settings::format(v)).value_or(Values{}).top, 12345680.0f);
    v.top = 1200.5f;
    v.left = 1201.5f;
    const Values back = settings::parse(settings::format(v)).value_or(Values{});
    EXPECT_EQ(back.top, 1200.0f);
    EXPECT_EQ(back.left, 1202.0f);
}

TEST(SettingsParse, LinesNumbersAndFlags) {
    // Any line end, mixed too; the last may be missing; blanks and tabs around values; whatever follows the ninth
    // line is ignored. Fewer than nine values, or an empty line, refuse the file: LF CR is two line ends.
    auto lines8 = kDefaultLines;
    lines8.pop_back();
    const std::pair<std::string, std::optional<Values>> files[] = {
        {join(kDefaultLines, "\r"), Values{}}, {join(kDefaultLines, "\n"), Values{}},
        {kDefaultBytes.substr(0, kDefaultBytes.size() - 2), Values{}},
        {" 12\r 3\n 14\r\n 4\rFalse\n1200\r\n 4500\r1\n1", kExample},
        {"12\r\n\t3\t\r\n   14   \r\n \t 4 \t \r\n\tfalse \r\n1200\r\n 4500\t\r\n1\r\n1\r\n", kExample},
        {kExampleBytes + "garbage\r\n", kExample}, {kExampleBytes + "\r\n\r\nmore garbage\x01\xff", kExample},
        {kExampleBytes + " 1 \r\n 2 \r\n", kExample}, {kDefaultBytes + std::string("\0\r\n", 3), Values{}},
        {"", std::nullopt}, {join(lines8), std::nullopt}, {join(lines8) + "\r\n", std::nullopt},
        {join(kDefaultLines, "\n\r"), std::nullopt}};
    for (const auto& [bytes, values] : files) EXPECT_EQ(settings::parse(bytes), values) << bytes;

    // Number forms, halves to even, ranges checked after rounding; the flag in words of any case or as a number,
    // anything but 0 being true.
    const std::tuple<int, std::string, std::optional<double>> values[] = {
        {1, "2.5", 2},    {1, "3.5", 4},     {1, "254.5", 254}, {1, "-0.5", 0},  {1, "-0", 0},     {1, "+7", 7},
        {1, ".5", 0},     {1, ".6", 1},      {1, "5.", 5},      {1, "007", 7},   {1, "1E2", 100},  {1, "1e+2", 100},
        {1, "2500e-1", 250}, {1, "1.2E1", 12}, {1, "1e-400", 0}, {1, " 256 ", {}}, {1, "-1 ", {}}, {1, "255.5", {}},
        {1, "-0.6", {}},  {2, "-1 ", {}},    {2, " 2a ", {}},   {3, "-1 ", {}},  {8, "-1 ", {}},   {8, " 256 ", {}},
        {4, " 255 ", 255}, {4, "-1 ", {}},   {4, " 256 ", {}},  {6, "-900", -900}, {6, " 1.234568E+07 ", 12345680.0f},
        {6, "-2147483648", -2147483648.0f},  {6, "2147483647", 2147483647.0f},    {6, "-40000.5", -40000},
        {6, " 2147483648 ", {}}, {6, " 1E+10 ", {}}, {7, "-2147483649 ", {}},     {9, "-32768", -32768},
        {9, "32767", 32767}, {9, "-32768.5", -32768}, {9, " 32768 ", {}}, {9, "-32769 ", {}}, {9, "32767.5", {}},
        {5, "tRuE", 1},   {5, "\tTrue", 1},  {5, " FALSE\t", 0}, {5, " 0.0 ", 0}, {5, "-1", 1},     {5, "0.4", 1},
        {5, "1e-400", 1}, {5, "yes", {}},    {5, "Tru", {}},    {5, "True False", {}}, {5, std::string(1, '\0'), {}}};
    for (const auto& [n, text, value] : values) EXPECT_EQ(valueOf(n, text), value) << "line " << n << ": " << text;
    // Empty lines and other text in or around a number refuse the file; so does a NUL byte, also after the value.
    for (int n = 1; n <= 9; ++n) {
        for (const char* bad : {"", " \t ", "12abc", "1 2", "0x10", "1,5", "- 5", "+-1", "1e", "e5", ".", "-", "1..2",
                                "1e2.5", "nan", "NaN", "inf", "-Infinity", "\v12", "12\f", "\xa0" "12"})
            EXPECT_EQ(valueOf(n, bad), std::nullopt) << "line " << n << ": " << bad;
        EXPECT_EQ(valueOf(n, n == 5 ? std::string("True\0", 5) : std::string(" 1\0 ", 4)), std::nullopt) << n;
    }
    EXPECT_EQ(settings::parseInteger("1e19", INT64_MIN, INT64_MAX), std::nullopt);
    EXPECT_EQ(settings::parseInteger("-4611686018427387904", INT64_MIN, INT64_MAX), INT64_C(-4611686018427387904));
}

TEST(SettingsFile, LoadWritesDefaultsWhenMissingOrBad) {
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const std::string path = dir.file();
    // No file yet, then bad content of every kind, last a ninth value " 12" cut after its "1" by the 64 KiB read.
    const std::string eight = kDefaultBytes.substr(0, kDefaultBytes.size() - 5);
    const std::string cut = std::string(65534 - eight.size(), ' ') + eight + " 12 \r\n" + std::string(100, '\n');
    ASSERT_EQ(cut.substr(65535, 2), "12");
    for (const std::optional<std::string>& bad : {std::optional<std::string>(), std::optional<std::string>("garbage"),
                                                  {withLine(1, " 256 ")}, {""}, {join({" 1 ", " 2 ", " 3 "})}, {cut}}) {
        if (bad) writeFile(path, *bad);
        expectDefaultsUsed(settings::load(path), true);
        EXPECT_EQ(readFile(path), kDefaultBytes);
        EXPECT_EQ(entries(dir.path), kOnlyTheFile);
    }

    // A good file is read and left alone: same bytes, inode and time stamp. A large one: its first lines decide.
    for (const std::string& good : {kExampleBytes + "notes\r\n", kExampleBytes + std::string(2 << 20, 'x')}) {
        writeFile(path, good);
        const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
        struct stat before {}, after {};
        ASSERT_EQ(::stat(path.c_str(), &before), 0);
        const auto r = settings::load(path);
        EXPECT_TRUE(r.fromFile);
        EXPECT_FALSE(r.defaultsWritten);
        EXPECT_EQ(r.values, kExample);
        EXPECT_EQ(readFile(path), good);
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(std::tuple(after.st_ino, after.st_mtim.tv_sec, after.st_mtim.tv_nsec),
                  std::tuple(before.st_ino, before.st_mtim.tv_sec, before.st_mtim.tv_nsec));
    }

    // The settings file is a folder, or its folder is missing: defaults used, nothing left behind.
    TempDir other;
    ASSERT_EQ(::mkdir(other.file().c_str(), 0755), 0);
    expectDefaultsUsed(settings::load(other.file()), false);
    EXPECT_EQ(entries(other.path), kOnlyTheFile);
    const std::string missing = dir.path + "/gone/" + settings::kFileName;
    const auto r = settings::load(missing);
    expectDefaultsUsed(r, false);
    expectError(r.error, missing, ENOENT);
    EXPECT_EQ(entries(dir.path), kOnlyTheFile);
}

TEST(SettingsFile, SaveReplacesAtomically) {
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const std::string path = dir.file();

    // Over an existing file: new bytes, no temporary files left, permissions from the umask.
    const mode_t oldMask = ::umask(022);
    writeFile(path, kDefaultBytes);
    struct stat st {};
    for (auto [mask, values, mode] : {std::tuple{022, kExample, 0644u}, std::tuple{027, Values{}, 0640u}}) {
        ::umask(mode_t(mask));
        EXPECT_EQ(settings::save(path, values), "");
        EXPECT_EQ(readFile(path), settings::format(values));
        EXPECT_EQ(entries(dir.path), kOnlyTheFile);
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, mode);
    }
    EXPECT_EQ(::umask(oldMask), 027u);  // the umask was left as it was

    // A path without a folder part goes to the current folder.
    const fs::path cwd = fs::current_path();
    fs::current_path(dir.path);
    const std::string relError = settings::save(settings::kFileName, kExample);
    fs::current_path(cwd);
    EXPECT_EQ(relError, "");
    EXPECT_EQ(readFile(path), kExampleBytes);

    // A write that fails part way (file size limit, as on a full disk) keeps the old file.
    struct rlimit oldLimit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = oldLimit;
    small.rlim_cur = 8;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string err = settings::save(path, Values{});
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);
    expectError(err, "Cannot save settings to " + path, EFBIG);
    EXPECT_EQ(readFile(path), kExampleBytes);
    EXPECT_EQ(entries(dir.path), kOnlyTheFile);

    // Renaming over a folder fails: the temporary file is removed.
    TempDir other;
    ASSERT_EQ(::mkdir(other.file().c_str(), 0755), 0);
    EXPECT_NE(settings::save(other.file(), Values{}), "");
    EXPECT_EQ(entries(other.path), kOnlyTheFile);
    EXPECT_TRUE(fs::is_directory(other.file()));

    if (::geteuid() == 0) return;  // root writes into read-only folders anyway
    ASSERT_EQ(::chmod(dir.path.c_str(), 0555), 0);
    const std::string roError = settings::save(path, Values{});
    ::chmod(dir.path.c_str(), 0755);
    expectError(roError, path, EACCES);
    EXPECT_EQ(readFile(path), kExampleBytes);
    EXPECT_EQ(entries(dir.path), kOnlyTheFile);
}
