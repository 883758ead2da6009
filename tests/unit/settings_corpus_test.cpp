// The fuzz corpus of the settings reader replayed with the same invariants the fuzz target checks,
// plus whole-file cases for load(): empty, huge, NUL bytes, line-end styles, byte-order marks.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "../../fuzz/settings_invariants.h"
#include "settings/SettingsFile.h"

#ifndef SETTINGS_CORPUS_DIR
#error "SETTINGS_CORPUS_DIR must name fuzz/corpus/settings"
#endif

namespace fs = std::filesystem;
using settings::Values;
using settings_invariants::checkLoad;
using settings_invariants::checkParse;
using settings_invariants::readFile;
using settings_invariants::writeFile;

namespace {

const Values kExample{12, 3, 14, 4, false, 1200, 4500, 1, 1};
const std::string kExampleBytes = " 12 \r\n 3 \r\n 14 \r\n 4 \r\nFalse\r\n 1200 \r\n 4500 \r\n 1 \r\n 1 \r\n";
const std::string kBom = "\xEF\xBB\xBF";

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "settings_corpus.XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file() const { return path_ + "/settings.ini"; }

private:
    std::string path_;
};

std::string withEnds(const std::string& crlfText, const std::string& end) {
    return settings_invariants::withLineEnds(crlfText, end);
}

std::string utf16(const std::string& ascii, bool littleEndian) {
    std::string out;
    for (char c : ascii) {
        if (littleEndian) {
            out += c;
            out += '\0';
        } else {
            out += '\0';
            out += c;
        }
    }
    return out;
}

// A field of /proc/self/status ("VmRSS", "VmHWM") in KiB, or of /proc/self/io ("rchar") in bytes.
std::optional<long long> procField(const char* file, const std::string& key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size() + 1, key + ":") == 0) return std::atoll(line.c_str() + key.size() + 1);
    }
    return std::nullopt;
}

// Restarts the peak-memory count (VmHWM) at the current size; false where the system does not allow it.
bool resetPeakMemory() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    out.flush();
    return bool(out);
}

// Writes `head`, `piece` `count` times over, then `tail`; making the file costs no memory.
void writeLargeFile(const std::string& path, const std::string& head, const std::string& piece, size_t count,
                    const std::string& tail = "") {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(head.data(), std::streamsize(head.size()));
    for (size_t i = 0; i < count; ++i) out.write(piece.data(), std::streamsize(piece.size()));
    out.write(tail.data(), std::streamsize(tail.size()));
    ASSERT_TRUE(out.flush()) << path;
}

struct Measured {
    settings::LoadResult result;
    double seconds = 0;
    long long bytesRead = -1;     // by read() calls during load
    long long peakGrowthKb = -1;  // peak memory above the size before load
};

Measured measuredLoad(const std::string& path) {
    Measured m;
    const bool peakReset = resetPeakMemory();
    const auto rssBefore = procField("/proc/self/status", peakReset ? "VmRSS" : "VmHWM");
    const auto readBefore = procField("/proc/self/io", "rchar");
    const auto start = std::chrono::steady_clock::now();
    m.result = settings::load(path);
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto readAfter = procField("/proc/self/io", "rchar");
    const auto peak = procField("/proc/self/status", "VmHWM");
    if (readBefore && readAfter) m.bytesRead = *readAfter - *readBefore;
    if (rssBefore && peak) m.peakGrowthKb = *peak - *rssBefore;
    return m;
}

void expectBounded(const Measured& m) {
    EXPECT_LT(m.seconds, 5.0);
    EXPECT_GE(m.bytesRead, 0) << "/proc/self/io not readable";
    EXPECT_LT(m.bytesRead, 1 << 20) << "load read far more than it needs";
    EXPECT_GE(m.peakGrowthKb, 0) << "/proc/self/status not readable";
    EXPECT_LT(m.peakGrowthKb, 16 * 1024) << "load's memory grew with the size of the file";
}

// load() of a file holding `bytes`: the result, and what the file holds afterwards.
std::pair<settings::LoadResult, std::string> loadBytes(const TempDir& dir, const std::string& bytes) {
    writeFile(dir.file(), bytes);
    settings::LoadResult r = settings::load(dir.file());
    return {r, readFile(dir.file()).value_or("<missing>")};
}

void expectRead(const TempDir& dir, const std::string& bytes, const Values& values, const std::string& what) {
    const auto [r, after] = loadBytes(dir, bytes);
    EXPECT_TRUE(r.fromFile) << what;
    EXPECT_EQ(r.values, values) << what << ": " << settings_invariants::describe(r.values);
    EXPECT_FALSE(r.defaultsWritten) << what;
    EXPECT_EQ(after, bytes) << what << ": a file that was read is left as it is";
}

void expectDefaults(const TempDir& dir, const std::string& bytes, const std::string& what) {
    const auto [r, after] = loadBytes(dir, bytes);
    EXPECT_FALSE(r.fromFile) << what;
    EXPECT_EQ(r.values, Values{}) << what << ": " << settings_invariants::describe(r.values);
    EXPECT_TRUE(r.defaultsWritten) << what << ": " << r.error;
    EXPECT_EQ(after, settings::format(Values{})) << what;
}

}  // namespace

TEST(SettingsCorpus, EveryInputKeepsTheInvariants) {
    const fs::path corpus = SETTINGS_CORPUS_DIR;
    ASSERT_TRUE(fs::is_directory(corpus)) << corpus;
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());

    std::map<std::string, std::optional<Values>> parsed;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().filename().string();
        const auto bytes = readFile(entry.path().string());
        ASSERT_TRUE(bytes) << name;
        EXPECT_EQ(checkParse(*bytes), "") << name;
        EXPECT_EQ(checkLoad(*bytes, dir.file()), "") << name;
        parsed[name] = settings::parse(*bytes);
    }

    // The hand-written inputs are there and mean what their names say.
    const std::map<std::string, std::optional<Values>> seeds = {
        {"seed-default", Values{}},          {"seed-example", kExample},
        {"seed-example-cr", kExample},       {"seed-example-lf", kExample},
        {"seed-bom-example", kExample},      {"seed-bom-twice", std::nullopt},
        {"seed-utf16le-bom", std::nullopt},  {"seed-utf16be-bom", std::nullopt},
        {"seed-nul-in-line3", std::nullopt}, {"seed-nul-after-ninth", kExample},
        {"seed-eight-lines", std::nullopt},  {"seed-overlong-digits", kExample}};
    for (const auto& [name, expected] : seeds) {
        ASSERT_TRUE(parsed.count(name)) << name << " missing from " << corpus;
        EXPECT_EQ(parsed[name], expected) << name;
    }
    const auto accepted = std::count_if(parsed.begin(), parsed.end(), [](const auto& p) { return p.second.has_value(); });
    EXPECT_GE(parsed.size(), 30u);
    EXPECT_GE(accepted, 10);
    EXPECT_GE(parsed.size() - size_t(accepted), 10u);
}

// The helpers the invariants rest on: a line-end rewrite that changed nothing, or a position
// comparison that let anything through, would make the checks above pass whatever parse() does.
TEST(SettingsCorpus, InvariantHelpers) {
    EXPECT_EQ(settings_invariants::withLineEnds("a\r\r\nb\nc\rd\r\n", "\n"), "a\n\nb\nc\nd\n");
    EXPECT_EQ(settings_invariants::withLineEnds("a\n\rb", "\r\n"), "a\r\n\r\nb");
    EXPECT_EQ(settings_invariants::withLineEnds(kExampleBytes, "\r"),
              " 12 \r 3 \r 14 \r 4 \rFalse\r 1200 \r 4500 \r 1 \r 1 \r");
    EXPECT_TRUE(settings_invariants::positionReadBack(-900, -900));
    EXPECT_FALSE(settings_invariants::positionReadBack(1200, 1201));
    EXPECT_FALSE(settings_invariants::positionReadBack(9999999, 1e7f));
    EXPECT_TRUE(settings_invariants::positionReadBack(12345678, 12345680));
    EXPECT_FALSE(settings_invariants::positionReadBack(12345678, 12345800));
    EXPECT_FALSE(settings_invariants::positionReadBack(-2147483648.0f, 2147483648.0f));
}

// Found by fuzzing: a position near the ends of the 32-bit range was read, then written as
// 2.147484E+09, which is past that range, so the next start threw away every setting.
TEST(SettingsFormat, ExtremePositionsReadBack) {
    const std::string lines1to5 = kExampleBytes.substr(0, kExampleBytes.find(" 1200 "));
    const std::string lines8to9 = " 1 \r\n 1 \r\n";
    for (const char* text : {" 2147483647 ", "-2147483648 ", "-02147483647 ", " 2147483500 ", " 2147483499 ",
                             " 2147483000 ", "-2147483500 "}) {
        const std::string file = lines1to5 + text + "\r\n" + text + "\r\n" + lines8to9;
        const auto v = settings::parse(file);
        ASSERT_TRUE(v) << text;
        const std::string written = settings::format(*v);
        const auto back = settings::parse(written);
        ASSERT_TRUE(back) << text << " written as " << written;
        EXPECT_EQ(checkParse(file), "") << text;
        EXPECT_EQ(settings::format(*back), written) << text;
    }
    Values v = kExample;
    v.top = 2147483648.0f;
    v.left = -2147483648.0f;
    EXPECT_EQ(settings::format(v),
              " 12 \r\n 3 \r\n 14 \r\n 4 \r\nFalse\r\n 2.147483E+09 \r\n-2.147483E+09 \r\n 1 \r\n 1 \r\n");
    const auto back = settings::parse(settings::format(v));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->top, 2147483000.0f);
    EXPECT_EQ(back->left, -2147483000.0f);
    // Inside the limit nothing changes: the largest whole number without an exponent, and 2.147483E+09.
    v.top = 9999999;
    v.left = 2147483000.0f;
    EXPECT_EQ(settings::parse(settings::format(v)), v);
    // Not numbers at all.
    v.top = std::numeric_limits<float>::infinity();
    v.left = -std::numeric_limits<float>::infinity();
    EXPECT_EQ(settings::parse(settings::format(v)).value_or(Values{}).top, 2147483000.0f);
    EXPECT_EQ(settings::parse(settings::format(v)).value_or(Values{}).left, -2147483000.0f);
    v.top = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(settings::parse(settings::format(v)).value_or(Values{}).top, 0.0f);
}

TEST(SettingsLoadWholeFile, EmptyFileGivesDefaultsWritten) {
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    expectDefaults(dir, "", "0 bytes");
}

TEST(SettingsLoadWholeFile, LineEndStylesReadTheSame) {
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    expectRead(dir, kExampleBytes, kExample, "CR LF");
    expectRead(dir, withEnds(kExampleBytes, "\n"), kExample, "LF only");
    expectRead(dir, withEnds(kExampleBytes, "\r"), kExample, "CR only");
    // LF CR is two line ends: an empty second line, so line 2 is blank.
    expectDefaults(dir, withEnds(kExampleBytes, "\n\r"), "LF CR");
}

TEST(SettingsLoadWholeFile, NulBytes) {
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    expectDefaults(dir, std::string(100, '\0'), "only NUL bytes");
    std::string nulInLine3 = kExampleBytes;
    nulInLine3.insert(nulInLine3.find(" 14 ") + 3, 1, '\0');
    expectDefaults(dir, nulInLine3, "NUL inside line 3");
    std::string nulLine = kExampleBytes;
    nulLine.insert(nulLine.find(" 14 "), std::string("\0\r\n", 3));
    expectDefaults(dir, nulLine, "a line of one NUL before line 3");
    // Past the ninth line nothing is looked at.
    expectRead(dir, kExampleBytes + std::string("\0\0\r\n\0", 5), kExample, "NUL after the ninth line");
}

TEST(SettingsLoadWholeFile, ByteOrderMarks) {
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    // A UTF-8 byte-order mark at the start is skipped, whatever the line ends.
    EXPECT_EQ(settings::parse(kBom + kExampleBytes), kExample);
    EXPECT_EQ(settings::parse(kBom + settings::format(Values{})), Values{});
    expectRead(dir, kBom + kExampleBytes, kExample, "UTF-8 BOM, CR LF");
    expectRead(dir, kBom + withEnds(kExampleBytes, "\n"), kExample, "UTF-8 BOM, LF");
    expectRead(dir, kBom + withEnds(kExampleBytes, "\r"), kExample, "UTF-8 BOM, CR");

    // Only one, only at the very start, only whole.
    expectDefaults(dir, kBom, "a BOM alone");
    expectDefaults(dir, kBom + kBom + kExampleBytes, "two BOMs");
    expectDefaults(dir, " " + kBom + kExampleBytes, "a BOM after a blank");
    expectDefaults(dir, "\xEF\xBB" + kExampleBytes, "the first two bytes of a BOM");
    std::string bomLine2 = kExampleBytes;
    bomLine2.insert(bomLine2.find(" 3 "), kBom);
    expectDefaults(dir, bomLine2, "a BOM at the start of line 2");

    // UTF-16 is not the file's encoding: every other byte is NUL.
    expectDefaults(dir, "\xFF\xFE" + utf16(kExampleBytes, true), "UTF-16 LE with its BOM");
    expectDefaults(dir, "\xFE\xFF" + utf16(kExampleBytes, false), "UTF-16 BE with its BOM");
    expectDefaults(dir, utf16(kExampleBytes, true), "UTF-16 LE without a BOM");
}

TEST(SettingsLoadWholeFile, HundredMegabytesStayBounded) {
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    constexpr size_t kMiB = 1u << 20;
    constexpr size_t kSize = 100 * kMiB;

    // Nine good lines, then 100 MB of 'x' on the tenth: the values are read, the file left alone.
    writeLargeFile(dir.file(), kExampleBytes, std::string(kMiB, 'x'), 100);
    const Measured tail = measuredLoad(dir.file());
    EXPECT_TRUE(tail.result.fromFile);
    EXPECT_EQ(tail.result.values, kExample);
    EXPECT_FALSE(tail.result.defaultsWritten);
    expectBounded(tail);
    EXPECT_EQ(fs::file_size(dir.file()), kExampleBytes.size() + kSize);

    // 100 MB of garbage: defaults, written over it.
    std::string noise(kMiB, '\0');
    uint32_t state = 12345;
    for (char& c : noise) {
        state = state * 1103515245u + 12345u;
        c = char(state >> 24);
    }
    writeLargeFile(dir.file(), "", noise, 100);
    ASSERT_EQ(fs::file_size(dir.file()), kSize);
    const Measured garbage = measuredLoad(dir.file());
    EXPECT_FALSE(garbage.result.fromFile);
    EXPECT_EQ(garbage.result.values, Values{});
    EXPECT_TRUE(garbage.result.defaultsWritten) << garbage.result.error;
    expectBounded(garbage);
    EXPECT_EQ(readFile(dir.file()), settings::format(Values{}));

    // The ninth line cut by the read limit is not trusted: " 1 ... 2" would read as 1 if cut short.
    std::string eightLines = kExampleBytes.substr(0, kExampleBytes.rfind(" 1 \r\n"));
    writeLargeFile(dir.file(), eightLines + " 1", std::string(kMiB, ' '), 100, "2\r\n");
    const Measured cut = measuredLoad(dir.file());
    EXPECT_FALSE(cut.result.fromFile);
    EXPECT_EQ(cut.result.values, Values{});
    expectBounded(cut);
}
