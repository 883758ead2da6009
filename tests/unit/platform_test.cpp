// What the platform layer decides without a desktop.
#include "platform/Keyboard.h"
#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

TEST(SingleInstance, NamesOfOneDisplayShareAnInstance) {
    const std::pair<const char*, const char*> cases[] = {
        {":0", ":0.0"},  {":0.0", ":0.0"},  {"unix:0", ":0.0"},  {"unix/:0.0", ":0.0"},  {":00", ":0.0"},
        {":0.1", ":0.1"},  {":10", ":10.0"},  {"localhost:0", "localhost:0.0"},  {"LocalHost:0.0", "localhost:0.0"},
        {"tcp/localhost:0", "localhost:0.0"},  {"tcp/:0", "localhost:0.0"},  {"host.example:1.2", "host.example:1.2"},
        {"[::1]:0", "[::1]:0.0"},  {"host::0", "host::0"},  {":0.x", ":0.x"},  {":", ":"},  {"", ""},
        {"/tmp/launch-x/org.xquartz:0", "/tmp/launch-x/org.xquartz:0"},
    };
    for (const auto& [name, key] : cases) EXPECT_EQ(platform::displayKey(name), key) << name;
    EXPECT_EQ(platform::instanceName("p", ":1"), platform::instanceName("p", "unix:1.0"));
    EXPECT_NE(platform::instanceName("p", ":1"), platform::instanceName("p", ":1.1"));
}

TEST(Keyboard, LettersOfOtherScriptsGoByTheirPlaceOnAUsKeyboard) {
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(platform::usLetterAt(platform::usKeycodeOf(Qt::Key(Qt::Key_A + i))), Qt::Key_A + i);
    const std::pair<uint32_t, Qt::Key> places[] = {{38, Qt::Key_A}, {54, Qt::Key_C}, {26, Qt::Key_E}, {41, Qt::Key_F},
        {43, Qt::Key_H}, {46, Qt::Key_L}, {24, Qt::Key_Q}, {27, Qt::Key_R}, {39, Qt::Key_S}, {52, Qt::Key_Z},
        {58, Qt::Key_M}, {23, Qt::Key_unknown}, {47, Qt::Key_unknown}, {65, Qt::Key_unknown}, {0, Qt::Key_unknown}};
    for (const auto& [keycode, letter] : places) EXPECT_EQ(platform::usLetterAt(keycode), letter) << keycode;
    // Layouts by what they give the keys A to Z of a US keyboard: Latin text, or a script's block.
    const auto latin = [](const char* az) {
        std::array<uint32_t, 26> out{};
        for (int i = 0; i < 26; ++i) out[i] = uint32_t(az[i]);
        return out;
    };
    const auto script = [](uint32_t first, uint32_t q) {
        std::array<uint32_t, 26> out{};
        for (int i = 0; i < 26; ++i) out[i] = first + uint32_t(i);
        out['q' - 'a'] = q;
        return out;
    };
    const auto us = latin("abcdefghijklmnopqrstuvwxyz"), azerty = latin("qbcdefghijkl,noparstuvzxyw"),
               dvorak = latin("axje.uidchtnmbrl'poygk,qf;"), russian = script(0x6c6, 0x6ca),
               greek = script(0x7e1, ';'), kana = script(0x4c1, 0x4c0);
    struct Case {
        const std::array<uint32_t, 26>& layout;
        int key;  // Qt's
        uint32_t keycode;
        Qt::Key want;
    } cases[] = {
        {us, Qt::Key_A, 38, Qt::Key_A},         {azerty, Qt::Key_A, 24, Qt::Key_A},
        {azerty, Qt::Key_Q, 38, Qt::Key_Q},     {azerty, Qt::Key_Comma, 58, Qt::Key_Comma},
        {dvorak, Qt::Key_E, 40, Qt::Key_E},     {dvorak, Qt::Key_Period, 26, Qt::Key_Period},
        {russian, 0x424, 38, Qt::Key_A},        {russian, 0x421, 54, Qt::Key_C},
        {russian, 0x419, 24, Qt::Key_Q},        {russian, 0x42b, 39, Qt::Key_S},
        {russian, 0x31, 10, Qt::Key_1},         {russian, 0x42e, 60, Qt::Key(0x42e)},
        {greek, Qt::Key_Semicolon, 24, Qt::Key_Q}, {greek, 0x395, 26, Qt::Key_E},
        {kana, 0x30c1, 38, Qt::Key_A},          {kana, 0x30bf, 24, Qt::Key_Q},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::letterKey(Qt::Key(c.key), c.keycode, c.layout), c.want) << c.keycode;
}

TEST(Keyboard, WithoutTheLayoutALetterOfAnotherScriptGoesByItsPlace) {
    struct Case { int key; const char16_t* text; uint32_t keycode; Qt::Key want; } cases[] = {
        {0x424, u"ф", 38, Qt::Key_A},   {0x421, u"С", 54, Qt::Key_C},   {0x395, u"ε", 26, Qt::Key_E},
        {0x30c1, u"ち", 38, Qt::Key_A},  {Qt::Key_A, u"a", 24, Qt::Key_A},  // AZERTY: its A, where a US Q is
        {Qt::Key_Q, u"q", 38, Qt::Key_Q},  {0xd6, u"ö", 47, Qt::Key(0xd6)},  // not a letter's place
        {0xc9, u"é", 11, Qt::Key(0xc9)},   {0x10f, u"ď", 32, Qt::Key(0x10f)},  // Latin, with a mark: Qt's key
        {Qt::Key_Semicolon, u";", 24, Qt::Key_Semicolon},  {Qt::Key_F2, u"", 68, Qt::Key_F2},
        {0x424, u"ф", 10, Qt::Key(0x424)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::letterKeyOfText(Qt::Key(c.key), QString::fromUtf16(c.text), c.keycode), c.want) << c.keycode;
}
